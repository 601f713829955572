// The keyed list view over its own rows: what the view shows, sorting and moves with the
// selection following its row, bulk fills, and the colour rule that writes only the rows whose
// colour changes.
#include "failure/Failure.h"
#include "support/FailureNumber.h"
#include "toolkit/ListView.h"

#include <QAbstractItemModel>
#include <QApplication>
#include <QBrush>
#include <QSignalSpy>
#include <QTest>

namespace
{

constexpr std::uint32_t kWhite = 0x00FFFFFF;
constexpr std::uint32_t kGrey = 0x8000000B;
constexpr std::uint32_t kYellow = 0x0000FFFF;

struct Entry {
    const char *key;
    const char *title;
    const char *length;
};

void fill(toolkit::ListView &list, std::initializer_list<Entry> entries)
{
    for (const Entry &entry : entries)
        list.Add(entry.key, entry.title, "file").setSubItem(1, entry.length);
}

QStringList keysOf(toolkit::ListView &list)
{
    QStringList keys;
    for (int i = 1; i <= list.Count(); ++i)
        keys << list.Item(i).Key();
    return keys;
}

// The shown texts of one column, read from the view's model as the view paints them.
QStringList shownColumn(toolkit::ListView &list, int column)
{
    QStringList texts;
    const QAbstractItemModel &model = *list.model();
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

// Rows named by the colour-changed signals since the spy started, each row once per signal.
QList<int> changedRows(const QSignalSpy &spy)
{
    QList<int> rows;
    for (const QList<QVariant> &signal : spy) {
        const auto first = signal[0].value<QModelIndex>();
        const auto last = signal[1].value<QModelIndex>();
        for (int row = first.row(); row <= last.row(); ++row)
            rows << row;
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

} // namespace

class ListViewTest : public QObject
{
    Q_OBJECT

  private slots:
    void viewShowsTextsColoursAndCaptions();
    void sortKeepsSelectionAndHandles();
    void sortIsStableAndFoldsCase();
    void swapCarriesEverythingAndTheSelection();
    void removeAfterSortRenumbers();
    void sortedListPlacesAddedRows();
    void fillInSortedListSortsByEveryColumn_data();
    void fillInSortedListSortsByEveryColumn();
    void fillRefusesRepeatedKeyAndHoldsRowsBack();
    void keysFoundThroughManyRemovals();
    void colourRuleWritesOnlyChangedRows();
    void colourRuleFollowsRemoveAndClear();

  private:
    QWidget mParent;
};

void ListViewTest::viewShowsTextsColoursAndCaptions()
{
    toolkit::ListView list(&mParent);
    list.clearColumns();
    list.addColumn("Name", 3590);
    list.addColumn("Length", 600);
    list.setForeColor(kWhite);
    fill(list, {{"a", "Alpha", "1:00"}, {"b", "Beta", "2:00"}});
    list.Item(2).setForeColor(kYellow);

    const QAbstractItemModel &model = *list.model();
    QCOMPARE(model.columnCount(), 2);
    QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QString("Length"));
    QCOMPARE(shownColumn(list, 0), QStringList({"Alpha", "Beta"}));
    QCOMPARE(shownColumn(list, 1), QStringList({"1:00", "2:00"}));
    // A row without a colour of its own shows the list's text colour.
    QVERIFY(!model.index(0, 0).data(Qt::ForegroundRole).isValid());
    QCOMPARE(list.Item(1).ForeColor(), kWhite);
    QCOMPARE(model.index(1, 1).data(Qt::ForegroundRole).value<QBrush>().color(),
             QColor(255, 255, 0));

    list.Item(1).setText("Alpha 2");
    list.Item(1).setSubItem(1, "1:30");
    QCOMPARE(shownColumn(list, 0), QStringList({"Alpha 2", "Beta"}));
    QCOMPARE(shownColumn(list, 1), QStringList({"1:30", "2:00"}));
    QCOMPARE(list.Item(1).SubItem(0), QString("Alpha 2"));
    QCOMPARE(failingNumber([&] { list.Item(1).setSubItem(2, "x"); }),
             pellin::failure::IndexOutOfBounds);
}

void ListViewTest::sortKeepsSelectionAndHandles()
{
    toolkit::ListView list(&mParent);
    fill(list,
         {{"k1", "delta", ""}, {"k2", "alpha", ""}, {"k3", "charlie", ""}, {"k4", "bravo", ""}});
    toolkit::ListItem charlie = list.Item(3);
    charlie.setSelected(true);

    list.setSortKey(0);
    list.setSortOrder(0);
    list.setSorted(true);
    QCOMPARE(keysOf(list), QStringList({"k2", "k4", "k3", "k1"}));
    // The handle and the selection follow the row to its new place.
    QCOMPARE(charlie.Index(), 3);
    QCOMPARE(list.SelectedItem()->Key(), QString("k3"));
    QVERIFY(charlie.Selected());
    QCOMPARE(list.currentIndex().row(), 2);
    QCOMPARE(list.findKey("k1")->Index(), 4);

    list.setSortOrder(1);
    list.setSorted(true);
    QCOMPARE(keysOf(list), QStringList({"k1", "k3", "k4", "k2"}));
    QCOMPARE(list.SelectedItem()->Index(), 2);
}

void ListViewTest::sortIsStableAndFoldsCase()
{
    toolkit::ListView list(&mParent);
    list.addColumn("Length", 600);
    fill(list, {{"1", "b", "10:00"},
                {"2", "B", "9:59"},
                {"3", "a", "0:30"},
                {"4", "Ä", ""},
                {"5", "b", ""}});
    list.setSortKey(0);
    list.setSorted(true);
    // Equal texts ignoring case keep the order they had.
    QCOMPARE(keysOf(list), QStringList({"3", "1", "2", "5", "4"}));
    list.setSortKey(1);
    list.setSorted(true);
    // Lengths compare as text: 10:00 before 9:59.
    QCOMPARE(shownColumn(list, 1), QStringList({"", "", "0:30", "10:00", "9:59"}));
}

void ListViewTest::swapCarriesEverythingAndTheSelection()
{
    toolkit::ListView list(&mParent);
    list.addColumn("Length", 600);
    fill(list, {{"a", "A", "1:00"}, {"b", "B", "2:00"}, {"c", "C", "3:00"}});
    list.Item(1).setForeColor(kYellow);
    list.Item(3).setSelected(true);

    list.swapRows(1, 3);
    QCOMPARE(keysOf(list), QStringList({"c", "b", "a"}));
    QCOMPARE(shownColumn(list, 0), QStringList({"C", "B", "A"}));
    QCOMPARE(shownColumn(list, 1), QStringList({"3:00", "2:00", "1:00"}));
    QCOMPARE(list.Item(3).ForeColor(), kYellow);
    QCOMPARE(list.SelectedItem()->Key(), QString("c"));
    QCOMPARE(list.findKey("a")->Index(), 3);
    QCOMPARE(failingNumber([&] { list.swapRows(1, 4); }), pellin::failure::IndexOutOfBounds);
}

void ListViewTest::removeAfterSortRenumbers()
{
    toolkit::ListView list(&mParent);
    fill(list, {{"z", "zulu", ""}, {"y", "yankee", ""}, {"x", "xray", ""}});
    list.setSorted(true);
    list.Remove(1);
    QCOMPARE(keysOf(list), QStringList({"y", "z"}));
    QCOMPARE(list.findKey("z")->Index(), 2);
    QVERIFY(!list.findKey("x"));
    // The freed row's place serves the next row without disturbing the others.
    list.Add("w", "whiskey", "file");
    QCOMPARE(keysOf(list), QStringList({"w", "y", "z"}));
    QCOMPARE(list.findKey("y")->Text(), QString("yankee"));
}

void ListViewTest::sortedListPlacesAddedRows()
{
    toolkit::ListView list(&mParent);
    fill(list, {{"b", "bravo", ""}, {"d", "delta", ""}});
    list.setSortOrder(1);
    list.setSorted(true);
    list.Add("c", "charlie", "file");
    list.Add("e", "echo", "file");
    list.Add("d2", "Delta", "file"); // after the equal one already there
    QCOMPARE(keysOf(list), QStringList({"e", "d", "d2", "c", "b"}));
}

void ListViewTest::fillInSortedListSortsByEveryColumn_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("name") << 0 << QStringList({"a", "n1", "n2", "z"});
    // The rows of a fill take their places by the lengths they were given in it.
    QTest::newRow("length") << 1 << QStringList({"n2", "a", "z", "n1"});
}

void ListViewTest::fillInSortedListSortsByEveryColumn()
{
    QFETCH(int, column);
    QFETCH(QStringList, keys);
    toolkit::ListView list(&mParent);
    fill(list, {{"z", "zulu", "2:00"}, {"a", "alpha", "1:00"}});
    list.setSortKey(column);
    list.setSorted(true);
    {
        const toolkit::ListView::Fill bulk(list, 2);
        fill(list, {{"n1", "november", "3:00"}, {"n2", "november", "0:10"}});
    }
    QCOMPARE(keysOf(list), keys);
}

void ListViewTest::fillRefusesRepeatedKeyAndHoldsRowsBack()
{
    toolkit::ListView list(&mParent);
    fill(list, {{"a", "A", ""}});
    QSignalSpy inserted(list.model(), &QAbstractItemModel::rowsInserted);
    {
        const toolkit::ListView::Fill bulk(list);
        toolkit::ListItem b = list.Add("b", "B", "file");
        b.setSubItem(1, "2:00");
        b.setForeColor(kGrey);
        list.Add("c", "C", "file");
        QCOMPARE(failingNumber([&] { list.Add("a", "again", "file"); }),
                 pellin::failure::KeyNotUnique);
        QCOMPARE(failingNumber([&] { list.Add("b", "again", "file"); }),
                 pellin::failure::KeyNotUnique);
        // Held back until the fill ends, yet known by key.
        QCOMPARE(list.Count(), 1);
        QCOMPARE(list.findKey("c")->Index(), 0);
    }
    QCOMPARE(inserted.size(), 1);
    QCOMPARE(keysOf(list), QStringList({"a", "b", "c"}));
    QCOMPARE(list.findKey("b")->SubItem(1), QString("2:00"));
    QCOMPARE(list.findKey("b")->ForeColor(), kGrey);
    QCOMPARE(list.findKey("c")->Index(), 3);
}

void ListViewTest::keysFoundThroughManyRemovals()
{
    toolkit::ListView list(&mParent);
    constexpr int kRows = 3000;
    for (int i = 0; i < kRows; ++i)
        list.Add(QString::number(i), QString(), "file");
    // Removing rows from all over the list leaves every other key where a search finds it.
    for (int i = kRows - 1; i >= 0; i -= 3)
        list.Remove(list.findKey(QString::number(i))->Index());
    for (int i = 0; i < kRows; ++i) {
        const bool removed = (kRows - 1 - i) % 3 == 0;
        QCOMPARE(bool(list.findKey(QString::number(i))), !removed);
    }
    QCOMPARE(list.Count(), kRows - kRows / 3);
    for (int i = kRows - 1; i >= 0; i -= 3)
        list.Add(QString::number(i), QString("again"), "file");
    for (int i = 0; i < kRows; ++i)
        QCOMPARE(list.findKey(QString::number(i))->Key(), QString::number(i));
    QCOMPARE(failingNumber([&] { list.Add("42", "twice", "file"); }),
             pellin::failure::KeyNotUnique);
    QCOMPARE(list.Count(), kRows);
}

void ListViewTest::colourRuleWritesOnlyChangedRows()
{
    toolkit::ListView list(&mParent);
    list.addColumn("Length", 600);
    list.setForeColor(kWhite);
    list.setColorRule([](const QString &key) { return key.endsWith("asf") ? kGrey : kWhite; });
    fill(list, {{"a.avi", "a", ""},
                {"b.asf", "b", ""},
                {"c.avi", "c", ""},
                {"d.asf", "d", ""},
                {"e.avi", "e", ""}});
    list.findKey("b.asf")->setForeColor(kGrey);
    list.findKey("c.avi")->setForeColor(kYellow);
    list.findKey("e.avi")->setForeColor(kWhite);
    // d.asf shows the list's white, not its rule colour.
    list.setSortOrder(1);
    list.setSorted(true);

    QSignalSpy changed(list.model(), &QAbstractItemModel::dataChanged);
    list.applyColorRule();
    const QList<int> rows{list.findKey("c.avi")->Index() - 1, list.findKey("d.asf")->Index() - 1};
    QCOMPARE(changedRows(changed),
             (QList<int>{std::min(rows[0], rows[1]), std::max(rows[0], rows[1])}));
    const std::vector<std::pair<QString, std::uint32_t>> expected{{"a.avi", kWhite},
                                                                  {"b.asf", kGrey},
                                                                  {"c.avi", kWhite},
                                                                  {"d.asf", kGrey},
                                                                  {"e.avi", kWhite}};
    for (const auto &[key, colour] : expected)
        QCOMPARE(list.findKey(key)->ForeColor(), colour);

    // Once every row has its rule colour, the pass writes nothing at all.
    changed.clear();
    list.applyColorRule();
    QVERIFY(changed.isEmpty());
}

void ListViewTest::colourRuleFollowsRemoveAndClear()
{
    toolkit::ListView list(&mParent);
    list.setForeColor(kWhite);
    list.setColorRule([](const QString &) { return kWhite; });
    fill(list, {{"a", "A", ""}, {"b", "B", ""}});
    list.findKey("a")->setForeColor(kYellow);
    list.Remove(1);
    list.Add("c", "C", "file").setForeColor(kYellow);
    list.applyColorRule();
    QCOMPARE(list.findKey("c")->ForeColor(), kWhite);
    list.findKey("b")->setForeColor(kYellow);
    list.Clear();
    list.Add("b", "B", "file");
    list.applyColorRule();
    QCOMPARE(list.findKey("b")->ForeColor(), kWhite);
}

QTEST_MAIN(ListViewTest)
#include "tst_ListView.moc"

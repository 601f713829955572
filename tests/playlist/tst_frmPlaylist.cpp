#include "common/ListFile.h"
#include "common/modGlobals.h"
#include "failure/Failure.h"
#include "playlist/frmPlaylist.h"
#include "support/FailureNumber.h"
#include "support/Files.h"
#include "support/PlaylistRows.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Colors.h"
#include "toolkit/Forms.h"
#include "toolkit/Units.h"

#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QTest>

#include <optional>

using namespace modGlobals;
using support::kIntro;
using support::kWhite;
using support::kYellow;
using support::Row;
using support::rowsWithSelectionOf;
using support::writeFile;

class PlaylistWindowTest : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void windowLooksAsDesigned();
    void freshWindowIgnoresCarryOver();
    void carryOverRoundTrip();
    void carryOverOfEmptyList();
    void nothingSelectedKeepsRememberedKey();
    void carryOverWithoutRememberedEntry();
    void openPListReadsListFile();
    void openPListSkipsShortAndRepeatedLines();
    void openPListSplitsTitleAtSemicolon();
    void openPListOnMissingFile();

  private:
    std::optional<support::WindowFixture> f;
    QString mCarryOver;
};

// Each case starts with no carry-over file: the fixture's folder is new.
void PlaylistWindowTest::init()
{
    f.emplace();
    QVERIFY(f->valid());
    mCarryOver = pellin::carryOverPath(GetTempFolder());
    QCOMPARE(mCarryOver, f->filePath("tmpPlist.txt"));
}

void PlaylistWindowTest::cleanup()
{
    f.reset();
}

void PlaylistWindowTest::windowLooksAsDesigned()
{
    frmPlaylist &window = forms::frmPlaylist();
    QCOMPARE(window.Caption(), QString("Pellin Playlist"));
    QVERIFY(!window.Visible());
    toolkit::ListView &list = window.lvPlaylist;
    QCOMPARE(list.columnCount(), 2);
    QCOMPARE(list.model()->headerData(0, Qt::Horizontal).toString(), QString("Name"));
    QCOMPARE(list.model()->headerData(1, Qt::Horizontal).toString(), QString("Length"));
    QCOMPARE(list.columnWidth(0), toolkit::toPixelsX(3590));
    QCOMPARE(list.columnWidth(1), toolkit::toPixelsX(600));
    QCOMPARE(list.BackColor(), 0x00400000u);
    QCOMPARE(list.palette().color(QPalette::Base), QColor(0, 0, 64));
    QCOMPARE(list.ForeColor(), kWhite);
    QCOMPARE(list.font().family(), QString("Small Fonts"));
    QCOMPARE(list.font().pointSizeF(), 6.75);
    QCOMPARE(list.font().weight(), QFont::Normal);
    QCOMPARE(toolkit::colorOf(kIntro), QColor(212, 208, 200));

    // No close box: the window is hidden through the main window, never closed.
    QVERIFY(!window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    window.Show();
    window.close();
    QVERIFY(toolkit::loadedForms().size() == 1);

    QCOMPARE(window.Left(), (toolkit::screenWidth() - window.Width()) / 2);
    QCOMPARE(window.Top(), (toolkit::screenHeight() - window.Height()) / 2);
    QCOMPARE(window.ScaleWidth(), 4515);
    QCOMPARE(window.ScaleHeight(), 6030);

    const QStringList keys{"file", "dir", "dir_rec", "up", "down", "delete", "new", "open", "save"};
    for (const QString &key : keys)
        QCOMPARE(window.tlbPlaylist.Buttons(key).Image(), key);
    QCOMPARE(window.tlbPlaylist.Buttons("dir_rec").ToolTipText(),
             QString("Add directory and all subdirectories"));
}

void PlaylistWindowTest::freshWindowIgnoresCarryOver()
{
    QVERIFY(writeFile(mCarryOver, "/v/a.avi;A;1:00\r\n"));
    frmPlaylist &window = forms::frmPlaylist();
    QCOMPARE(window.lvPlaylist.Count(), 0);
    QCOMPARE(window.lvPlaylist.columnCount(), 2);
}

void PlaylistWindowTest::carryOverRoundTrip()
{
    frmPlaylist &window = forms::frmPlaylist();
    window.AddEntry("/course/intro.asf", "Welcome", "1:05");
    window.AddEntry("/course/m1.avi", "Module 1", "20:00");
    window.AddEntry("/course/m2.avi", "Module 2", "3:00");
    window.lvPlaylist.Item(2).setSelected(true);
    gKeepPlaylist = true;
    window.Unload();
    QCOMPARE(gSelectedKey, QString("/course/m1.avi"));
    QVERIFY(QFile::exists(mCarryOver));
    support::flushDeletes();

    frmPlaylist &again = forms::frmPlaylist();
    const std::vector<Row> expected{
        {"/course/intro.asf", "Welcome", "1:05", kIntro, false},
        {"/course/m1.avi", "Module 1", "20:00", kYellow, true},
        {"/course/m2.avi", "Module 2", "3:00", kWhite, false},
    };
    QCOMPARE(rowsWithSelectionOf(again.lvPlaylist), expected);
    QCOMPARE(again.lvPlaylist.SelectedItem()->Key(), QString("/course/m1.avi"));
}

void PlaylistWindowTest::carryOverOfEmptyList()
{
    QVERIFY(writeFile(mCarryOver, "/old/x.avi;Old;1:00\r\n"));
    forms::frmPlaylist();
    gKeepPlaylist = true;
    gSelectedKey = "/old/x.avi";
    forms::frmPlaylist().Unload();
    QVERIFY(QFile::exists(mCarryOver));
    QCOMPARE(QFileInfo(mCarryOver).size(), 0);
    QCOMPARE(gSelectedKey, QString("/old/x.avi"));
    support::flushDeletes();
    QCOMPARE(forms::frmPlaylist().lvPlaylist.Count(), 0);
}

void PlaylistWindowTest::nothingSelectedKeepsRememberedKey()
{
    frmPlaylist &window = forms::frmPlaylist();
    window.AddEntry("/c/a.avi", "A", "1:00");
    window.AddEntry("/c/b.avi", "B", "2:00");
    window.AddEntry("/c/c.avi", "C", "3:00");
    // Selected once, then deselected: nothing is selected any more.
    window.lvPlaylist.Item(1).setSelected(true);
    window.lvPlaylist.Item(1).setSelected(false);
    gSelectedKey = "/c/c.avi";
    gKeepPlaylist = true;
    window.Unload();
    QCOMPARE(gSelectedKey, QString("/c/c.avi"));
    support::flushDeletes();

    frmPlaylist &again = forms::frmPlaylist();
    const std::vector<Row> expected{
        {"/c/a.avi", "A", "1:00", kWhite, false},
        {"/c/b.avi", "B", "2:00", kWhite, false},
        {"/c/c.avi", "C", "3:00", kYellow, true},
    };
    QCOMPARE(rowsWithSelectionOf(again.lvPlaylist), expected);
}

void PlaylistWindowTest::carryOverWithoutRememberedEntry()
{
    QVERIFY(writeFile(mCarryOver, "/c/a.avi;A;1:00\r\n/c/b.asf;B;2:00\r\n"));
    gKeepPlaylist = true;
    gSelectedKey = "/c/gone.avi";
    frmPlaylist &window = forms::frmPlaylist();
    const std::vector<Row> expected{
        {"/c/a.avi", "A", "1:00", kWhite, false},
        {"/c/b.asf", "B", "2:00", kIntro, false},
    };
    QCOMPARE(rowsWithSelectionOf(window.lvPlaylist), expected);
    QVERIFY(!window.lvPlaylist.SelectedItem());
}

void PlaylistWindowTest::openPListReadsListFile()
{
    frmPlaylist &window = forms::frmPlaylist();
    window.AddEntry("/old/entry.avi", "Old", "9:99");
    const QString file = f->filePath("course.pel");
    QVERIFY(writeFile(
        file,
        "a.asf;Intro;1:00\r\n\r\nb.mpg;Second;2:30;more\r\nc.AVI;Third;0:05\rd.ASF;Up;1:11\n"));
    window.OpenPList(file);
    const std::vector<Row> expected{
        {"a.asf", "Intro", "1:00", kIntro, false},
        {"b.mpg", "Second", "2:30", kWhite, false},
        {"c.AVI", "Third", "0:05", kWhite, false},
        {"d.ASF", "Up", "1:11", kIntro, false},
    };
    QCOMPARE(rowsWithSelectionOf(window.lvPlaylist), expected);
    QCOMPARE(window.lvPlaylist.Item(1).SmallIcon(), QString("file"));
    // Loading neither selects nor marks an entry as current.
    QVERIFY(!window.lvPlaylist.SelectedItem());
}

void PlaylistWindowTest::openPListSkipsShortAndRepeatedLines()
{
    frmPlaylist &window = forms::frmPlaylist();
    const QString file = f->filePath("odd.pel");
    QVERIFY(writeFile(file,
                      "a.avi;A;1:00\r\nshort.avi;no length\r\nonly a key\r\na.avi;Again;2:00\r\n"
                      "b.avi;B;3:00\r\n"));
    window.OpenPList(file);
    QCOMPARE(window.lvPlaylist.Count(), 2);
    QCOMPARE(window.lvPlaylist.Item(1).Text(), QString("A"));
    QCOMPARE(window.lvPlaylist.Item(1).SubItem(1), QString("1:00"));
    QCOMPARE(window.lvPlaylist.Item(2).Key(), QString("b.avi"));
}

void PlaylistWindowTest::openPListSplitsTitleAtSemicolon()
{
    frmPlaylist &window = forms::frmPlaylist();
    window.AddEntry("/c/x.avi", "Part 1; basics", "4:00");
    gKeepPlaylist = true;
    window.Unload();
    support::flushDeletes();
    frmPlaylist &again = forms::frmPlaylist();
    QCOMPARE(again.lvPlaylist.Count(), 1);
    QCOMPARE(again.lvPlaylist.Item(1).Text(), QString("Part 1"));
    QCOMPARE(again.lvPlaylist.Item(1).SubItem(1), QString(" basics"));
}

void PlaylistWindowTest::openPListOnMissingFile()
{
    frmPlaylist &window = forms::frmPlaylist();
    window.AddEntry("/c/a.avi", "A", "1:00");
    QCOMPARE(failingNumber([&] { window.OpenPList(f->filePath("no such list.pel")); }),
             pellin::failure::FileNotFound);
    QCOMPARE(window.lvPlaylist.Count(), 0);
}

QTEST_MAIN(PlaylistWindowTest)
#include "tst_frmPlaylist.moc"

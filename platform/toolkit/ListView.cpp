#include "toolkit/ListView.h"

#include "toolkit/Handlers.h"

#include "failure/Failure.h"
#include "toolkit/Colors.h"

#include <QHeaderView>

#include <algorithm>

namespace toolkit
{
namespace
{
const int kIconRole = Qt::UserRole + 1;
} // namespace

QString ListItem::Key() const
{
    return mView->keyOf(*mItem);
}
std::uint32_t ListItem::ForeColor() const
{
    return mView->colorOf(*mItem);
}
void ListItem::setForeColor(std::uint32_t color)
{
    mView->setColorOf(*mItem, color);
}
QString ListItem::SmallIcon() const
{
    return mItem->data(0, kIconRole).toString();
}
bool ListItem::Selected() const
{
    return mItem->isSelected();
}

void ListItem::setSelected(bool selected)
{
    if (selected)
        mView->setCurrentItem(mItem);
    else
        mItem->setSelected(false);
}

int ListItem::Index() const
{
    return mView->indexOfTopLevelItem(mItem) + 1;
}

ListView::ListView(QWidget *parent)
    : QTreeWidget(parent), Control(static_cast<QTreeWidget &>(*this))
{
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setAllColumnsShowFocus(true);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    connect(this, &QTreeWidget::itemClicked, this, [this] {
        if (mClick)
            runHandler(mClick);
    });
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (mColumnClick)
            runHandler(mColumnClick, section + 1);
    });
}

void ListView::clearColumns()
{
    setColumnCount(0);
}

void ListView::addColumn(const QString &caption, int widthTwips)
{
    const int column = columnCount();
    setColumnCount(column + 1);
    QTreeWidgetItem *head = headerItem();
    head->setText(column, caption);
    setColumnWidth(column, toPixelsX(widthTwips));
}

ListItem ListView::Add(const QString &key, const QString &text, const QString &smallIcon)
{
    if (mByKey.contains(key))
        throw pellin::Failure(pellin::failure::KeyNotUnique);
    auto item = std::make_unique<QTreeWidgetItem>();
    item->setText(0, text);
    item->setData(0, kIconRole, smallIcon);
    if (mImages)
        item->setIcon(0, mImages->icon(smallIcon));
    // A new row shows in the list's text colour (the palette's), so it needs no colour of its own.
    QTreeWidgetItem *raw = item.release();
    mByKey.insert(key, raw);
    mKeys.insert(raw, key);
    if (mFilling)
        mFill.append(raw);
    else if (mSorted)
        insertTopLevelItem(sortedPlace(*raw), raw);
    else
        addTopLevelItem(raw);
    return ListItem(*this, *raw);
}

void ListView::beginFill()
{
    mFilling = true;
}

void ListView::endFill()
{
    mFilling = false;
    addTopLevelItems(mFill);
    mFill.clear();
    if (mSorted)
        applySort();
}

ListItem ListView::Item(int index)
{
    QTreeWidgetItem *item = topLevelItem(index - 1);
    if (!item)
        throw pellin::Failure(pellin::failure::IndexOutOfBounds);
    return ListItem(*this, *item);
}

std::optional<ListItem> ListView::findKey(const QString &key)
{
    QTreeWidgetItem *item = mByKey.value(key);
    if (!item)
        return std::nullopt;
    return ListItem(*this, *item);
}

void ListView::Remove(int index)
{
    QTreeWidgetItem *item = topLevelItem(index - 1);
    if (!item)
        throw pellin::Failure(pellin::failure::IndexOutOfBounds);
    mByKey.remove(mKeys.take(item));
    mColors.remove(item);
    delete takeTopLevelItem(index - 1);
}

void ListView::Clear()
{
    mByKey.clear();
    mKeys.clear();
    mColors.clear();
    clear();
}

std::optional<ListItem> ListView::SelectedItem()
{
    // The focus row alone is no selection: a list that has nothing selected answers none.
    QTreeWidgetItem *item = currentItem();
    if (!item || !item->isSelected()) {
        const QList<QTreeWidgetItem *> selected = selectedItems();
        if (selected.isEmpty())
            return std::nullopt;
        item = selected.first();
    }
    return ListItem(*this, *item);
}

void ListView::setBackColor(std::uint32_t color)
{
    mBackColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, toolkit::colorOf(color));
    pal.setColor(QPalette::Window, toolkit::colorOf(color));
    setPalette(pal);
}

void ListView::setForeColor(std::uint32_t color)
{
    mForeColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::Text, toolkit::colorOf(color));
    setPalette(pal);
}

void ListView::setSorted(bool sorted)
{
    mSorted = sorted;
    if (sorted)
        applySort();
}

// Column texts compare ignoring letter case, as the list views of the classic desktop do.
bool ListView::sortsBefore(const QTreeWidgetItem &a, const QTreeWidgetItem &b) const
{
    const QString first = a.text(mSortKey).toCaseFolded();
    const QString second = b.text(mSortKey).toCaseFolded();
    return mSortOrder == 0 ? first < second : second < first;
}

int ListView::sortedPlace(const QTreeWidgetItem &item) const
{
    // Binary search: the list is in order while it is kept sorted.
    int low = 0;
    int high = topLevelItemCount();
    while (low < high) {
        const int mid = (low + high) / 2;
        if (sortsBefore(item, *topLevelItem(mid)))
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

void ListView::applySort()
{
    // Taking the rows out, sorting the pointers once and putting them back is far cheaper for
    // long lists than the view's own row-by-row sort.
    QTreeWidgetItem *current = currentItem();
    const QList<QTreeWidgetItem *> selected = selectedItems();
    const QList<QTreeWidgetItem *> taken = invisibleRootItem()->takeChildren();
    // Each row's text is read and folded once, not at every comparison.
    std::vector<std::pair<QString, QTreeWidgetItem *>> keyed;
    keyed.reserve(taken.size());
    for (QTreeWidgetItem *row : taken)
        keyed.emplace_back(row->text(mSortKey).toCaseFolded(), row);
    const bool ascending = mSortOrder == 0;
    std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto &a, const auto &b) {
        return ascending ? a.first < b.first : b.first < a.first;
    });
    QList<QTreeWidgetItem *> rows;
    rows.reserve(keyed.size());
    for (const auto &[text, row] : keyed)
        rows.append(row);
    addTopLevelItems(rows);
    if (current)
        setCurrentItem(current);
    for (QTreeWidgetItem *row : selected)
        row->setSelected(true);
}

const QString &ListView::keyOf(const QTreeWidgetItem &item) const
{
    static const QString none;
    const auto it = mKeys.constFind(&item);
    return it == mKeys.constEnd() ? none : *it;
}

std::uint32_t ListView::colorOf(const QTreeWidgetItem &item) const
{
    return mColors.value(&item, mForeColor);
}

void ListView::setColorOf(QTreeWidgetItem &item, std::uint32_t color)
{
    mColors.insert(&item, color);
    const QColor shown = toolkit::colorOf(color);
    for (int column = 0; column < qMax(1, columnCount()); ++column)
        item.setForeground(column, shown);
}

} // namespace toolkit

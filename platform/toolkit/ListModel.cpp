#include "toolkit/ListModel.h"

#include "failure/Failure.h"
#include "toolkit/Colors.h"
#include "toolkit/ImageList.h"

#include <QBrush>
#include <QIcon>

#include <algorithm>

namespace toolkit
{

// A new list has one column without a caption, as a new tree widget has.
ListModel::ListModel() : mCaptions{QString()} {}

int ListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(mCaptions.size());
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    const ListRow *shown = index.isValid() ? row(index.row()) : nullptr;
    if (!shown)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == 0)
            return shown->text;
        if (index.column() == 1)
            return shown->subItem;
        return {};
    case Qt::DecorationRole:
        if (index.column() == 0 && mImages) {
            const QIcon icon = mImages->icon(shown->smallIcon);
            if (!icon.isNull())
                return icon;
        }
        return {};
    case Qt::ForegroundRole:
        if (shown->ownForeColor)
            return QBrush(colorOf(shown->foreColor));
        return {};
    default:
        return {};
    }
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return mCaptions.value(section);
}

Qt::ItemFlags ListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
}

void ListModel::clearColumns()
{
    if (mCaptions.isEmpty())
        return;
    beginRemoveColumns({}, 0, int(mCaptions.size()) - 1);
    mCaptions.clear();
    endRemoveColumns();
}

void ListModel::addColumn(const QString &caption)
{
    const int column = int(mCaptions.size());
    beginInsertColumns({}, column, column);
    mCaptions.append(caption);
    endInsertColumns();
}

ListRow &ListModel::add(QString key, QString text, QString smallIcon)
{
    ListRow &added = mStore.make();
    added.key = std::move(key);
    if (!mByKey.insert(added)) {
        mStore.release(added);
        throw pellin::Failure(pellin::failure::KeyNotUnique);
    }
    added.text = std::move(text);
    added.smallIcon = std::move(smallIcon);
    if (mColorRule) {
        added.ruleColor = mColorRule(added.key);
        trackRuleColor(added);
    }
    if (mFilling) {
        mHeldBack.push_back(&added);
        return added;
    }
    const int place = mKeptSorted ? sortedPlace(added) : count();
    beginInsertRows({}, place, place);
    mRows.insert(mRows.begin() + place, &added);
    renumberFrom(std::size_t(place));
    endInsertRows();
    return added;
}

void ListModel::beginFill(qsizetype expectedRows)
{
    mFilling = true;
    if (expectedRows <= 0)
        return;
    mByKey.reserve(mByKey.size() + std::size_t(expectedRows));
    mHeldBack.reserve(mHeldBack.size() + std::size_t(expectedRows));
}

void ListModel::endFill()
{
    mFilling = false;
    if (mHeldBack.empty())
        return;
    const int first = count();
    beginInsertRows({}, first, first + int(mHeldBack.size()) - 1);
    mRows.reserve(mRows.size() + mHeldBack.size());
    mRows.insert(mRows.end(), mHeldBack.begin(), mHeldBack.end());
    mHeldBack.clear();
    renumberFrom(std::size_t(first));
    endInsertRows();
    // Sorting the whole list once gives the order that adding each row at its place would.
    if (mKeptSorted)
        sort(mSortColumn, mSortOrder);
}

ListRow *ListModel::row(int position) const
{
    if (position < 0 || position >= count())
        return nullptr;
    return mRows[std::size_t(position)];
}

ListRow *ListModel::find(const QString &key) const
{
    return mByKey.find(key);
}

QModelIndex ListModel::indexOf(const ListRow &shown, int column) const
{
    return shown.position < 0 ? QModelIndex() : index(shown.position, column);
}

void ListModel::remove(int position)
{
    ListRow *gone = row(position);
    if (!gone)
        throw pellin::Failure(pellin::failure::IndexOutOfBounds);
    beginRemoveRows({}, position, position);
    mByKey.remove(*gone);
    leaveOffRule(*gone);
    mRows.erase(mRows.begin() + position);
    mStore.release(*gone);
    renumberFrom(std::size_t(position));
    endRemoveRows();
}

void ListModel::clear()
{
    beginResetModel();
    mByKey.clear();
    mOffRule.clear();
    mRows.clear();
    mHeldBack.clear();
    mStore.clear();
    endResetModel();
}

void ListModel::swap(int first, int second)
{
    if (!row(first) || !row(second))
        throw pellin::Failure(pellin::failure::IndexOutOfBounds);
    if (first == second)
        return;
    permuteRows([&] { std::swap(mRows[std::size_t(first)], mRows[std::size_t(second)]); },
                QAbstractItemModel::NoLayoutChangeHint);
}

void ListModel::setText(ListRow &changed, QString text)
{
    changed.text = std::move(text);
    rowChanged(changed, Qt::DisplayRole);
}

void ListModel::setSubItem(ListRow &changed, QString text)
{
    changed.subItem = std::move(text);
    rowChanged(changed, Qt::DisplayRole);
}

void ListModel::setForeColor(ListRow &changed, std::uint32_t color)
{
    // A row that keeps its colour is not touched: a recolouring pass over a long list repaints
    // only the rows whose colour changes.
    if (changed.ownForeColor && changed.foreColor == color)
        return;
    changed.foreColor = color;
    changed.ownForeColor = true;
    if (mColorRule)
        trackRuleColor(changed);
    rowChanged(changed, Qt::ForegroundRole);
}

std::uint32_t ListModel::shownColor(const ListRow &shown) const
{
    return shown.ownForeColor ? shown.foreColor : mDefaultForeColor;
}

void ListModel::setDefaultForeColor(std::uint32_t color)
{
    mDefaultForeColor = color;
    retrackRuleColors();
}

void ListModel::setColorRule(ColorRule rule)
{
    mColorRule = std::move(rule);
    retrackRuleColors();
}

void ListModel::retrackRuleColors()
{
    while (!mOffRule.empty())
        leaveOffRule(*mOffRule.back());
    if (!mColorRule)
        return;
    for (const auto *rows : {&mRows, &mHeldBack}) {
        for (ListRow *row : *rows) {
            row->ruleColor = mColorRule(row->key);
            trackRuleColor(*row);
        }
    }
}

void ListModel::applyColorRule()
{
    while (!mOffRule.empty()) {
        ListRow &row = *mOffRule.back();
        leaveOffRule(row);
        setForeColor(row, row.ruleColor);
    }
}

void ListModel::trackRuleColor(ListRow &row)
{
    if (shownColor(row) == row.ruleColor) {
        leaveOffRule(row);
    } else if (row.offRuleSlot < 0) {
        row.offRuleSlot = int(mOffRule.size());
        mOffRule.push_back(&row);
    }
}

void ListModel::leaveOffRule(ListRow &row)
{
    if (row.offRuleSlot < 0)
        return;
    // The last row takes the leaving row's slot.
    ListRow *last = mOffRule.back();
    mOffRule[std::size_t(row.offRuleSlot)] = last;
    last->offRuleSlot = row.offRuleSlot;
    mOffRule.pop_back();
    row.offRuleSlot = -1;
}

void ListModel::setKeptSorted(bool sorted)
{
    mKeptSorted = sorted;
    if (sorted)
        sort(mSortColumn, mSortOrder);
}

void ListModel::sort(int column, Qt::SortOrder order)
{
    mSortColumn = column;
    mSortOrder = order;
    if (mRows.size() < 2)
        return;
    // Each row's text is folded once, not at every comparison.
    std::vector<std::pair<QString, std::size_t>> keyed;
    keyed.reserve(mRows.size());
    for (std::size_t i = 0; i < mRows.size(); ++i)
        keyed.emplace_back(sortText(*mRows[i], column).toCaseFolded(), i);
    const bool ascending = order == Qt::AscendingOrder;
    std::stable_sort(keyed.begin(), keyed.end(), [ascending](const auto &a, const auto &b) {
        return ascending ? a.first < b.first : b.first < a.first;
    });
    permuteRows(
        [&] {
            std::vector<ListRow *> sorted;
            sorted.reserve(mRows.size());
            for (const auto &[text, from] : keyed)
                sorted.push_back(mRows[from]);
            mRows = std::move(sorted);
        },
        QAbstractItemModel::VerticalSortHint);
}

const QString &ListModel::sortText(const ListRow &shown, int column) const
{
    static const QString none;
    if (column == 0)
        return shown.text;
    if (column == 1)
        return shown.subItem;
    return none;
}

int ListModel::sortedPlace(const ListRow &added) const
{
    // Binary search for the place after every row that does not sort after the new one: the
    // list is in order while it is kept sorted.
    const QString text = sortText(added, mSortColumn).toCaseFolded();
    const bool ascending = mSortOrder == Qt::AscendingOrder;
    int low = 0;
    int high = count();
    while (low < high) {
        const int mid = (low + high) / 2;
        const QString other = sortText(*mRows[std::size_t(mid)], mSortColumn).toCaseFolded();
        if (ascending ? text < other : other < text)
            high = mid;
        else
            low = mid + 1;
    }
    return low;
}

void ListModel::renumberFrom(std::size_t position)
{
    for (std::size_t i = position; i < mRows.size(); ++i)
        mRows[i]->position = int(i);
}

void ListModel::rowChanged(const ListRow &changed, int role)
{
    if (changed.position < 0 || mCaptions.isEmpty())
        return;
    emit dataChanged(index(changed.position, 0), index(changed.position, int(mCaptions.size()) - 1),
                     {role});
}

void ListModel::permuteRows(const std::function<void()> &reorder,
                            QAbstractItemModel::LayoutChangeHint hint)
{
    emit layoutAboutToBeChanged({}, hint);
    const QModelIndexList before = persistentIndexList();
    std::vector<const ListRow *> held;
    held.reserve(std::size_t(before.size()));
    for (const QModelIndex &index : before)
        held.push_back(mRows[std::size_t(index.row())]);
    reorder();
    renumberFrom(0);
    QModelIndexList after;
    after.reserve(before.size());
    for (qsizetype i = 0; i < before.size(); ++i)
        after << index(held[std::size_t(i)]->position, before[i].column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, hint);
}

} // namespace toolkit

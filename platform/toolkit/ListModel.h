#pragma once

#include "toolkit/ListKeyIndex.h"
#include "toolkit/ListRow.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <vector>

namespace toolkit
{

class ImageList;

// The rows of a list view: unique string keys (a repeated key is failure 35602), the shown order,
// and, once sorted, that order kept by a column's text compared ignoring letter case.
//
// A colour rule, when the list has one, gives each row a colour from its key. The list keeps
// track of the rows shown in another colour, so that putting every row back to its rule colour
// writes only those rows, however long the list is.
class ListModel : public QAbstractTableModel
{
    Q_OBJECT
  public:
    using ColorRule = std::function<std::uint32_t(const QString &key)>;

    ListModel();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // Sorts the rows once, stably: rows with equal texts keep their order.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    void setSmallIcons(const ImageList *images) { mImages = images; }
    void clearColumns();
    void addColumn(const QString &caption);

    // Adds a row at the end, or at its sorted place while the list keeps itself sorted.
    ListRow &add(QString key, QString text, QString smallIcon);
    // Between the two, added rows are held back and enter the list together at its end.
    // `expectedRows` makes room for that many at once.
    void beginFill(qsizetype expectedRows = 0);
    void endFill();

    int count() const { return int(mRows.size()); }
    ListRow *row(int position) const; // nullptr outside the list
    ListRow *find(const QString &key) const;
    QModelIndex indexOf(const ListRow &row, int column = 0) const;
    void remove(int position);
    void clear();
    // The two rows change places, each with its key, texts, icon and colour.
    void swap(int first, int second);

    void setText(ListRow &row, QString text);
    void setSubItem(ListRow &row, QString text);
    void setForeColor(ListRow &row, std::uint32_t color);
    // The colour a row shows: its own, or the list's text colour.
    std::uint32_t shownColor(const ListRow &row) const;
    std::uint32_t defaultForeColor() const { return mDefaultForeColor; }
    void setDefaultForeColor(std::uint32_t color);

    void setColorRule(ColorRule rule);
    // Gives every row its rule colour, writing only the rows shown in another one.
    void applyColorRule();

    int sortColumn() const { return mSortColumn; }
    void setSortColumn(int column) { mSortColumn = column; }
    Qt::SortOrder sortOrder() const { return mSortOrder; }
    void setSortOrder(Qt::SortOrder order) { mSortOrder = order; }
    bool keptSorted() const { return mKeptSorted; }
    // On, the rows are sorted now and every row added later takes its sorted place.
    void setKeptSorted(bool sorted);

  private:
    const QString &sortText(const ListRow &row, int column) const;
    int sortedPlace(const ListRow &row) const;
    void renumberFrom(std::size_t position);
    // Every row's rule colour worked out anew, and whether it shows it.
    void retrackRuleColors();
    void trackRuleColor(ListRow &row);
    void leaveOffRule(ListRow &row);
    void rowChanged(const ListRow &row, int role);
    // Reorders the rows in `reorder`; selections and other held indexes follow their rows.
    void permuteRows(const std::function<void()> &reorder,
                     QAbstractItemModel::LayoutChangeHint hint);

    const ImageList *mImages = nullptr;
    QStringList mCaptions;
    ListRowStore mStore;
    std::vector<ListRow *> mRows;     // in the shown order
    std::vector<ListRow *> mHeldBack; // added during a fill, not shown yet
    bool mFilling = false;
    ListKeyIndex mByKey;
    std::uint32_t mDefaultForeColor = 0;
    ColorRule mColorRule;
    std::vector<ListRow *> mOffRule; // rows not shown in their rule colour, in no order
    int mSortColumn = 0;
    Qt::SortOrder mSortOrder = Qt::AscendingOrder;
    bool mKeptSorted = false;
};

} // namespace toolkit

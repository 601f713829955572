#pragma once

#include "toolkit/ImageList.h"
#include "toolkit/Units.h"

#include <QHash>
#include <QTreeWidget>

#include <cstdint>
#include <functional>
#include <optional>

namespace toolkit
{

class ListView;

// A row of the list view: a light handle, valid while the row is in the list.
class ListItem
{
  public:
    ListItem(ListView &view, QTreeWidgetItem &item) : mView(&view), mItem(&item) {}

    QString Key() const;
    QString Text() const { return mItem->text(0); }
    void setText(const QString &text) { mItem->setText(0, text); }
    QString SubItem(int index) const { return mItem->text(index); }
    void setSubItem(int index, const QString &text) { mItem->setText(index, text); }
    std::uint32_t ForeColor() const;
    void setForeColor(std::uint32_t color);
    QString SmallIcon() const;
    bool Selected() const;
    void setSelected(bool selected);
    int Index() const; // 1-based position in the shown order

    QTreeWidgetItem &item() const { return *mItem; }
    bool operator==(const ListItem &other) const { return mItem == other.mItem; }

  private:
    ListView *mView;
    QTreeWidgetItem *mItem;
};

// Report-view list with unique string keys (a repeated key is failure 35602), per-row text
// colour, one sub-item column, small icons, sorting by a column's text.
class ListView : public QTreeWidget, public Control
{
    Q_OBJECT
  public:
    explicit ListView(QWidget *parent);

    void setSmallIcons(const ImageList *images) { mImages = images; }

    void clearColumns();
    void addColumn(const QString &caption, int widthTwips);

    // While a bulk fill runs, new rows are collected and enter the list together at its end:
    // one insertion instead of one per row. Only the rows handed back may be used meanwhile.
    class Fill
    {
      public:
        explicit Fill(ListView &view) : mView(view) { mView.beginFill(); }
        ~Fill() { mView.endFill(); }
        Fill(const Fill &) = delete;
        Fill &operator=(const Fill &) = delete;

      private:
        ListView &mView;
    };

    // Adds a row at the end (or at its sorted place while Sorted is on).
    ListItem Add(const QString &key, const QString &text, const QString &smallIcon);
    int Count() const { return topLevelItemCount(); }
    ListItem Item(int index); // 1-based
    std::optional<ListItem> findKey(const QString &key);
    void Remove(int index); // 1-based
    void Clear();

    std::optional<ListItem> SelectedItem();

    std::uint32_t BackColor() const { return mBackColor; }
    void setBackColor(std::uint32_t color);
    std::uint32_t ForeColor() const { return mForeColor; }
    void setForeColor(std::uint32_t color);

    int SortKey() const { return mSortKey; }
    void setSortKey(int column) { mSortKey = column; }
    int SortOrder() const { return mSortOrder; } // 0 ascending, 1 descending
    void setSortOrder(int order) { mSortOrder = order; }
    bool Sorted() const { return mSorted; }
    void setSorted(bool sorted);

    void onClick(std::function<void()> handler) { mClick = std::move(handler); }
    // The column header's 1-based index.
    void onColumnClick(std::function<void(int)> handler) { mColumnClick = std::move(handler); }

    const QString &keyOf(const QTreeWidgetItem &item) const;
    std::uint32_t colorOf(const QTreeWidgetItem &item) const;
    void setColorOf(QTreeWidgetItem &item, std::uint32_t color);

  private:
    void applySort();
    bool sortsBefore(const QTreeWidgetItem &a, const QTreeWidgetItem &b) const;
    int sortedPlace(const QTreeWidgetItem &item) const;

    void beginFill();
    void endFill();

    const ImageList *mImages = nullptr;
    bool mFilling = false;
    QList<QTreeWidgetItem *> mFill;
    QHash<QString, QTreeWidgetItem *> mByKey;
    QHash<const QTreeWidgetItem *, QString> mKeys;
    QHash<const QTreeWidgetItem *, std::uint32_t> mColors;
    std::uint32_t mBackColor = 0x00FFFFFF;
    std::uint32_t mForeColor = 0;
    int mSortKey = 0;
    int mSortOrder = 0;
    bool mSorted = false;
    std::function<void()> mClick;
    std::function<void(int)> mColumnClick;
};

} // namespace toolkit

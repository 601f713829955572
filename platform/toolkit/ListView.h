#pragma once

#include "toolkit/ImageList.h"
#include "toolkit/ListModel.h"
#include "toolkit/Units.h"

#include <QTreeView>

#include <cstdint>
#include <functional>
#include <optional>

namespace toolkit
{

class ListView;

// A row of the list view: a light handle, valid while the row is in the list. It follows its row
// through sorting and moves.
class ListItem
{
  public:
    ListItem(ListView &view, ListRow &row) : mView(&view), mRow(&row) {}

    QString Key() const { return mRow->key; }
    QString Text() const { return mRow->text; }
    void setText(QString text);
    // Index 0 is the row's text, 1 its sub-item.
    QString SubItem(int index) const;
    void setSubItem(int index, QString text);
    std::uint32_t ForeColor() const;
    void setForeColor(std::uint32_t color);
    QString SmallIcon() const { return mRow->smallIcon; }
    bool Selected() const;
    void setSelected(bool selected);
    int Index() const { return mRow->position + 1; } // 1-based position in the shown order

    bool operator==(const ListItem &other) const { return mRow == other.mRow; }

  private:
    ListView *mView;
    ListRow *mRow;
};

// Report-view list with unique string keys (a repeated key is failure 35602), per-row text
// colour, one sub-item column, small icons, sorting by a column's text. The rows live in a model
// of their own; the view paints only what is on screen.
class ListView : public QTreeView, public Control
{
    Q_OBJECT
  public:
    explicit ListView(QWidget *parent);
    ~ListView() override;
    ListView(const ListView &) = delete;
    ListView &operator=(const ListView &) = delete;

    void setSmallIcons(const ImageList *images) { mRows.setSmallIcons(images); }

    void clearColumns();
    void addColumn(const QString &caption, int widthTwips);
    int columnCount() const { return mRows.columnCount(); }

    // While a bulk fill runs, new rows are collected and enter the list together at its end:
    // one insertion instead of one per row. Only the rows handed back may be used meanwhile.
    // `expectedRows`, when known, makes room for them at once.
    class Fill
    {
      public:
        explicit Fill(ListView &view, qsizetype expectedRows = 0) : mView(view)
        {
            mView.mRows.beginFill(expectedRows);
        }
        ~Fill() { mView.mRows.endFill(); }
        Fill(const Fill &) = delete;
        Fill &operator=(const Fill &) = delete;

      private:
        ListView &mView;
    };

    // Adds a row at the end (or at its sorted place while Sorted is on).
    ListItem Add(QString key, QString text, QString smallIcon);
    int Count() const { return mRows.count(); }
    ListItem Item(int index); // 1-based
    std::optional<ListItem> findKey(const QString &key);
    void Remove(int index); // 1-based
    void Clear();
    // The rows at two 1-based positions change places, each with everything it holds; the
    // selection stays with its row.
    void swapRows(int first, int second);

    std::optional<ListItem> SelectedItem();

    std::uint32_t BackColor() const { return mBackColor; }
    void setBackColor(std::uint32_t color);
    std::uint32_t ForeColor() const { return mRows.defaultForeColor(); }
    void setForeColor(std::uint32_t color);

    // A colour for each row, from its key, that applyColorRule gives every row back; it writes
    // only the rows shown in another colour.
    void setColorRule(ListModel::ColorRule rule) { mRows.setColorRule(std::move(rule)); }
    void applyColorRule() { mRows.applyColorRule(); }

    int SortKey() const { return mRows.sortColumn(); }
    void setSortKey(int column) { mRows.setSortColumn(column); }
    int SortOrder() const; // 0 ascending, 1 descending
    void setSortOrder(int order);
    bool Sorted() const { return mRows.keptSorted(); }
    void setSorted(bool sorted) { mRows.setKeptSorted(sorted); }

    // A click on a row.
    void onClick(std::function<void()> handler) { mClick = std::move(handler); }
    // A double-click on a row, and Enter (either key) on the row that has the focus.
    void onDblClick(std::function<void()> handler) { mDblClick = std::move(handler); }
    void onEnter(std::function<void()> handler) { mEnter = std::move(handler); }
    // A click on a column header, with the column's 1-based index.
    void onColumnClick(std::function<void(int)> handler) { mColumnClick = std::move(handler); }

  protected:
    void keyPressEvent(QKeyEvent *event) override;

  private:
    friend class ListItem;

    void connectEvents();

    ListModel mRows;
    std::uint32_t mBackColor = 0x00FFFFFF;
    std::function<void()> mClick;
    std::function<void()> mDblClick;
    std::function<void()> mEnter;
    std::function<void(int)> mColumnClick;
};

} // namespace toolkit

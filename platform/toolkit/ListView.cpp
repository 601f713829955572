#include "toolkit/ListView.h"

#include "toolkit/Handlers.h"

#include "failure/Failure.h"
#include "toolkit/Colors.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>

namespace toolkit
{

void ListItem::setText(QString text)
{
    mView->mRows.setText(*mRow, std::move(text));
}

QString ListItem::SubItem(int index) const
{
    if (index == 0)
        return mRow->text;
    if (index == 1)
        return mRow->subItem;
    return {};
}

void ListItem::setSubItem(int index, QString text)
{
    if (index == 0)
        mView->mRows.setText(*mRow, std::move(text));
    else if (index == 1)
        mView->mRows.setSubItem(*mRow, std::move(text));
    else
        throw pellin::Failure(pellin::failure::IndexOutOfBounds);
}

std::uint32_t ListItem::ForeColor() const
{
    return mView->mRows.shownColor(*mRow);
}

void ListItem::setForeColor(std::uint32_t color)
{
    mView->mRows.setForeColor(*mRow, color);
}

bool ListItem::Selected() const
{
    const QModelIndex index = mView->mRows.indexOf(*mRow);
    return index.isValid() && mView->selectionModel()->isSelected(index);
}

void ListItem::setSelected(bool selected)
{
    const QModelIndex index = mView->mRows.indexOf(*mRow);
    if (!index.isValid())
        return;
    if (selected)
        mView->setCurrentIndex(index);
    else
        mView->selectionModel()->select(index,
                                        QItemSelectionModel::Deselect | QItemSelectionModel::Rows);
}

ListView::ListView(QWidget *parent) : QTreeView(parent), Control(static_cast<QTreeView &>(*this))
{
    setModel(&mRows);
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    header()->setSectionsClickable(true);
    header()->setStretchLastSection(false);
    connectEvents();
}

ListView::~ListView()
{
    // The view lets go of the rows before they go.
    setModel(nullptr);
}

// Every event of the list reaches its handler through runHandler, so a failure in a handler is
// reported and never crosses Qt's code.
void ListView::connectEvents()
{
    connect(this, &QAbstractItemView::clicked, this, [this] {
        if (mClick)
            runHandler(mClick);
    });
    connect(this, &QAbstractItemView::doubleClicked, this, [this] {
        if (mDblClick)
            runHandler(mDblClick);
    });
    connect(header(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (mColumnClick)
            runHandler(mColumnClick, section + 1);
    });
}

void ListView::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && mEnter && currentIndex().isValid() &&
        !(event->modifiers() & ~Qt::KeypadModifier)) {
        runHandler(mEnter);
        return;
    }
    QTreeView::keyPressEvent(event);
}

void ListView::clearColumns()
{
    mRows.clearColumns();
}

void ListView::addColumn(const QString &caption, int widthTwips)
{
    mRows.addColumn(caption);
    setColumnWidth(mRows.columnCount() - 1, toPixelsX(widthTwips));
}

ListItem ListView::Add(QString key, QString text, QString smallIcon)
{
    // A new row shows in the list's text colour (the palette's), so it needs no colour of its own.
    return ListItem(*this, mRows.add(std::move(key), std::move(text), std::move(smallIcon)));
}

ListItem ListView::Item(int index)
{
    ListRow *row = mRows.row(index - 1);
    if (!row)
        throw pellin::Failure(pellin::failure::IndexOutOfBounds);
    return ListItem(*this, *row);
}

std::optional<ListItem> ListView::findKey(const QString &key)
{
    ListRow *row = mRows.find(key);
    if (!row)
        return std::nullopt;
    return ListItem(*this, *row);
}

void ListView::Remove(int index)
{
    mRows.remove(index - 1);
}

void ListView::Clear()
{
    mRows.clear();
}

void ListView::swapRows(int first, int second)
{
    mRows.swap(first - 1, second - 1);
}

std::optional<ListItem> ListView::SelectedItem()
{
    // The focus row alone is no selection: a list that has nothing selected answers none.
    int selected = -1;
    const QModelIndex current = currentIndex();
    if (current.isValid() && selectionModel()->isSelected(current.siblingAtColumn(0))) {
        selected = current.row();
    } else {
        const QModelIndexList rows = selectionModel()->selectedRows();
        if (rows.isEmpty())
            return std::nullopt;
        selected = rows.first().row();
    }
    ListRow *row = mRows.row(selected);
    if (!row)
        return std::nullopt;
    return ListItem(*this, *row);
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
    mRows.setDefaultForeColor(color);
    QPalette pal = palette();
    pal.setColor(QPalette::Text, toolkit::colorOf(color));
    setPalette(pal);
}

int ListView::SortOrder() const
{
    return mRows.sortOrder() == Qt::DescendingOrder ? 1 : 0;
}

void ListView::setSortOrder(int order)
{
    mRows.setSortOrder(order != 0 ? Qt::DescendingOrder : Qt::AscendingOrder);
}

} // namespace toolkit

#pragma once

#include "toolkit/Units.h"

#include <QPushButton>

#include <functional>

namespace toolkit
{

// The parent side of an owner-drawn button: a window that draws its buttons' captions itself
// attaches one of these to itself; buttons in the graphical style hand their finished face to it.
class DrawItemHook : public QObject
{
    Q_OBJECT
  public:
    using QObject::QObject;
    static constexpr int kSelected = 1; // the item state bit of a pressed button

    // Whether the hook repaints this button's caption (the toolkit then leaves its own out).
    virtual bool drawsCaption(const QWidget &button) const = 0;
    virtual void drawItem(QWidget &button, QPainter &painter, QRect rect, int itemState) = 0;
};

// The hook a window carries, if any.
DrawItemHook *drawItemHookOf(const QWidget *window);
void setDrawItemHook(QWidget &window, DrawItemHook *hook);

class CommandButton : public QPushButton, public Control
{
    Q_OBJECT
  public:
    explicit CommandButton(QWidget *parent);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption) { setText(caption); }
    QString ToolTipText() const { return toolTip(); }
    void setToolTipText(const QString &tip) { setToolTip(tip); }
    QString Tag() const { return mTag; }
    void setTag(const QString &tag) { mTag = tag; }
    bool Graphical() const { return mGraphical; }
    void setGraphical(bool graphical) { mGraphical = graphical; }

    // The pushed-in look, independent of the mouse and of the focus: it stays until the program
    // releases it.
    void setState(bool pushed);
    bool State() const { return mPushed; }

    void onClick(std::function<void()> handler) { mClick = std::move(handler); }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    QString mTag;
    bool mGraphical = false;
    bool mPushed = false;
    std::function<void()> mClick;
};

} // namespace toolkit

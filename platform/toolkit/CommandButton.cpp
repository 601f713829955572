#include "toolkit/CommandButton.h"

#include "toolkit/Handlers.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace toolkit
{
namespace
{
const char *const kHookProperty = "pellinDrawItemHook";
} // namespace

DrawItemHook *drawItemHookOf(const QWidget *window)
{
    if (!window)
        return nullptr;
    return qobject_cast<DrawItemHook *>(window->property(kHookProperty).value<QObject *>());
}

void setDrawItemHook(QWidget &window, DrawItemHook *hook)
{
    window.setProperty(kHookProperty, QVariant::fromValue<QObject *>(hook));
}

CommandButton::CommandButton(QWidget *parent)
    : QPushButton(parent), Control(static_cast<QPushButton &>(*this))
{
    connect(this, &QPushButton::clicked, this, [this] {
        if (mClick)
            runHandler(mClick);
    });
}

void CommandButton::setState(bool pushed)
{
    mPushed = pushed;
    update();
}

void CommandButton::paintEvent(QPaintEvent *)
{
    DrawItemHook *hook = mGraphical ? drawItemHookOf(parentWidget()) : nullptr;
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const bool pushed = mPushed || isDown();
    if (pushed) {
        option.state |= QStyle::State_Sunken;
        option.state &= ~QStyle::State_Raised;
    }
    if (hook && hook->drawsCaption(*this))
        option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    if (hook)
        hook->drawItem(*this, painter, rect(), pushed ? DrawItemHook::kSelected : 0);
}

} // namespace toolkit

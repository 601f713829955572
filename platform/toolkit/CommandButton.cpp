#include "CommandButton.h"

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
            mClick();
    });
}

void CommandButton::paintEvent(QPaintEvent *event)
{
    DrawItemHook *hook = mGraphical ? drawItemHookOf(parentWidget()) : nullptr;
    if (!hook) {
        QPushButton::paintEvent(event);
        return;
    }
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    if (hook->drawsCaption(*this))
        option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    hook->drawItem(*this, painter, rect(), isDown() ? DrawItemHook::kSelected : 0);
}

} // namespace toolkit

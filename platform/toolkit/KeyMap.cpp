#include "toolkit/KeyMap.h"

#include "toolkit/Handlers.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

namespace toolkit
{

KeyMap::KeyMap(QWidget &window) : QObject(&window), mWindow(window)
{
    // Keys go to the focused control first; only the application sees them before it does.
    QCoreApplication::instance()->installEventFilter(this);
}

void KeyMap::bindKey(int key, std::function<void()> handler)
{
    mKeys[key] = std::move(handler);
}

void KeyMap::bindDoubleClick(QWidget &area, std::function<void()> handler)
{
    mDoubleClicks.emplace_back(&area, std::move(handler));
}

bool KeyMap::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress) {
        if (const auto *pressed = qobject_cast<QWidget *>(watched)) {
            mPreviousPress = mLastPress;
            mLastPress = pressed->window();
        }
        return false;
    }
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonDblClick)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != &mWindow)
        return false;
    if (type == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->modifiers() & ~Qt::KeypadModifier)
            return false;
        const auto bound = mKeys.find(key->key());
        if (bound == mKeys.end())
            return false;
        if (key->key() == Qt::Key_Space && qobject_cast<QAbstractButton *>(widget))
            return false;
        runHandler(bound->second);
        return true;
    }
    // A double-click counts only where both clicks hit this window: a first click that hid the
    // window it was made on (a playlist row that plays) makes no double-click of the second.
    const bool firstClickElsewhere =
        mLastPress == &mWindow && mPreviousPress && mPreviousPress != &mWindow;
    if (static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton || firstClickElsewhere)
        return false;
    for (const auto &[area, handler] : mDoubleClicks) {
        if (area == widget || area->isAncestorOf(widget)) {
            runHandler(handler);
            return true;
        }
    }
    return false;
}

} // namespace toolkit

#include "toolkit/WindowHandles.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

namespace toolkit
{
namespace
{

const char *const kHandleProperty = "pellinHandle";

QHash<long long, QPointer<QWidget>> &registry()
{
    static QHash<long long, QPointer<QWidget>> widgets;
    return widgets;
}

// Odd numbers starting well above small integers, so a handle never looks like a count.
constexpr long long kFirstHandle = 0x10001;

long long &nextHandle()
{
    static long long next = kFirstHandle;
    return next;
}

} // namespace

long long handleOf(QWidget *widget)
{
    if (!widget)
        return 0;
    const QVariant known = widget->property(kHandleProperty);
    if (known.isValid())
        return known.toLongLong();
    long long &next = nextHandle();
    const long long handle = next;
    next += 2;
    widget->setProperty(kHandleProperty, handle);
    registry().insert(handle, widget);
    QObject::connect(widget, &QObject::destroyed, [handle] { registry().remove(handle); });
    return handle;
}

QWidget *widgetOf(long long handle)
{
    const auto it = registry().constFind(handle);
    return it == registry().constEnd() ? nullptr : it->data();
}

void resetHandles()
{
    if (registry().isEmpty())
        nextHandle() = kFirstHandle;
}

QRect windowRect(long long handle)
{
    QWidget *widget = widgetOf(handle);
    if (!widget)
        return {};
    const QRect frame = widget->isWindow() ? widget->frameGeometry() : widget->rect();
    const QPoint topLeft = widget->isWindow() ? frame.topLeft() : widget->mapToGlobal(QPoint(0, 0));
    return QRect(topLeft, frame.size());
}

} // namespace toolkit

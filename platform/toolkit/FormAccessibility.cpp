#include "toolkit/FormAccessibility.h"

#include "toolkit/Form.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QEvent>

namespace toolkit
{
namespace
{

QAccessibleInterface *formInterface(const QString &className, QObject *object)
{
    (void)className;
    auto *form = qobject_cast<Form *>(object);
    if (!form || !form->isWindow())
        return nullptr;
    const bool dialog = form->windowType() == Qt::Dialog;
    return new QAccessibleWidget(form, dialog ? QAccessible::Dialog : QAccessible::Window);
}

constexpr char kAnnounced[] = "toolkitWindowAnnounced";

void announce(QWidget &form, QAccessible::Event event)
{
    QAccessibleEvent announcement(&form, event);
    QAccessible::updateAccessibility(&announcement);
}

// Announces a window's arrival when it shows.
class WindowAnnouncer : public QObject
{
  public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        auto *form = qobject_cast<QWidget *>(watched);
        if (form && event->type() == QEvent::Show)
            announceWindowShown(*form);
        return false;
    }
};

} // namespace

void announceWindowChanges(QWidget &form)
{
    form.installEventFilter(new WindowAnnouncer(&form));
}

void announceWindowShown(QWidget &form)
{
    if (!form.isWindow() || form.property(kAnnounced).toBool())
        return;
    form.setProperty(kAnnounced, true);
    announce(form, QAccessible::ObjectCreated);
}

void announceWindowGone(QWidget &form)
{
    if (!form.property(kAnnounced).toBool())
        return;
    form.setProperty(kAnnounced, false);
    announce(form, QAccessible::ObjectDestroyed);
}

void presentFormsAsWindows()
{
    static const bool installed = [] {
        QAccessible::installFactory(&formInterface);
        return true;
    }();
    (void)installed;
}

} // namespace toolkit

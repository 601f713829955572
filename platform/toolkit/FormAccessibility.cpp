#include "toolkit/FormAccessibility.h"

#include "toolkit/Form.h"

#include <QAccessible>
#include <QAccessibleWidget>

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

} // namespace

void presentFormsAsWindows()
{
    static const bool installed = [] {
        QAccessible::installFactory(&formInterface);
        return true;
    }();
    (void)installed;
}

} // namespace toolkit

#include "common/ErrorReport.h"

#include "common/modGlobals.h"
#include "toolkit/MessageBox.h"
#include "toolkit/WindowHandles.h"

#include <QWidget>

using namespace Qt::StringLiterals;

namespace
{
// The base of object-defined failure numbers: it carries no information of its own.
constexpr int kObjectDefinedBase = -2147221504;
} // namespace

namespace modGlobals
{

QString ErrorReportText(int number, const QString &description)
{
    const QString numberLine = (number == 0 || number == kObjectDefinedBase)
                                   ? QString()
                                   : u"Number: "_s + QString::number(number);
    return QStringList{u"An unexpected error has occured: "_s,
                       QString(),
                       numberLine,
                       u"Explanation: "_s + description,
                       QString(),
                       u"Please contact support for more information."_s}
        .join(u"\r\n"_s);
}

void ReportError(int number, const QString &description)
{
    try {
        toolkit::MsgBox(ErrorReportText(number, description),
                        toolkit::vbOKOnly | toolkit::vbCritical, kAppTitle);
    } catch (...) {
    }
}

void ActivateWindow(long long hwnd)
{
    if (hwnd == 0)
        return;
    QWidget *window = toolkit::widgetOf(hwnd);
    if (!window)
        return;
    if (window->isMinimized()) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        return;
    }
    window->raise();
    window->activateWindow();
}

} // namespace modGlobals

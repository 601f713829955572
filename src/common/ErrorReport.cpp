#include "ErrorReport.h"

#include "MessageBox.h"
#include "WindowHandles.h"
#include "modGlobals.h"

#include <QWidget>

namespace modGlobals
{

QString ErrorReportText(int number, const QString &description)
{
    // -2147221504 is the base of object-defined numbers and carries no information of its own.
    const QString numberLine =
        (number == 0 || number == -2147221504) ? QString() : "Number: " + QString::number(number);
    return QStringList{"An unexpected error has occured: ",
                       QString(),
                       numberLine,
                       "Explanation: " + description,
                       QString(),
                       "Please contact support for more information."}
        .join("\r\n");
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

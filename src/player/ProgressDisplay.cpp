#include "player/ProgressDisplay.h"

#include "common/Progress.h"
#include "player/frmMain.h"
#include "toolkit/Forms.h"

#include <QCoreApplication>

namespace progressDisplay
{

namespace
{

void show(const QString &what, int percent)
{
    // The panel's own text, put back when the work ends.
    static QString before;
    static bool showing = false;
    toolkit::StatusPanel &panel = forms::frmMain().sbStatus.Panels(1);
    if (percent >= 100) {
        if (showing)
            panel.setText(before);
        showing = false;
    } else {
        if (!showing)
            before = panel.Text();
        showing = true;
        panel.setText(QStringLiteral("%1: %2%").arg(what).arg(percent));
    }
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

void start()
{
    pellin::setProgressDisplay(&show);
}

void stop()
{
    pellin::setProgressDisplay({});
}

} // namespace progressDisplay

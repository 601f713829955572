#include "common/modGlobals.h"
#include "player/frmSplash.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"

int main(int argc, char **argv)
{
    toolkit::Application app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    app.setReporter([](int number, const QString &description) {
        modGlobals::ReportError(number, description);
    });
    forms::frmSplash();
    // Answering the Reader question with Yes ends the start-up before any window is left.
    if (toolkit::loadedForms().empty())
        return 0;
    return app.exec();
}

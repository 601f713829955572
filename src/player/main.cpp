#include "common/modGlobals.h"
#include "player/frmSplash.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"
#include "toolkit/Handlers.h"

int main(int argc, char **argv)
{
    toolkit::Application app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    toolkit::setFailureReporter(modGlobals::ReportError);
    forms::frmSplash();
    // Answering the Reader question with Yes ends the start-up before any window is left.
    if (toolkit::loadedForms().empty())
        return 0;
    return app.exec();
}

#include "common/ErrorReport.h"
#include "common/modGlobals.h"
#include "player/frmSplash.h"
#include "playlist/frmPlaylist.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"
#include "toolkit/Handlers.h"

#include <QDirIterator>
#include <QIcon>

namespace
{

// The icon travels inside the program, so that a player started from a course disc shows it
// as well as the installed one; the desktop file name lets the desktop match the running
// windows to the menu entry.
void setDesktopIdentity(QApplication &app)
{
    QIcon icon;
    QDirIterator files(QStringLiteral(":/icons"), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        icon.addFile(files.next());
    app.setWindowIcon(icon);
    QGuiApplication::setDesktopFileName(QStringLiteral("com.vorlund.PellinPlayer"));
}

} // namespace

int main(int argc, char **argv)
{
    toolkit::Application app(argc, argv);
    setDesktopIdentity(app);
    app.setQuitOnLastWindowClosed(false);
    toolkit::setFailureReporter(modGlobals::ReportError);
    forms::frmSplash();
    // Answering the Reader question with Yes ends the start-up before any window is left.
    if (toolkit::loadedForms().empty())
        return 0;
    // A playlist file opened from the desktop (its file type names the player) replaces the
    // list the start-up made.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1)
        modGlobals::Trap([&] { forms::frmPlaylist().OpenPlaylistFile(arguments.at(1)); });
    return app.exec();
}

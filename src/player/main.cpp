#include "common/ErrorReport.h"
#include "common/ListFile.h"
#include "common/modGlobals.h"
#include "mci/LibmpvEngine.h"
#include "player/DesktopControls.h"
#include "player/frmMain.h"
#include "player/frmSplash.h"
#include "playlist/frmPlaylist.h"
#include "session/Session.h"
#include "system/RuntimeCache.h"
#include "system/TempFolder.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"
#include "toolkit/Handlers.h"

#include <QDirIterator>
#include <QIcon>

namespace
{

constexpr const char *kDesktopId = "com.vorlund.PellinPlayer";

// The desktop's icon theme names the program's icon after its desktop entry; the same PNGs travel
// inside the program, so that a player started from a course disc, where no theme has the icon,
// shows it as well as the installed one. The desktop file name lets the desktop match the
// running windows to the menu entry.
void setDesktopIdentity(QApplication &app)
{
    QIcon builtIn;
    QDirIterator files(QStringLiteral(":/icons"), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext())
        builtIn.addFile(files.next());
    app.setWindowIcon(QIcon::fromTheme(QString::fromLatin1(kDesktopId), builtIn));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));
}

} // namespace

int main(int argc, char **argv)
{
    sys::useInstalledRuntimePlugins();
    toolkit::Application app(argc, argv);
    // The libraries and the platform plug-in are loaded; the programs the player starts find
    // their own.
    sys::restoreSearchPaths();
    setDesktopIdentity(app);
    app.setQuitOnLastWindowClosed(false);
    toolkit::setFailureReporter(modGlobals::ReportError);
    forms::frmSplash();
    // Answering the Reader question with Yes ends the start-up before any window is left.
    if (toolkit::loadedForms().empty())
        return 0;
    // The main window's unload closes every window and then the main window itself (the close
    // box and File > Exit alike); once it is gone, the program ends.
    QObject::connect(&forms::frmMain(), &QObject::destroyed, &app,
                     [] { QCoreApplication::exit(0); });
    // The media engine's libraries load on a thread once the main window has drawn itself, so
    // that they never hold up its first picture and are there by the first click.
    mci::loadLibmpvEngineAfterFirstPaint(forms::frmMain());
    // The desktop's media controls and media keys reach the player where a session bus exists.
    desktopControls::start();
    // A playlist file opened from the desktop (its file type names the player) replaces the
    // list the start-up made.
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() > 1)
        modGlobals::Trap([&] { forms::frmPlaylist().OpenPlaylistFile(arguments.at(1)); });
    const int status = app.exec();
    // Nothing of the run stays behind: the carry-over file goes, and so does the screen's
    // inhibition should a video still be playing.
    pellin::removeCarryOver(pellin::carryOverPath(modGlobals::GetTempFolder()));
    sys::resetTempFolder();
    session::endSession();
    return status;
}

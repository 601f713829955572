#include "common/ErrorReport.h"
#include "common/ListFile.h"
#include "common/modGlobals.h"
#include "mci/LibmpvEngine.h"
#include "player/DesktopControls.h"
#include "player/frmMain.h"
#include "player/frmSplash.h"
#include "playlist/frmPlaylist.h"
#include "session/Session.h"
#include "system/TempFolder.h"
#include "toolkit/Application.h"
#include "toolkit/Forms.h"
#include "toolkit/Handlers.h"

#include <QIcon>

namespace
{

constexpr const char *kDesktopId = "com.vorlund.PellinPlayer";

// The sizes of the built-in icon a window carries: every window hands each of its icon's sizes,
// decoded and converted, to the window system, and a window manager shows its windows' icons at
// these sizes; the larger PNGs are for the desktop's menus, which take them from the icon theme.
constexpr int kWindowIconSizes[] = {16, 32, 48, 64};

// The desktop's icon theme names the program's icon after its desktop entry; the same PNGs travel
// inside the program, so that a player started from a course disc, where no theme has the icon,
// shows it as well as the installed one. The desktop file name lets the desktop match the
// running windows to the menu entry.
void setDesktopIdentity(QApplication &app)
{
    QIcon builtIn;
    for (const int size : kWindowIconSizes)
        builtIn.addFile(
            QStringLiteral(":/icons/%1x%1/%2.png").arg(size).arg(QLatin1String(kDesktopId)),
            QSize(size, size));
    app.setWindowIcon(QIcon::fromTheme(QString::fromLatin1(kDesktopId), builtIn));
    QGuiApplication::setDesktopFileName(QString::fromLatin1(kDesktopId));
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

#include "common/ErrorReport.h"
#include "common/ListFile.h"
#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "mci/LibmpvEngine.h"
#include "player/CommandLine.h"
#include "player/DesktopControls.h"
#include "player/GivenFiles.h"
#include "player/frmMain.h"
#include "player/frmSplash.h"
#include "playlist/frmPlaylist.h"
#include "session/Session.h"
#include "session/SingleInstance.h"
#include "system/RuntimeCache.h"
#include "system/TempFolder.h"
#include "toolkit/Application.h"
#include "toolkit/DisplayPlatform.h"
#include "toolkit/Forms.h"
#include "toolkit/Handlers.h"

#include <QIcon>

#include <cstdio>
#include <utility>

namespace
{

constexpr const char *kDesktopId = "com.vorlund.PellinPlayer";

// The sizes of the built-in icon a window carries: every window hands each of its icon's sizes,
// decoded and converted, to the window system, and a window manager shows its windows' icons at
// these sizes (128 for the window switchers of the big desktops); the larger PNGs are for the
// desktop's menus, which take them from the icon theme.
constexpr int kWindowIconSizes[] = {16, 32, 48, 64, 128};

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

// Files that later starts of the session hand over. Those that come during the start-up wait
// for it, so that they open after the course's own list and the command line's files.
class HandedOverFiles
{
  public:
    void take(const QStringList &files)
    {
        if (!mStarted) {
            mWaiting << files;
            return;
        }
        open(files);
    }
    void startUpDone()
    {
        mStarted = true;
        if (!mWaiting.isEmpty())
            open(std::exchange(mWaiting, {}));
    }

  private:
    // Opened as the desktop opens files, in the main window (File > Open's place, so full
    // screen is left first), and the player comes forward to show them.
    static void open(const QStringList &files)
    {
        toolkit::runHandler([] {
            if (modGlobals::gFullScreen)
                forms::frmFullScreen().LeaveFullScreen();
        });
        givenFiles::open(files);
        toolkit::runHandler([] { modGlobals::ActivateWindow(forms::frmMain().hWnd()); });
    }

    bool mStarted = false;
    QStringList mWaiting;
};

} // namespace

int main(int argc, char **argv)
{
    // --help and --version answer before the toolkit starts, so they need no display.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const commandLine::Parsed parsed = commandLine::parse(arguments);
    if (parsed.exitNow) {
        std::fputs(parsed.output.toLocal8Bit().constData(), parsed.exitCode ? stderr : stdout);
        return parsed.exitCode;
    }
    sys::useInstalledRuntimePlugins();
    const toolkit::DisplayPlatformChoice platform;
    toolkit::Application app(argc, argv);
    // The libraries and the platform plug-in are loaded; the programs the player starts find
    // their own, and choose their own platform.
    sys::restoreSearchPaths();
    platform.applicationMade();
    setDesktopIdentity(app);
    app.setQuitOnLastWindowClosed(false);
    toolkit::setFailureReporter(modGlobals::ReportError);
    // A player already running in this session takes the files and comes forward instead.
    HandedOverFiles handedOver;
    const QString instanceName = QString::fromLatin1(kDesktopId);
    if (session::claimInstance(instanceName, parsed.files, [&handedOver](const QStringList &files) {
            handedOver.take(files);
        }) == session::InstanceClaim::HandedOver)
        return 0;
    forms::frmSplash();
    // Answering the Reader question with Yes ends the start-up before any window is left.
    if (toolkit::loadedForms().empty()) {
        session::releaseInstance(instanceName);
        return 0;
    }
    // The main window's unload closes every window and then the main window itself (the close
    // box and File > Exit alike); once it is gone, the program ends.
    QObject::connect(&forms::frmMain(), &QObject::destroyed, &app,
                     [] { QCoreApplication::exit(0); });
    // The media engine's libraries load on a thread once the main window has drawn itself, so
    // that they never hold up its first picture and are there by the first click.
    mci::loadLibmpvEngineAfterFirstPaint(forms::frmMain());
    // The desktop's media controls and media keys reach the player where a session bus exists.
    desktopControls::start();
    // Files opened from the desktop (a file manager's Open With, the desktop entry): a playlist
    // replaces the list the start-up made, a video plays.
    givenFiles::open(parsed.files);
    handedOver.startUpDone();
    const int status = app.exec();
    session::releaseInstance(instanceName);
    // Nothing of the run stays behind: the carry-over file goes, and so does the screen's
    // inhibition should a video still be playing.
    pellin::removeCarryOver(pellin::carryOverPath(modGlobals::GetTempFolder()));
    sys::resetTempFolder();
    session::endSession();
    return status;
}

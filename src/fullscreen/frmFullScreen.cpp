#include "fullscreen/frmFullScreen.h"

#include "common/modGlobals.h"
#include "fullscreen/frmFullToolbar.h"
#include "player/Playback.h"
#include "player/frmMain.h"
#include "toolkit/Forms.h"
#include "toolkit/Handlers.h"
#include "toolkit/KeyCodes.h"

#include <QKeyEvent>

using namespace modGlobals;

namespace
{

constexpr int kEsc = 27;
constexpr int kCtrlT = 20;

toolkit::FormSlot<frmFullScreen> &slot()
{
    static toolkit::FormSlot<frmFullScreen> instance;
    return instance;
}

} // namespace

frmFullScreen::frmFullScreen() : toolkit::Form(QStringLiteral("frmFullScreen")), screener(client())
{
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setSkipTaskbar();
    screener.setObjectName(QStringLiteral("screener"));
    screener.setFocusPolicy(Qt::StrongFocus);
    screener.setAccessibleName(QStringLiteral("Video"));
    // The window has no caption to be named by.
    setAccessibleName(QStringLiteral("Full screen"));
    screener.installEventFilter(this);
}

void frmFullScreen::Form_Load()
{
    Trap([this] {
        // The whole screen that holds the main window, in the toolkit's full-screen state: no
        // window manager's panel or frame is left on it.
        setFullScreen(forms::frmMain());
        gKeepPlaylist = false;
    });
}

void frmFullScreen::Form_Unload(int &)
{
    Trap([] {
        ::frmMain &main = forms::frmMain();
        if (!gIntroFromFullScreen) {
            const std::int32_t position = gMCI->GetCurrentMultimediaPos();
            if (position <= gMCI->GetTotalTime())
                playback::MoveVideo(main.picVideo.hWnd(), position);
        }
        if (main.cmdPList.Tag() == QLatin1String("0"))
            main.cmdPList_Click();
    });
    // Whatever failed above, the window goes: the main window and the flags must say so, and a
    // playlist window that closes with this one keeps its rows, however full screen was left.
    gKeepPlaylist = true;
    // The main window takes the keys again: the focus must not go with this window.
    Ignore([] {
        forms::frmMain().Show();
        forms::frmMain().TakeFocus();
    });
    // A bar that was loaded again without an owner must not outlive full screen either.
    Ignore([] {
        if (forms::frmFullToolbarLoaded())
            forms::frmFullToolbar().Unload();
    });
    gFullScreen = false;
    gIntroFromFullScreen = false;
}

void frmFullScreen::Form_KeyPress(int &KeyAscii)
{
    Trap([this, KeyAscii] {
        if (KeyAscii == kEsc)
            LeaveFullScreen();
    });
}

void frmFullScreen::screener_KeyPress(int &KeyAscii)
{
    Trap([this, KeyAscii] {
        if (KeyAscii == kCtrlT)
            ShowToolbar();
        else if (KeyAscii == kEsc)
            LeaveFullScreen();
    });
}

void frmFullScreen::LeaveFullScreen()
{
    // The video plays again once it is back in the main window, so the button says so already.
    if (gMCI && gMCI->Paused())
        playback::ShowPlayingLook();
    gKeepPlaylist = true;
    Unload();
}

void frmFullScreen::ShowToolbar()
{
    // Owned again even after its close box unloaded it, so that it stays above this window and
    // closes with it.
    forms::frmFullToolbar().Show(this);
}

bool frmFullScreen::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == &screener && event->type() == QEvent::KeyPress) {
        int code = toolkit::characterCode(*static_cast<QKeyEvent *>(event));
        if (code != 0) {
            toolkit::runHandler([this, &code] { screener_KeyPress(code); });
            return true;
        }
    }
    return toolkit::Form::eventFilter(watched, event);
}

void frmFullScreen::showEvent(QShowEvent *event)
{
    toolkit::Form::showEvent(event);
    screener.setFocus();
}

namespace forms
{
::frmFullScreen &frmFullScreen()
{
    return slot()();
}

bool frmFullScreenLoaded()
{
    return slot().Loaded();
}
} // namespace forms

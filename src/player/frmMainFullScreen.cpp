// Moving the loaded video between the main window and the full-screen window.
#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "fullscreen/frmFullToolbar.h"
#include "player/Playback.h"
#include "player/frmMain.h"
#include "toolkit/Units.h"

using namespace modGlobals;

void frmMain::EnterFullScreen()
{
    // The 640 by 480 screen gets no full-screen window: moving the video into one that is never
    // shown would hide it. The video plays on here instead, as the play button already shows.
    if (gLowRes) {
        gMCI->MoveMultimedia(gMCI->GetCurrentMultimediaPos());
        return;
    }

    ::frmFullScreen &full = forms::frmFullScreen();
    // The screen the full-screen window covers, which is the one that holds the main window.
    const QRect screen = toolkit::screenTwipsOf(full);
    toolkit::PictureBox &screener = full.screener;
    screener.setTop(0);
    screener.setLeft(0);
    screener.setWidth(screen.width() - 5 * toolkit::twipsPerPixelX());
    screener.setHeight(screen.height() - 5 * toolkit::twipsPerPixelY());
    screener.setTop((screen.height() - screener.Height()) / 2);
    screener.setLeft((screen.width() - screener.Width()) / 2);

    playback::MoveVideo(screener.hWnd(), gMCI->GetCurrentMultimediaPos());

    if (!gFullScreen) {
        Hide();
        full.Show();
        forms::frmFullToolbar().Show(&full);
        gFullScreen = true;
        // The keys of full screen (Esc, Ctrl+T) belong to the full-screen window; the main window
        // that had the focus is hidden.
        full.TakeFocus();
    }
}

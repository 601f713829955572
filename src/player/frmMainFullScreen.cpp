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
    toolkit::PictureBox &screener = full.screener;
    screener.setTop(0);
    screener.setLeft(0);
    screener.setWidth(toolkit::screenWidth() - 5 * toolkit::twipsPerPixelX());
    screener.setHeight(toolkit::screenHeight() - 5 * toolkit::twipsPerPixelY());
    screener.setTop((toolkit::screenHeight() - screener.Height()) / 2);
    screener.setLeft((toolkit::screenWidth() - screener.Width()) / 2);

    playback::MoveVideo(screener.hWnd(), gMCI->GetCurrentMultimediaPos());

    if (!gFullScreen) {
        Hide();
        full.Show();
        forms::frmFullToolbar().Show(&full);
        gFullScreen = true;
    }
}

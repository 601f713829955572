// The main window's transport toolbar and position display.
#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "fullscreen/frmFullToolbar.h"
#include "player/DesktopControls.h"
#include "player/Playback.h"
#include "player/PlaybackState.h"
#include "player/VendorLinks.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "toolkit/Environment.h"

#include <cmath>

using namespace modGlobals;

namespace
{

QString positionText()
{
    const std::int32_t p = gMCI->GetCurrentMultimediaPos();
    const std::int32_t t = gMCI->GetTotalTime();
    return FormatTime(p, true) + "/" + FormatTime(t, true);
}

bool toolsBarShown()
{
    return gFullScreen && forms::frmFullToolbarLoaded();
}

} // namespace

void frmMain::tlbMain_ButtonClick(toolkit::ToolbarButton &Button)
{
    setMousePointer(11);
    Trap([&] {
        const QString &key = Button.Key();
        if (key == "play")
            playClicked();
        else if (key == "stop")
            stopClicked();
        else if (key == "forward" || key == "rewind")
            jumpClicked(key == "forward" ? PlayStep : -PlayStep);
        else if (key == "full")
            fullClicked();
        else if (key == "web")
            vendor::openWebPage(vendor::kHomePage);
    });
    Ignore([this] { setMousePointer(0); });
}

void frmMain::playClicked()
{
    if (tmrInitPlaylist.Enabled())
        tmrInitPlaylist.setEnabled(false);
    if (gMCI->LoadedFilename().empty() && !gSingleFile) {
        frmPlaylist &playlist = forms::frmPlaylist();
        if (playlist.lvPlaylist.SelectedItem())
            playlist.lvPlaylist_Click();
        return;
    }
    if (!playback::state().playing()) {
        // Only a loaded video can be resumed. The controller's pause record outlives the video
        // (a seek or a jump plays on without clearing it), so after such a video has ended and
        // been stopped, resuming would leave the device stopped and the button dead.
        if (gMCI->Paused() && !gMCI->LoadedFilename().empty()) {
            gMCI->ResumeMultimedia();
            playback::ShowPlayingLook();
        } else if (gSingleFile) {
            restartOpenedFile();
            return;
        } else {
            gMCI->PlayMultimedia("0", "0");
            playback::ShowPlayingLook();
        }
    } else {
        gMCI->PauseMultimedia();
        playback::ShowPausedLook();
    }
    playback::EnableTransport(true);
}

void frmMain::restartOpenedFile()
{
    try {
        playback::ShowTitle(mOpenedFile);
        gMCI->LoadedFilename(mOpenedFile.toStdString());
        toolkit::DoEvents();
        playback::OpenVideo(mOpenedFile, videoParent());
        toolkit::DoEvents();
        if (cmdPList.Tag() == "0")
            cmdPList_Click();
        gMCI->PlayMultimedia("0", "0");
        playback::ShowPlayingState();
        gSingleFile = true;
        ActivateWindow(gFullScreen ? forms::frmFullScreen().hWnd() : hWnd());
    } catch (const pellin::Failure &failure) {
        // The file may have gone since it was first opened.
        recoverFromOpenFailure(failure, false);
    }
}

void frmMain::stopClicked()
{
    if (gMCI->Paused())
        gMCI->ResumeMultimedia();
    gMCI->MoveMultimedia(0);
    gMCI->StopMultimedia();
    playback::ReturnToNothingLoaded();
}

void frmMain::jumpClicked(int step)
{
    if (gMCI->Paused())
        playback::ShowPlayingImage();
    const std::int32_t p = gMCI->GetCurrentMultimediaPos();
    gMCI->PlayMultimedia(std::to_string(static_cast<long long>(p) + step),
                         std::to_string(sldVideo.Max()));
    desktopControls::seeked();
}

void frmMain::fullClicked()
{
    if (gMCI->LoadedFilename().empty())
        return;
    if (cmdPList.Tag() == "0")
        cmdPList_Click();
    if (gMCI->Paused())
        playback::ShowPlayingLook();
    EnterFullScreen();
}

long long frmMain::videoParent()
{
    return gFullScreen ? forms::frmFullScreen().screener.hWnd() : picVideo.hWnd();
}

void frmMain::UpdateSlider()
{
    Ignore([this] {
        const double t = gMCI->GetTotalTime();
        const double p = gMCI->GetCurrentMultimediaPos();
        int v = 0;
        if (t != 0)
            v = static_cast<int>(std::nearbyint(sldVideo.Max() / t * p));
        if (v <= sldVideo.Max()) {
            sldVideo.setSelStart(v);
            sldVideo.setValue(v);
        }
    });
}

void frmMain::tmrMediaScroller_Timer()
{
    bool unreadable = false;
    Ignore([&] { unreadable = gMCI->ReadFailed(); });
    if (unreadable) {
        Ignore([] { playback::AbandonUnreadableVideo(); });
        return;
    }
    const bool shown = Trap([this] {
        sbStatus.Panels(2).setText(positionText());
        if (toolsBarShown())
            forms::frmFullToolbar().setCaption("Tools(Ctl-T) " + positionText());
    });
    if (!shown)
        return;
    UpdateSlider();
    Ignore([this] {
        const std::int32_t p = gMCI->GetCurrentMultimediaPos();
        const std::int32_t t = gMCI->GetTotalTime();
        if (p >= t)
            tlbMain_ButtonClick(tlbMain.Buttons("stop"));
    });
    desktopControls::publish();
}

void frmMain::sldVideo_Scroll()
{
    const bool played = Trap([this] {
        // The seek resumes playback; the tooltip and the tools bar stay as they were.
        if (gMCI->Paused())
            playback::ShowPlayingImage(playback::Mirror::MainOnly);
        tmrMediaScroller.setEnabled(false);
        gMCI->PlayMultimedia(std::to_string(sldVideo.Value()), std::to_string(sldVideo.Max()));
        sldVideo.setText(positionText());
        sbStatus.Panels(2).setText(positionText());
    });
    if (!played)
        return;
    UpdateSlider();
    tmrMediaScroller.setEnabled(true);
    desktopControls::seeked();
}

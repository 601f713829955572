// Playing the selected playlist entry.
#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "player/Playback.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "toolkit/Environment.h"
#include "toolkit/MessageBox.h"

using namespace modGlobals;

void frmPlaylist::lvPlaylist_Click()
{
    try {
        playSelected();
    } catch (const pellin::Failure &failure) {
        // A video that cannot be opened reports no length, which the slider refuses with 380.
        // Half started, the player would show a video it does not have: the student gets the
        // playlist back to choose another entry.
        playback::AbandonUnopenedVideo(failure, true);
    }
    Ignore([this] { setMousePointer(0); });
}

void frmPlaylist::lvPlaylist_DblClick()
{
    const auto selected = lvPlaylist.SelectedItem();
    if (selected && !gMCI->LoadedFilename().empty() &&
        selected->Key().toStdString() == gMCI->mstrLongFileName)
        return;
    lvPlaylist_Click();
}

void frmPlaylist::playSelected()
{
    frmMain &main = forms::frmMain();
    if (lvPlaylist.Count() > 0) {
        main.picVideo.ClearPicture();
        setMousePointer(11);
        const auto selected = lvPlaylist.SelectedItem();
        // A click with rows but none selected has nothing to play.
        if (!selected)
            return;
        const QString key = selected->Key();
        ApplyColourRule(key);
        main.sbStatus.Panels(1).setText(selected->Text());
        toolkit::DoEvents();
        const bool intro = IsIntroKey(key);
        if (intro && gFullScreen) {
            const int answer = toolkit::MsgBox(
                "Intro's may not be viewed in full screen mode.\r\n\r\nClick OK to resume in "
                "normal "
                "screen mode and view the selected intro.\r\nClick Cancel to stay in full screen "
                "mode.",
                toolkit::vbOKCancel | toolkit::vbExclamation, kAppTitle);
            if (answer != toolkit::vbOK)
                return;
            gIntroFromFullScreen = true;
            forms::frmFullScreen().Unload();
            toolkit::DoEvents();
        }
        if (intro) {
            playback::OpenVideo(key, main.picVideo.hWnd());
            toolkit::DoEvents();
            main.applyVideoLayout(true);
            playback::FitVideo(main.picVideo.hWnd());
            toolkit::DoEvents();
        } else {
            const long long parent = main.videoParent();
            playback::OpenVideo(key, parent);
            toolkit::DoEvents();
            main.applyVideoLayout(false);
            toolkit::DoEvents();
            playback::FitVideo(parent);
        }
        toolkit::DoEvents();
        if (gFullScreen && !gMCI->IsASF()) {
            main.tlbMain_ButtonClick(main.tlbMain.Buttons("full"));
            playback::ShowPlayingLook();
            playback::EnableTransport(true);
        }
        if (main.cmdPList.Tag() == "0")
            main.cmdPList_Click();
        gMCI->PlayMultimedia("0", "0");
        toolkit::DoEvents();
        playback::ShowPlayingState();
        gSingleFile = false;
    }
    ActivateWindow(gFullScreen ? forms::frmFullScreen().hWnd() : main.hWnd());
}

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

std::optional<frmPlaylist::Attempt> frmPlaylist::passEvents(std::uint64_t run, const QString &key)
{
    toolkit::DoEvents();
    if (mPlayRuns != run)
        return Attempt::Left;
    const auto selected = lvPlaylist.SelectedItem();
    if (selected && selected->Key() == key)
        return std::nullopt;
    return Attempt::Again;
}

void frmPlaylist::playSelected()
{
    // Events run at every pass of the steps below, and any of them may select another entry
    // or click one: what is played is always the entry selected after the latest pass.
    const std::uint64_t run = ++mPlayRuns;
    if (lvPlaylist.Count() > 0) {
        bool opened = false;
        Attempt attempt = Attempt::Again;
        while (attempt == Attempt::Again)
            attempt = playSelectedOnce(run, opened);
        if (attempt == Attempt::Left)
            return;
    }
    ActivateWindow(gFullScreen ? forms::frmFullScreen().hWnd() : forms::frmMain().hWnd());
}

frmPlaylist::Attempt frmPlaylist::playSelectedOnce(std::uint64_t run, bool &opened)
{
    frmMain &main = forms::frmMain();
    main.picVideo.ClearPicture();
    setMousePointer(11);
    const auto selected = lvPlaylist.SelectedItem();
    // A click with rows but none selected has nothing to play. A selection taken away while
    // this run had already opened a video leaves that video to no one: it is put away.
    if (!selected) {
        if (opened)
            playback::AbandonVideo();
        return Attempt::Left;
    }
    const QString key = selected->Key();
    ApplyColourRule(key);
    playback::ShowTitle(selected->Text());
    if (const auto end = passEvents(run, key))
        return *end;
    const bool intro = IsIntroKey(key);
    if (intro && gFullScreen) {
        const int answer = toolkit::MsgBox(
            "Intro's may not be viewed in full screen mode.\r\n\r\nClick OK to resume in "
            "normal "
            "screen mode and view the selected intro.\r\nClick Cancel to stay in full screen "
            "mode.",
            toolkit::vbOKCancel | toolkit::vbExclamation, kAppTitle);
        if (answer != toolkit::vbOK)
            return Attempt::Left;
        gIntroFromFullScreen = true;
        forms::frmFullScreen().Unload();
        if (const auto end = passEvents(run, key))
            return *end;
    }
    if (intro) {
        playback::OpenVideo(key, main.picVideo.hWnd());
        opened = true;
        if (const auto end = passEvents(run, key))
            return *end;
        main.applyVideoLayout(true);
        playback::FitVideo(main.picVideo.hWnd());
        if (const auto end = passEvents(run, key))
            return *end;
    } else {
        const long long parent = main.videoParent();
        playback::OpenVideo(key, parent);
        opened = true;
        if (const auto end = passEvents(run, key))
            return *end;
        main.applyVideoLayout(false);
        if (const auto end = passEvents(run, key))
            return *end;
        playback::FitVideo(parent);
    }
    if (const auto end = passEvents(run, key))
        return *end;
    if (gFullScreen && !gMCI->IsASF()) {
        main.tlbMain_ButtonClick(main.tlbMain.Buttons("full"));
        playback::ShowPlayingLook();
        playback::EnableTransport(true);
    }
    if (main.cmdPList.Tag() == "0")
        main.cmdPList_Click();
    gMCI->PlayMultimedia("0", "0");
    if (const auto end = passEvents(run, key))
        return *end;
    playback::ShowPlayingState();
    gSingleFile = false;
    return Attempt::Played;
}

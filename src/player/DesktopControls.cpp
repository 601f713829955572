#include "player/DesktopControls.h"

#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "player/PlaybackState.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "session/MediaControls.h"
#include "session/MediaPlayer.h"
#include "system/PathResolver.h"
#include "toolkit/Handlers.h"

#include <QFileInfo>

#include <algorithm>
#include <utility>

using namespace modGlobals;

namespace desktopControls
{
namespace
{

constexpr qint64 kMicroseconds = 1000;

std::optional<toolkit::ListItem> currentEntry()
{
    if (!forms::frmPlaylistLoaded())
        return std::nullopt;
    return forms::frmPlaylist().lvPlaylist.SelectedItem();
}

bool listHasEntries()
{
    return forms::frmPlaylistLoaded() && forms::frmPlaylist().lvPlaylist.Count() > 0;
}

bool pausedVideo()
{
    return gMCI && !gMCI->LoadedFilename().empty() &&
           forms::frmMain().tlbMain.Buttons("play").Image() == "play";
}

// A media key's Play starts what a student would: the entry chosen in the playlist, or with a
// course opened and nothing chosen yet, its first entry.
void chooseFirstEntryIfNothingChosen()
{
    toolkit::runHandler([] {
        if (!gMCI || !gMCI->LoadedFilename().empty() || gSingleFile || currentEntry() ||
            !listHasEntries())
            return;
        forms::frmPlaylist().lvPlaylist.Item(1).setSelected(true);
    });
}

session::PlayerState currentState()
{
    session::PlayerState state;
    if (!gMCI)
        return state;
    const playback::State &player = playback::state();
    const std::optional<toolkit::ListItem> entry = currentEntry();
    state.loaded = player.loaded();
    state.playing = state.loaded && player.playing();
    state.playable = state.loaded || gSingleFile || entry.has_value() || listHasEntries();
    if (entry && !gSingleFile) {
        state.hasPrevious = entry->Index() > 1;
        state.hasNext = entry->Index() < forms::frmPlaylist().lvPlaylist.Count();
    }
    state.seekable = player.seekable();
    state.rate = player.speed() / double(playback::State::kNormalSpeed);
    if (state.loaded) {
        // The player keeps its paths lower-cased; the desktop is told the file's real name.
        state.file = QString::fromStdString(sys::resolvePath(player.file().toStdString()));
        state.title = player.title();
        if (state.title.isEmpty() || state.title == state.file)
            state.title = QFileInfo(state.file).completeBaseName();
        state.lengthMs = std::max(0, player.lengthMs());
    }
    return state;
}

void press(const char *key)
{
    toolkit::runHandler([key] { forms::frmMain().tlbMain.click(key); });
}

// The entry `step` rows from the current one, played as a click on it would.
void playNeighbour(int step)
{
    toolkit::runHandler([step] {
        const std::optional<toolkit::ListItem> entry = currentEntry();
        if (!entry || gSingleFile)
            return;
        frmPlaylist &playlist = forms::frmPlaylist();
        const int index = entry->Index() + step;
        if (index < 1 || index > playlist.lvPlaylist.Count())
            return;
        playlist.lvPlaylist.Item(index).setSelected(true);
        playlist.lvPlaylist_Click();
    });
}

// Moves the slider's thumb there and lets the slider's scroll play from it. A paused video
// stays paused at the new place, as the desktop's other players keep it: the scroll plays on,
// so the play button pauses it again.
void seekTo(qint64 ms)
{
    toolkit::runHandler([ms] {
        frmMain &main = forms::frmMain();
        if (gMCI->LoadedFilename().empty())
            return;
        const bool paused = pausedVideo();
        main.sldVideo.setValue(static_cast<int>(std::clamp<qint64>(ms, 0, main.sldVideo.Max())));
        main.sldVideo_Scroll();
        if (paused && !pausedVideo())
            main.tlbMain.click("play");
    });
}

qint64 positionMs()
{
    if (!gMCI || gMCI->LoadedFilename().empty())
        return 0;
    return std::max(0, gMCI->GetCurrentMultimediaPos());
}

} // namespace

void start()
{
    session::PlayerActions actions;
    actions.raise = [] {
        toolkit::runHandler([] {
            ActivateWindow(gFullScreen ? forms::frmFullScreen().hWnd() : forms::frmMain().hWnd());
        });
    };
    actions.playPause = [] {
        chooseFirstEntryIfNothingChosen();
        press("play");
    };
    actions.play = [] {
        chooseFirstEntryIfNothingChosen();
        if (!session::mediaControls().state().playing)
            press("play");
    };
    actions.pause = [] {
        if (session::mediaControls().state().playing)
            press("play");
    };
    actions.stop = [] { press("stop"); };
    actions.next = [] { playNeighbour(1); };
    actions.previous = [] { playNeighbour(-1); };
    actions.seek = [](qint64 offset) { seekTo(positionMs() + offset / kMicroseconds); };
    actions.setPosition = [](const QString &track, qint64 position) {
        const session::MediaControls &controls = session::mediaControls();
        if (track != controls.trackId() || position < 0 ||
            position > controls.state().lengthMs * kMicroseconds)
            return;
        seekTo(position / kMicroseconds);
    };
    actions.position = [] { return positionMs() * kMicroseconds; };
    publish();
    session::startMediaPlayer(std::move(actions), QStringLiteral("Pellin Player"),
                              QStringLiteral("com.vorlund.PellinPlayer"));
}

void publish()
{
    session::mediaControls().setState(currentState());
}

void seeked()
{
    session::announceSeek(positionMs() * kMicroseconds);
}

} // namespace desktopControls

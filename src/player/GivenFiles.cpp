#include "player/GivenFiles.h"

#include "common/modGlobals.h"
#include "player/CommandLine.h"
#include "player/DesktopControls.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "toolkit/MessageBox.h"

using namespace modGlobals;
using commandLine::FileKind;

namespace givenFiles
{
namespace
{

void playAsEntry(const QString &path)
{
    frmPlaylist &playlist = forms::frmPlaylist();
    std::optional<toolkit::ListItem> entry = playlist.lvPlaylist.findKey(path.toLower());
    if (!entry)
        return;
    entry->setSelected(true);
    playlist.lvPlaylist_Click();
}

// The files sorted, the refused ones named in one box and the first playlist opened; what is
// left to do are the videos.
QStringList openPlaylistAndRefuse(const QStringList &paths)
{
    QList<commandLine::GivenFile> files = commandLine::classify(paths);
    QString playlistFile;
    QStringList videos;
    for (commandLine::GivenFile &file : files) {
        if (file.kind == FileKind::Video) {
            videos << file.path;
        } else if (file.kind == FileKind::Playlist && playlistFile.isEmpty()) {
            playlistFile = file.path;
        } else if (file.kind == FileKind::Playlist) {
            file.kind = FileKind::Refused;
            file.reason = QStringLiteral("one playlist opens at a time");
        }
    }
    const QString refusal = commandLine::refusalMessage(files);
    if (!refusal.isEmpty())
        Trap([&] {
            toolkit::MsgBox(refusal, toolkit::vbOKOnly | toolkit::vbExclamation, kAppTitle);
        });
    if (!playlistFile.isEmpty())
        Trap([&] { forms::frmPlaylist().OpenPlaylistFile(playlistFile); });
    return videos;
}

} // namespace

void open(const QStringList &paths)
{
    const QStringList videos = openPlaylistAndRefuse(paths);
    if (videos.size() == 1) {
        forms::frmMain().OpenVideoFile(videos.first());
    } else if (videos.size() > 1) {
        Trap([&] {
            forms::frmPlaylist().AddVideoFiles(videos);
            playAsEntry(videos.first());
        });
    }
    desktopControls::publish();
}

void addToPlaylist(const QStringList &paths)
{
    const QStringList videos = openPlaylistAndRefuse(paths);
    if (!videos.isEmpty())
        Trap([&] { forms::frmPlaylist().AddVideoFiles(videos); });
    desktopControls::publish();
}

} // namespace givenFiles

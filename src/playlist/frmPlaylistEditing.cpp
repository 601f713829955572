// The playlist toolbar: adding videos, removing them, a new list, saving and opening playlist
// files.
#include "common/Choosers.h"
#include "common/ListFile.h"
#include "common/MediaSearch.h"
#include "common/VideoTypes.h"
#include "common/modGlobals.h"
#include "player/DesktopControls.h"
#include "player/GivenFiles.h"
#include "player/PlaybackState.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "system/PathResolver.h"
#include "toolkit/Environment.h"
#include "toolkit/MessageBox.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <utility>

using namespace modGlobals;

namespace
{

const QString kPlaylistFilter = QStringLiteral("Vorlund Playlist (*.PEL) |*.pel|");
const QString kUnknownLength = QStringLiteral("????");
constexpr int vbDefault = 0;
constexpr int vbHourglass = 11;
// A message box naming more videos than this would not fit on the screen.
constexpr qsizetype kListedAtMost = 12;

// The pointer goes back to normal however the click ends.
class HourglassReset
{
  public:
    explicit HourglassReset(frmPlaylist &window) : mWindow(window) {}
    ~HourglassReset() { mWindow.setMousePointer(vbDefault); }
    HourglassReset(const HourglassReset &) = delete;
    HourglassReset &operator=(const HourglassReset &) = delete;

  private:
    frmPlaylist &mWindow;
};

// Holds the playing video still while videos are measured. A video the student paused, or no
// video at all, is left as it is: resuming it afterwards would start what the student stopped
// while the play button still offers to play.
class PlayingVideoPause
{
  public:
    PlayingVideoPause()
    {
        if (gMCI && playback::state().playing())
            mPaused = gMCI->PauseMultimedia() == "Success";
    }
    ~PlayingVideoPause()
    {
        if (mPaused && gMCI)
            gMCI->ResumeMultimedia();
    }
    PlayingVideoPause(const PlayingVideoPause &) = delete;
    PlayingVideoPause &operator=(const PlayingVideoPause &) = delete;

  private:
    bool mPaused = false;
};

// One measurement with the probe controller: opened under the alias "movie2" beside the playing
// "movie", and always stopped and closed again, or the next measurement could not open.
class ProbeRun
{
  public:
    ProbeRun(clsMCI &probe, const QString &path) : mProbe(probe)
    {
        mProbe.LoadedFilename(path.toStdString());
        mProbe.AliasName("movie2");
        mProbe.OpenMultimedia(forms::frmMain().videoParent());
        mProbe.PlayMultimedia("0", "1");
        toolkit::DoEvents();
    }
    ~ProbeRun()
    {
        mProbe.StopMultimedia();
        mProbe.CloseMultimedia();
    }
    ProbeRun(const ProbeRun &) = delete;
    ProbeRun &operator=(const ProbeRun &) = delete;

    QString lengthText() const { return FormatTime(mProbe.TotalTime(), true); }

  private:
    clsMCI &mProbe;
};

// The keys of the list, folded: paths are resolved ignoring letter case, so keys that differ
// only in case name one video.
QSet<QString> foldedKeys(toolkit::ListView &list)
{
    QSet<QString> keys;
    keys.reserve(list.Count());
    for (int i = 1; i <= list.Count(); ++i)
        keys.insert(list.Item(i).Key().toCaseFolded());
    return keys;
}

// Adds videos unless the list holds them already; those are named once the adding is done.
class EntryAdder
{
  public:
    explicit EntryAdder(frmPlaylist &window) : mWindow(window), mKeys(foldedKeys(window.lvPlaylist))
    {
    }

    bool alreadyListed(const QString &key, const QString &path)
    {
        if (!mKeys.contains(key.toCaseFolded()))
            return false;
        mRefused << path;
        return true;
    }

    void add(const QString &key, const QString &title, const QString &length)
    {
        mWindow.AddEntry(key, title, length);
        mKeys.insert(key.toCaseFolded());
    }

    // Adds a video with its measured length.
    void addMeasured(clsMCI &probe, const QString &path, const QString &key, const QString &title)
    {
        if (alreadyListed(key, path))
            return;
        const ProbeRun run(probe, path);
        add(key, title, run.lengthText());
    }

    void reportRefused() const
    {
        if (mRefused.isEmpty())
            return;
        QStringList shown = mRefused.mid(0, kListedAtMost);
        if (mRefused.size() > kListedAtMost)
            shown << QStringLiteral("(and %1 more)").arg(mRefused.size() - kListedAtMost);
        toolkit::MsgBox("The following video is already loaded within the playlist: \r\n\r\n" +
                            shown.join(QLatin1String("\r\n")),
                        toolkit::vbOKOnly | toolkit::vbInformation, kAppTitle);
    }

  private:
    frmPlaylist &mWindow;
    QSet<QString> mKeys;
    QStringList mRefused;
};

QString withoutLeadingBlanks(const QString &text)
{
    qsizetype at = 0;
    while (at < text.size() && text[at] == u' ')
        ++at;
    return text.mid(at);
}

// The folder part of a path, with its trailing separator; empty when there is none.
QString folderOf(const QString &path)
{
    return path.left(path.lastIndexOf(QDir::separator()) + 1);
}

void addFile(frmPlaylist &window)
{
    QString path =
        TrimNull(ShowOpenFileDialog(window.hWnd(), pellin::videoFileFilter(),
                                    QStringLiteral("Add Media File"), window.mDialogFolder));
    window.setMousePointer(vbHourglass);
    if (path.isEmpty())
        return;
    window.AddVideoFiles({path});
}

void addDirectory(frmPlaylist &window)
{
    clsMCI probe;
    const QString chosen = BrowseForFolder(
        gLastFolder, QStringLiteral("Select Directory (Only searches the selected directory):"));
    window.setMousePointer(vbHourglass);
    if (chosen.isEmpty())
        return;
    gLastFolder = chosen;
    const PlayingVideoPause pause;
    EntryAdder adder(window);
    for (const QString &pattern : pellin::videoFilePatterns()) {
        for (const QString &name : MatchingFileNames(chosen, pattern)) {
            const FoundVideo video = FoundVideoOf(chosen, name);
            adder.addMeasured(probe, video.path, video.key, video.title);
        }
    }
    adder.reportRefused();
}

void addDirectoryTree(frmPlaylist &window)
{
    const QString chosen = BrowseForFolder(
        gLastFolder,
        QStringLiteral(
            "Select Directory (Searches all subdirectories within selected directory):"));
    window.setMousePointer(vbHourglass);
    if (chosen.isEmpty())
        return;
    gLastFolder = chosen;
    EntryAdder adder(window);
    const FoundVideoSink add = [&adder](const FoundVideo &video) {
        if (!adder.alreadyListed(video.key, video.path))
            adder.add(video.key, video.title, kUnknownLength);
    };
    {
        // The walk lets no events run, so the found videos may enter the list together.
        const toolkit::ListView::Fill fill(window.lvPlaylist);
        FindFiles(chosen, {QStringLiteral("*.avi"), QStringLiteral("*.asf")}, true, add);
    }
    adder.reportRefused();
}

void removeSelected(frmPlaylist &window)
{
    if (window.lvPlaylist.Count() < 1)
        return;
    // Rows but no selection: there is nothing the student pointed at to remove.
    if (const auto selected = window.lvPlaylist.SelectedItem())
        window.lvPlaylist.Remove(selected->Index());
}

void newPlaylist(frmPlaylist &window)
{
    window.lvPlaylist.Clear();
    window.mDialogFolder.clear();
    window.mSaveFile.clear();
}

QList<pellin::ListEntry> entriesOf(toolkit::ListView &list)
{
    QList<pellin::ListEntry> entries;
    entries.reserve(list.Count());
    for (int i = 1; i <= list.Count(); ++i) {
        const toolkit::ListItem item = list.Item(i);
        entries.append({item.Key(), item.Text(), item.SubItem(1)});
    }
    return entries;
}

bool fileExists(const QString &path)
{
    return QFileInfo::exists(QString::fromStdString(sys::resolvePath(path.toStdString())));
}

void savePlaylist(frmPlaylist &window)
{
    if (window.lvPlaylist.Count() == 0)
        return;
    const QList<pellin::ListEntry> entries = entriesOf(window.lvPlaylist);
    if (!window.mSaveFile.isEmpty()) {
        try {
            pellin::writeListFile(window.mSaveFile, entries);
        } catch (const pellin::Failure &) {
            // A file that cannot be written any more (removed media): the next save asks anew.
            window.mSaveFile.clear();
            throw;
        }
        return;
    }
    QString path = TrimNull(ShowSaveFileDialog(
        window.hWnd(), kPlaylistFilter, QStringLiteral("Save Pellin Playlist"), window.mSaveFile));
    if (path.isEmpty())
        return;
    const bool addExtension = path.right(4).toLower() != QLatin1String(".pel");
    if (addExtension)
        path += QLatin1String(".pel");
    path = withoutLeadingBlanks(path);
    // The dialog asked about the name as typed, not about the one with the extension added.
    if (addExtension && fileExists(path) &&
        toolkit::MsgBox(path + " already exists.\r\nDo you want to replace it?",
                        toolkit::vbYesNo | toolkit::vbExclamation, kAppTitle) != toolkit::vbYes)
        return;
    pellin::writeListFile(path, entries);
    window.mSaveFile = path;
}

void openPlaylist(frmPlaylist &window)
{
    const QString path =
        TrimNull(ShowOpenFileDialog(window.hWnd(), kPlaylistFilter,
                                    QStringLiteral("Open Pellin Playlist"), window.mDialogFolder));
    if (path.isEmpty())
        return;
    window.OpenPlaylistFile(path);
}

} // namespace

void frmPlaylist::AddVideoFiles(const QStringList &paths)
{
    clsMCI probe;
    const PlayingVideoPause pause;
    EntryAdder adder(*this);
    for (const QString &given : paths) {
        const QString path = withoutLeadingBlanks(given);
        const QString folder = folderOf(path);
        const QString name = path.mid(folder.size());
        const qsizetype dot = name.indexOf(u'.');
        const QString title = dot < 0 ? name : name.left(dot);
        adder.addMeasured(probe, path, path.toLower(), title.toLower());
        mDialogFolder = folder;
    }
    adder.reportRefused();
}

void frmPlaylist::Form_OLEDragDrop(const QStringList &files)
{
    const HourglassReset commonEnd(*this);
    setMousePointer(vbHourglass);
    givenFiles::addToPlaylist(files);
}

void frmPlaylist::OpenPlaylistFile(const QString &path)
{
    // Read first, and only once: a file that cannot be read must not cost the student the list
    // on screen.
    pellin::ListFileContent content = pellin::readListFile(path);
    lvPlaylist.Clear();
    toolkit::DoEvents();
    AddListEntries(std::move(content.entries));
    toolkit::DoEvents();
    mDialogFolder = folderOf(path);
    if (content.problems.isEmpty())
        return;
    QStringList shown = content.problems.mid(0, kListedAtMost);
    if (content.problems.size() > kListedAtMost)
        shown << QStringLiteral("(and %1 more)").arg(content.problems.size() - kListedAtMost);
    toolkit::MsgBox("Some lines of the playlist could not be used and were left out:\r\n\r\n" +
                        shown.join(QLatin1String("\r\n")),
                    toolkit::vbOKOnly | toolkit::vbExclamation, kAppTitle);
}

void frmPlaylist::tlbPlaylist_ButtonClick(toolkit::ToolbarButton &Button)
{
    const QString key = Button.Key();
    Trap([&] {
        const HourglassReset commonEnd(*this);
        if (key == QLatin1String("file"))
            addFile(*this);
        else if (key == QLatin1String("dir_rec"))
            addDirectoryTree(*this);
        else if (key == QLatin1String("dir"))
            addDirectory(*this);
        else if (key == QLatin1String("up"))
            ListMove(-1);
        else if (key == QLatin1String("down"))
            ListMove(1);
        else if (key == QLatin1String("delete"))
            removeSelected(*this);
        else if (key == QLatin1String("new"))
            newPlaylist(*this);
        else if (key == QLatin1String("save"))
            savePlaylist(*this);
        else if (key == QLatin1String("open"))
            openPlaylist(*this);
    });
    // An emptied or filled list changes whether the desktop's Play has something to play.
    desktopControls::publish();
}

#pragma once

#include "common/ListFile.h"
#include "toolkit/Form.h"
#include "toolkit/ImageList.h"
#include "toolkit/ListView.h"
#include "toolkit/Toolbar.h"

#include <QFrame>

#include <cstdint>
#include <optional>

// The playlist window: the course's videos and the student's own, with the editing toolbar.
class frmPlaylist : public toolkit::Form
{
    Q_OBJECT
  public:
    frmPlaylist();

    void Form_Load() override;
    void Form_Unload(int &cancel) override;
    void Form_Resize() override;
    // Dropped files join the list as Add File adds them; a playlist dropped opens.
    void Form_OLEDragDrop(const QStringList &files) override;

    void InitPlaylistWindow();
    // Plays the selected entry.
    void lvPlaylist_Click();
    // A double-click plays the row unless its first click has just started it.
    void lvPlaylist_DblClick();
    // Replaces the whole list with the entries of a list file.
    void OpenPList(const QString &file);
    // Replaces the whole list with the rows carried over from the last unload; when the
    // carry-over file could not be written or read back, with the rows kept in memory, and the
    // failure is reported once.
    void OpenCarryOver();
    // Opens a playlist file chosen by the student: the list is replaced when the file can be
    // read, its dialogs start in the file's folder next time, and lines that could not be used
    // are named in one box.
    void OpenPlaylistFile(const QString &path);
    // Adds the videos as Add File adds the one chosen: measured, each once.
    void AddVideoFiles(const QStringList &paths);
    // Adds one entry at the end (or at its sorted place), giving an intro its colour.
    toolkit::ListItem AddEntry(const QString &key, const QString &title, const QString &length);
    // The small icon of every entry, one string shared by all rows.
    static const QString &EntryIcon();
    // An intro's key ends in "asf" (any case); the colour rule trims blanks first.
    static bool IsIntroKey(const QString &key, bool trimmed = false);
    // Recolours every entry (intro or normal) and then marks `currentKey` as current.
    void ApplyColourRule(const QString &currentKey);

    // Adding videos, moving, removing, a new list, saving and opening playlist files.
    void tlbPlaylist_ButtonClick(toolkit::ToolbarButton &Button);
    // Swaps the selected entry with the one `plngMoveTo` places away (-1 up, +1 down).
    void ListMove(std::int32_t plngMoveTo);
    // Sorts by the clicked column (1-based), flipping the order on every click.
    void lvPlaylist_ColumnClick(int columnIndex);

    // Initial folder of the "Add Media File" and "Open Pellin Playlist" dialogs.
    QString mDialogFolder;
    // The file the list was last saved to: "save" rewrites it without asking.
    QString mSaveFile;

    static constexpr std::uint32_t kNormalColour = 0x00FFFFFF;
    static constexpr std::uint32_t kIntroColour = 0x8000000B;
    static constexpr std::uint32_t kCurrentColour = 0x0000FFFF;
    static constexpr std::uint32_t kListBackColour = 0x00400000;

    toolkit::ImageList imlToolbar;
    QFrame fratlbContainer;
    toolkit::Toolbar tlbPlaylist;
    toolkit::ListView lvPlaylist;

  private:
    // How one attempt at the selected entry ends: played, to be made again for the entry
    // selected now, or left (to a newer run, a Cancel, or nothing selected).
    enum class Attempt { Played, Again, Left };

    void playSelected();
    Attempt playSelectedOnce(std::uint64_t run, bool &opened);
    // Lets the pending events run, then reads the selected entry again. A click delivered
    // inside the pass has started a newer run, which supersedes this one; a selection moved to
    // another entry (or to none) means `key` is no longer what the student chose. Answers how
    // the attempt ends in those cases, nothing when it goes on with `key`.
    std::optional<Attempt> passEvents(std::uint64_t run, const QString &key);

    // Counts the runs of playSelected, so that a run resumed after a pass knows whether a newer
    // one started inside it.
    std::uint64_t mPlayRuns = 0;
    // Adds list file entries in one fill, at the end or, while the list is sorted, each at its
    // sorted place; intros in their colour.
    void AddListEntries(QList<pellin::ListEntry> entries);
};

namespace forms
{
// The one playlist window, created and loaded on first use.
::frmPlaylist &frmPlaylist();
// Whether it exists now; asking this never creates it.
bool frmPlaylistLoaded();
} // namespace forms

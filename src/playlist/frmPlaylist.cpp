#include "playlist/frmPlaylist.h"

#include "common/Choosers.h"
#include "common/ListFile.h"
#include "common/PathFields.h"
#include "common/Progress.h"
#include "common/modGlobals.h"
#include "player/TransportKeys.h"
#include "toolkit/Environment.h"
#include "toolkit/Forms.h"
#include "toolkit/Units.h"

#include <QFile>
#include <QHeaderView>
#include <QStyle>

using namespace modGlobals;

namespace
{

constexpr int kDesignClientWidth = 4515;
constexpr int kDesignClientHeight = 6030;
constexpr int kToolbarStrip = 420;
// From this many entries on, filling the list tells its progress.
constexpr qint64 kProgressRows = 50000;

toolkit::FormSlot<frmPlaylist> &playlistSlot()
{
    static toolkit::FormSlot<frmPlaylist> slot;
    return slot;
}

long long loadedPlaylistWindow()
{
    return forms::frmPlaylistLoaded() ? forms::frmPlaylist().hWnd() : 0;
}

} // namespace

frmPlaylist::frmPlaylist()
    : toolkit::Form(QStringLiteral("frmPlaylist")), fratlbContainer(client()),
      tlbPlaylist(&fratlbContainer), lvPlaylist(client())
{
    setCaption(QStringLiteral("Pellin Playlist"));
    setTakesFileDrops();
    imlToolbar.add("file", "video-x-generic", QStyle::SP_FileIcon);
    imlToolbar.add("dir", "folder-new", QStyle::SP_DirIcon);
    imlToolbar.add("dir_rec", "folder-open", QStyle::SP_DirOpenIcon);
    imlToolbar.add("up", "go-up", QStyle::SP_ArrowUp);
    imlToolbar.add("down", "go-down", QStyle::SP_ArrowDown);
    imlToolbar.add("delete", "edit-delete", QStyle::SP_TrashIcon);
    imlToolbar.add("new", "document-new", QStyle::SP_FileDialogNewFolder);
    imlToolbar.add("open", "document-open", QStyle::SP_DialogOpenButton);
    imlToolbar.add("save", "document-save", QStyle::SP_DialogSaveButton);
    tlbPlaylist.setImageList(&imlToolbar);
    tlbPlaylist.setButtonsTakeFocus(true);
    tlbPlaylist.setAccessibleName(QStringLiteral("Playlist tools"));
    tlbPlaylist.addButton("file", "file", "Add file");
    tlbPlaylist.addButton("dir", "dir", "Add directory");
    tlbPlaylist.addButton("dir_rec", "dir_rec", "Add directory and all subdirectories");
    tlbPlaylist.addButton("up", "up", "Move up playlist");
    tlbPlaylist.addButton("down", "down", "Move down playlist");
    tlbPlaylist.addButton("delete", "delete", "Remove from playlist");
    tlbPlaylist.addButton("new", "new", "New playlist");
    tlbPlaylist.addButton("open", "open", "Open playlist");
    tlbPlaylist.addButton("save", "save", "Save playlist");

    lvPlaylist.setSmallIcons(&imlToolbar);
    QFont small(QStringLiteral("Small Fonts"));
    small.setPointSizeF(6.75);
    small.setWeight(QFont::Normal);
    lvPlaylist.setFont(small);
    lvPlaylist.setForeColor(kNormalColour);
    // The colour rule: intros in the intro colour, every other entry in the normal colour.
    lvPlaylist.setColorRule(
        [](const QString &key) { return IsIntroKey(key, true) ? kIntroColour : kNormalColour; });
    lvPlaylist.onClick([this] { lvPlaylist_Click(); });
    lvPlaylist.onEnter([this] { lvPlaylist_Click(); });
    lvPlaylist.onDblClick([this] { lvPlaylist_DblClick(); });
    lvPlaylist.setAccessibleName(QStringLiteral("Playlist"));
    lvPlaylist.header()->setAccessibleName(QStringLiteral("Playlist columns"));
    transportKeys::bind(*this);
    lvPlaylist.onColumnClick([this](int column) { lvPlaylist_ColumnClick(column); });
    tlbPlaylist.onButtonClick(
        [this](toolkit::ToolbarButton &button) { tlbPlaylist_ButtonClick(button); });
    // The folder browser of the "dir" buttons is owned by this window while it is loaded.
    setFolderBrowserOwner(loadedPlaylistWindow);

    setClientSize(kDesignClientWidth, kDesignClientHeight);
}

void frmPlaylist::Form_Load()
{
    Trap([this] {
        lvPlaylist.setBackColor(kListBackColour);
        setLeft((toolkit::screenWidth() - Width()) / 2);
        setTop((toolkit::screenHeight() - Height()) / 2);
        // The playlist is hidden through the main window, never closed by the student.
        setCloseBox(false);
        InitPlaylistWindow();
    });
}

void frmPlaylist::Form_Resize()
{
    Ignore([this] {
        fratlbContainer.setGeometry(0, 0, toolkit::toPixelsX(ScaleWidth()),
                                    toolkit::toPixelsY(kToolbarStrip));
        tlbPlaylist.setGeometry(fratlbContainer.rect());
        lvPlaylist.Move(0, kToolbarStrip, ScaleWidth(), ScaleHeight() - kToolbarStrip);
    });
}

void frmPlaylist::InitPlaylistWindow()
{
    Trap([this] {
        lvPlaylist.clearColumns();
        lvPlaylist.addColumn("Name", 3590);
        lvPlaylist.addColumn("Length", 600);
        if (!gKeepPlaylist)
            return;
        OpenCarryOver();
        toolkit::DoEvents();
        Ignore([this] {
            if (auto item = lvPlaylist.findKey(gSelectedKey)) {
                item->setSelected(true);
                item->setForeColor(kCurrentColour);
            }
        });
    });
}

void frmPlaylist::Form_Unload(int &)
{
    if (!gKeepPlaylist)
        return;
    const QString path = pellin::carryOverPath(GetTempFolder());
    Ignore([&] { QFile::remove(path); });
    Ignore([this] {
        if (auto selected = lvPlaylist.SelectedItem())
            gSelectedKey = selected->Key();
    });
    Ignore([&] {
        QList<pellin::ListEntry> entries;
        entries.reserve(lvPlaylist.Count());
        for (int i = 1; i <= lvPlaylist.Count(); ++i) {
            const toolkit::ListItem item = lvPlaylist.Item(i);
            entries.append({item.Key(), item.Text(), item.SubItem(1)});
        }
        // A file that cannot be written keeps the rows in memory; the next load says so.
        pellin::saveCarryOver(path, entries);
    });
    Ignore([] { toolkit::DoEvents(); });
}

void frmPlaylist::OpenCarryOver()
{
    pellin::CarriedRows carried = pellin::readCarryOver(pellin::carryOverPath(GetTempFolder()));
    lvPlaylist.Clear();
    toolkit::DoEvents();
    AddListEntries(std::move(carried.entries));
    toolkit::DoEvents();
    if (carried.failure)
        ReportError(carried.failure->number(),
                    QString::fromStdString(carried.failure->description()));
}

void frmPlaylist::OpenPList(const QString &file)
{
    lvPlaylist.Clear();
    toolkit::DoEvents();
    // A file that cannot be read leaves the emptied list; the failure goes to the caller's report.
    AddListEntries(pellin::readListFile(file).entries);
    toolkit::DoEvents();
}

void frmPlaylist::AddListEntries(QList<pellin::ListEntry> entries)
{
    const toolkit::ListView::Fill fill(lvPlaylist, entries.size());
    pellin::ProgressSteps progress(QStringLiteral("Listing the videos"), entries.size(),
                                   kProgressRows);
    qint64 done = 0;
    for (pellin::ListEntry &entry : entries) {
        progress.at(++done);
        const bool intro = IsIntroKey(entry.key, false);
        toolkit::ListItem item =
            lvPlaylist.Add(std::move(entry.key), std::move(entry.title), EntryIcon());
        item.setSubItem(1, std::move(entry.length));
        if (intro)
            item.setForeColor(kIntroColour);
    }
}

toolkit::ListItem frmPlaylist::AddEntry(const QString &key, const QString &title,
                                        const QString &length)
{
    toolkit::ListItem item = lvPlaylist.Add(key, title, EntryIcon());
    item.setSubItem(1, length);
    if (IsIntroKey(key, true))
        item.setForeColor(kIntroColour);
    return item;
}

const QString &frmPlaylist::EntryIcon()
{
    static const QString icon = QStringLiteral("file");
    return icon;
}

bool frmPlaylist::IsIntroKey(const QString &key, bool trimmed)
{
    QStringView last = QStringView(key).right(3);
    if (trimmed)
        last = last.trimmed();
    return last.compare(QLatin1String("asf"), Qt::CaseInsensitive) == 0;
}

void frmPlaylist::ApplyColourRule(const QString &currentKey)
{
    // The list knows which entries are shown in another colour than the rule's, so the pass
    // writes only those, however long the list is.
    lvPlaylist.applyColorRule();
    if (auto current = lvPlaylist.findKey(currentKey))
        current->setForeColor(kCurrentColour);
}

namespace forms
{
::frmPlaylist &frmPlaylist()
{
    return playlistSlot()();
}

bool frmPlaylistLoaded()
{
    return playlistSlot().Loaded();
}
} // namespace forms

#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// The desktop's modal choosers: a file to open, a file name to save under, a folder. Each returns
// the chosen path, or the empty string when the user cancels.
namespace modGlobals
{

// Filters are pairs of display text and pattern list, each ended by "|", for example
// "Video Files (*.MPG;*.MPEG;*.AVI;*.ASF) |*.mpg;*.mpeg;*.avi;*.asf|".
QString ShowOpenFileDialog(long long ownerHwnd, const QString &filter, const QString &title,
                           const QString &initialFolder);
// Asks before replacing an existing file.
QString ShowSaveFileDialog(long long ownerHwnd, const QString &filter, const QString &title,
                           const QString &initialFolder);
// Owned by the playlist window while it is loaded (see setFolderBrowserOwner); starts with
// `initialFolder` selected. The folder comes back without a trailing separator, except for the
// root.
QString BrowseForFolder(const QString &initialFolder, const QString &title);

// The filter text turned into Qt's name filters, one per pair. A filter without its closing "|"
// gives the same pairs. Patterns match regardless of letter case, as the course data expects.
QStringList NameFiltersOf(const QString &filter);

enum class ChooserKind { OpenFile, SaveFile, Folder };

struct ChooserCall {
    ChooserKind kind = ChooserKind::OpenFile;
    long long owner = 0; // 0 for the folder browser without a loaded playlist window
    QString filter;      // as the caller gave it; empty for the folder browser
    QString title;
    QString initialFolder;
};

// The windows library tells where the folder browser's owner is: a lookup that gives the playlist
// window's handle while it is loaded and 0 otherwise. Without one the browser has no owner.
void setFolderBrowserOwner(std::function<long long()> lookup);

// Test seam: answer every chooser from `answer` instead of showing it (an empty answer is a
// cancel). An empty function restores the real choosers.
void setChooserHandler(std::function<QString(const ChooserCall &)> answer);

} // namespace modGlobals

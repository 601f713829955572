#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Finding the video files of a folder or a folder tree. The walk knows nothing of windows: each
// file found goes to a function of the caller, which adds it to the playlist.
namespace modGlobals
{

// One matching file, with the playlist fields made from it.
struct FoundVideo {
    QString path;  // the folder with its trailing separator, then the file name, as found
    QString key;   // path in lower case
    QString title; // the name up to its first ".", lower case (the whole name without a ".")
    bool intro{};  // an ASF video
};

using FoundVideoSink = std::function<void(const FoundVideo &)>;

// The search request, passed through the whole walk.
struct SearchRequest {
    bool recurse{};
    QString folder; // the folder being searched, overwritten as the walk descends
    QStringList patterns;
};

// Walks `folder` (and, with `recurse`, its subfolders, depth-first, each folder's own files
// first) and hands every ordinary file that matches a pattern to `add`: all the files of the
// first pattern in the order the platform lists them, then all those of the next, as one walk
// per pattern would. Each folder is read once for all the patterns. Folders that cannot be read
// are skipped; a folder reached a second time through a symbolic link is not walked again;
// folders whose names begin with "." are not entered.
void FindFiles(const QString &folder, const QStringList &patterns, bool recurse,
               const FoundVideoSink &add);
// The same for one pattern.
void FindFiles(const QString &folder, const QString &pattern, bool recurse,
               const FoundVideoSink &add);

// The names of the ordinary files of one folder that match `pattern`, in the platform's order;
// hidden files (names beginning with ".") and folders are left out.
QStringList MatchingFileNames(const QString &folder, const QString &pattern);

// The playlist fields of a file `name` in the folder `folder`.
FoundVideo FoundVideoOf(const QString &folder, const QString &name);

} // namespace modGlobals

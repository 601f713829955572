#include "common/MediaSearch.h"

#include "common/Helpers.h"
#include "system/FileEnumeration.h"
#include "system/PathResolver.h"

#include <set>
#include <utility>

namespace modGlobals
{

namespace
{

// What one walk collects: the files of each pattern in walk order, and the folders seen, by
// identity, so that a link back up the tree ends the descent.
struct Walk {
    std::vector<sys::FilePattern> patterns;
    std::vector<std::vector<FoundVideo>> found;
    std::set<std::pair<std::uint64_t, std::uint64_t>> visited;
};

// The folder's own matching files, taken from its listing: one pass over the folder serves
// every pattern and the subfolders.
void AddMatchingFiles(const QString &dir, const std::vector<sys::FoundFile> &entries, Walk &walk)
{
    for (const sys::FoundFile &entry : entries) {
        if (entry.isFolder || entry.name.front() == '.')
            continue;
        QString name;
        for (std::size_t p = 0; p < walk.patterns.size(); ++p) {
            if (!walk.patterns[p].matches(entry.name))
                continue;
            if (name.isEmpty())
                name = QString::fromStdString(entry.name);
            walk.found[p].push_back(FoundVideoOf(dir, name));
        }
    }
}

// `diskFolder` is where the request's folder is on disk: the chosen folder found ignoring
// letter case, then the names as listed.
void SearchFolder(SearchRequest &request, const std::string &diskFolder, Walk &walk)
{
    const QString dir = AddBackslash(request.folder);
    const sys::FolderListing listing = sys::listFolder(diskFolder);
    if (!listing.opened || listing.entries.empty())
        return;
    if (!walk.visited.insert({listing.device, listing.inode}).second)
        return;
    AddMatchingFiles(dir, listing.entries, walk);
    if (!request.recurse)
        return;
    const std::string diskDir = diskFolder.back() == '/' ? diskFolder : diskFolder + '/';
    for (const sys::FoundFile &entry : listing.entries) {
        if (!entry.isFolder || entry.name.front() == '.')
            continue;
        const QString name = TrimNull(QString::fromStdString(entry.name));
        request.folder = dir + name;
        SearchFolder(request, diskDir + name.toStdString(), walk);
    }
}

} // namespace

void FindFiles(const QString &folder, const QStringList &patterns, bool recurse,
               const FoundVideoSink &add)
{
    if (folder.isEmpty())
        return;
    SearchRequest request{recurse, folder, patterns};
    Walk walk;
    for (const QString &pattern : request.patterns)
        walk.patterns.emplace_back(pattern.toStdString());
    walk.found.resize(walk.patterns.size());
    SearchFolder(request, sys::resolvePath(AddBackslash(folder).toStdString()), walk);
    for (const std::vector<FoundVideo> &found : walk.found)
        for (const FoundVideo &video : found)
            add(video);
}

void FindFiles(const QString &folder, const QString &pattern, bool recurse,
               const FoundVideoSink &add)
{
    FindFiles(folder, QStringList{pattern}, recurse, add);
}

QStringList MatchingFileNames(const QString &folder, const QString &pattern)
{
    QStringList names;
    for (const sys::FoundFile &file : sys::findFiles(folder.toStdString(), pattern.toStdString())) {
        const QString name = QString::fromStdString(file.name);
        if (!file.isFolder && !name.startsWith(u'.'))
            names << name;
    }
    return names;
}

FoundVideo FoundVideoOf(const QString &folder, const QString &name)
{
    FoundVideo video;
    video.path = AddBackslash(folder) + name;
    video.key = video.path.toLower();
    const qsizetype dot = name.indexOf(u'.');
    video.title = (dot < 0 ? name : name.left(dot)).toLower();
    video.intro = name.endsWith(QLatin1String(".asf"), Qt::CaseInsensitive);
    return video;
}

} // namespace modGlobals

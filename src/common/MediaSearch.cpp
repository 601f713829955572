#include "common/MediaSearch.h"

#include "common/Helpers.h"
#include "system/FileEnumeration.h"
#include "system/PathResolver.h"

#include <QFileInfo>
#include <QSet>

namespace modGlobals
{

namespace
{

// Identifies a folder however it was reached, so that a link back up the tree ends the descent.
QString folderIdentity(const QString &folder)
{
    const QString resolved = QString::fromStdString(sys::resolvePath(folder.toStdString()));
    const QString canonical = QFileInfo(resolved).canonicalFilePath();
    return canonical.isEmpty() ? resolved : canonical;
}

// The folder's own matching files, taken from its listing: one pass over the folder serves
// both the files and the subfolders.
void AddMatchingFiles(const SearchRequest &request, const std::vector<sys::FoundFile> &entries,
                      const FoundVideoSink &add)
{
    const std::string pattern = request.pattern.toStdString();
    for (const sys::FoundFile &entry : entries) {
        const QString name = QString::fromStdString(entry.name);
        if (!entry.isFolder && !name.startsWith(u'.') && sys::matchesPattern(entry.name, pattern))
            add(FoundVideoOf(request.folder, name));
    }
}

void SearchFolder(SearchRequest &request, const FoundVideoSink &add, QSet<QString> &visited)
{
    const QString dir = AddBackslash(request.folder);
    const QString identity = folderIdentity(dir);
    if (visited.contains(identity))
        return;
    visited.insert(identity);
    const std::vector<sys::FoundFile> entries = sys::findFiles(dir.toStdString(), "*.*");
    if (entries.empty())
        return;
    AddMatchingFiles(request, entries, add);
    if (!request.recurse)
        return;
    for (const sys::FoundFile &entry : entries) {
        const QString name = TrimNull(QString::fromStdString(entry.name));
        if (!entry.isFolder || name.startsWith(u'.'))
            continue;
        request.folder = dir + name;
        SearchFolder(request, add, visited);
    }
}

} // namespace

void FindFiles(const QString &folder, const QString &pattern, bool recurse,
               const FoundVideoSink &add)
{
    if (folder.isEmpty())
        return;
    SearchRequest request{recurse, folder, pattern};
    QSet<QString> visited;
    SearchFolder(request, add, visited);
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

#include "system/FileEnumeration.h"

#include "system/PathResolver.h"

#include <QString>

#include <dirent.h>
#include <sys/stat.h>

#include <memory>

namespace sys
{

namespace
{

bool wildcardMatch(const QString &name, const QString &pattern)
{
    qsizetype n = 0;
    qsizetype p = 0;
    qsizetype starAt = -1;
    qsizetype nameAtStar = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starAt = p++;
            nameAtStar = n;
        } else if (starAt >= 0) {
            p = starAt + 1;
            n = ++nameAtStar;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*')
        ++p;
    return p == pattern.size();
}

struct DirCloser {
    void operator()(DIR *dir) const { closedir(dir); }
};

} // namespace

bool matchesPattern(const std::string &name, const std::string &pattern)
{
    const QString folded = QString::fromStdString(name).toCaseFolded();
    const QString wanted = QString::fromStdString(pattern).toCaseFolded();
    if (wildcardMatch(folded, wanted))
        return true;
    // A trailing ".*" also accepts a name without any extension ("*.*" lists everything).
    return wanted.endsWith(QLatin1String(".*")) && wildcardMatch(folded, wanted.chopped(2));
}

std::vector<FoundFile> findFiles(const std::string &folder, const std::string &pattern)
{
    std::vector<FoundFile> found;
    std::string dirPath = resolvePath(folder.empty() ? "." : folder);
    const std::unique_ptr<DIR, DirCloser> dir(opendir(dirPath.c_str()));
    if (!dir)
        return found;
    if (dirPath.back() != '/')
        dirPath += '/';

    while (const dirent *entry = readdir(dir.get())) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." || !matchesPattern(name, pattern))
            continue;
        const std::string full = dirPath + name;
        struct stat linkInfo {};
        struct stat targetInfo {};
        const bool isLink = lstat(full.c_str(), &linkInfo) == 0 && S_ISLNK(linkInfo.st_mode);
        const bool isFolder = stat(full.c_str(), &targetInfo) == 0 && S_ISDIR(targetInfo.st_mode);
        found.push_back({name, isFolder, isLink});
    }
    return found;
}

} // namespace sys

#include "system/FileEnumeration.h"

#include "system/PathResolver.h"

#include <QString>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

namespace sys
{

namespace
{

// "*" matches any run of characters and "?" any one, backtracking to the last "*". The pattern
// is folded already; `fold` folds each character of the name.
template <class Text, class Fold>
bool wildcardMatch(const Text &name, const Text &pattern, Fold fold)
{
    using Char = typename Text::value_type;
    const Char any = Char(u'?');
    const Char star = Char(u'*');
    std::size_t n = 0;
    std::size_t p = 0;
    std::size_t starAt = 0;
    bool starSeen = false;
    std::size_t nameAtStar = 0;
    const auto nameSize = std::size_t(name.size());
    const auto patternSize = std::size_t(pattern.size());
    while (n < nameSize) {
        if (p < patternSize && (pattern[p] == any || pattern[p] == fold(name[n]))) {
            ++n;
            ++p;
        } else if (p < patternSize && pattern[p] == star) {
            starAt = p++;
            starSeen = true;
            nameAtStar = n;
        } else if (starSeen) {
            p = starAt + 1;
            n = ++nameAtStar;
        } else {
            return false;
        }
    }
    while (p < patternSize && pattern[p] == star)
        ++p;
    return p == patternSize;
}

// A trailing ".*" also accepts a name without any extension ("*.*" lists everything).
template <class Text, class Fold>
bool patternMatch(const Text &name, const Text &pattern, Fold fold)
{
    if (wildcardMatch(name, pattern, fold))
        return true;
    const std::size_t size = std::size_t(pattern.size());
    return size >= 2 && pattern[size - 2] == typename Text::value_type(u'.') &&
           pattern[size - 1] == typename Text::value_type(u'*') &&
           wildcardMatch(name, Text(pattern.data(), pattern.size() - 2), fold);
}

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// For plain ASCII, folding letter case changes A to Z and nothing else.
char foldAscii(char c)
{
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

struct DirCloser {
    void operator()(DIR *dir) const { closedir(dir); }
};

bool isDotOrDotDot(const char *name)
{
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The type of an entry the folder did not tell: whether it is a link, and where it leads.
void lookUpType(int folder, FoundFile &found)
{
    struct stat info {};
    if (fstatat(folder, found.name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return;
    found.isLink = S_ISLNK(info.st_mode);
    if (!found.isLink) {
        found.isFolder = S_ISDIR(info.st_mode);
        return;
    }
    struct stat target {};
    found.isFolder =
        fstatat(folder, found.name.c_str(), &target, 0) == 0 && S_ISDIR(target.st_mode);
}

} // namespace

FilePattern::FilePattern(std::string pattern) : mPattern(std::move(pattern))
{
    mAscii = isAscii(mPattern);
    if (mAscii) {
        mAsciiFolded = mPattern;
        std::transform(mAsciiFolded.begin(), mAsciiFolded.end(), mAsciiFolded.begin(), foldAscii);
    }
}

bool FilePattern::matches(std::string_view name) const
{
    if (mAscii && isAscii(name))
        return patternMatch(name, std::string_view(mAsciiFolded), foldAscii);
    // Beyond ASCII, folding may change a character into another one, even into ASCII.
    const QString folded = QString::fromUtf8(name.data(), qsizetype(name.size())).toCaseFolded();
    const QString wanted = QString::fromStdString(mPattern).toCaseFolded();
    return patternMatch(QStringView(folded), QStringView(wanted), [](QChar c) { return c; });
}

bool matchesPattern(const std::string &name, const std::string &pattern)
{
    return FilePattern(pattern).matches(name);
}

FolderListing listFolder(const std::string &folder)
{
    FolderListing listing;
    const std::unique_ptr<DIR, DirCloser> dir(opendir(folder.empty() ? "." : folder.c_str()));
    struct stat self {};
    if (!dir || fstat(dirfd(dir.get()), &self) != 0)
        return listing;
    listing.opened = true;
    listing.device = std::uint64_t(self.st_dev);
    listing.inode = std::uint64_t(self.st_ino);
    while (const dirent *entry = readdir(dir.get())) {
        if (isDotOrDotDot(entry->d_name))
            continue;
        FoundFile found{entry->d_name, entry->d_type == DT_DIR, entry->d_type == DT_LNK};
        if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN)
            lookUpType(dirfd(dir.get()), found);
        listing.entries.push_back(std::move(found));
    }
    return listing;
}

std::vector<FoundFile> findFiles(const std::string &folder, const std::string &pattern)
{
    FolderListing listing = listFolder(resolvePath(folder.empty() ? "." : folder));
    const FilePattern wanted(pattern);
    std::erase_if(listing.entries,
                  [&wanted](const FoundFile &file) { return !wanted.matches(file.name); });
    return std::move(listing.entries);
}

} // namespace sys

#include "system/RuntimeCache.h"

#include "system/Sha256.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace sys
{
namespace
{

// The list is small; anything larger is not a list of ours.
constexpr std::streamsize kManifestLimit = 1 << 20;

bool isHex(const std::string &text, std::size_t length)
{
    return text.size() == length && text.find_first_not_of("0123456789abcdef") == std::string::npos;
}

// A path below the bundle: relative, without empty, "." or ".." parts.
bool isInsidePath(const std::string &path)
{
    if (path.empty() || path.front() == '/')
        return false;
    std::istringstream parts(path);
    std::string part;
    while (std::getline(parts, part, '/'))
        if (part.empty() || part == "." || part == "..")
            return false;
    return path.back() != '/';
}

std::optional<struct stat> linkStatus(const std::string &path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return std::nullopt;
    return status;
}

std::int64_t changeTime(const struct stat &status)
{
    return std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
}

} // namespace

std::optional<RuntimeManifest> readRuntimeManifest(const std::string &bundleFolder)
{
    std::ifstream file(bundleFolder + '/' + kRuntimeManifestName, std::ios::binary);
    std::string text(std::size_t(kManifestLimit) + 1, '\0');
    file.read(text.data(), kManifestLimit + 1);
    if (file.bad() || file.gcount() == 0 || file.gcount() > kManifestLimit)
        return std::nullopt;
    text.resize(std::size_t(file.gcount()));
    RuntimeManifest manifest;
    manifest.hash = Sha256::of(text);
    std::istringstream lines(text);
    std::string line;
    std::set<std::string> seen;
    while (std::getline(lines, line)) {
        if (line.empty())
            continue;
        std::istringstream fields(line);
        RuntimeFile entry;
        if (!(fields >> entry.sha256 >> entry.size) || entry.size < 0 || !isHex(entry.sha256, 64))
            return std::nullopt;
        fields.get(); // the blank before the path, which may hold blanks of its own
        std::getline(fields, entry.path);
        if (!isInsidePath(entry.path) || !seen.insert(entry.path).second)
            return std::nullopt;
        manifest.totalSize += entry.size;
        manifest.files.push_back(std::move(entry));
    }
    if (manifest.files.empty())
        return std::nullopt;
    return manifest;
}

std::string runtimeCacheRoot()
{
    const char *cache = std::getenv("XDG_CACHE_HOME");
    if (cache && cache[0] == '/')
        return std::string(cache) + "/pellin-runtime";
    const char *home = std::getenv("HOME");
    if (home && home[0] == '/')
        return std::string(home) + "/.cache/pellin-runtime";
    return {};
}

bool isPrivateFolder(const std::string &folder)
{
    const std::optional<struct stat> status = linkStatus(folder);
    return status && S_ISDIR(status->st_mode) && status->st_uid == ::geteuid() &&
           (status->st_mode & 077) == 0;
}

bool isWholeRuntime(const std::string &folder, const RuntimeManifest &manifest)
{
    if (!isPrivateFolder(folder))
        return false;
    std::ifstream stampFile(folder + '/' + kRuntimeStampName);
    std::map<std::string, std::pair<std::int64_t, std::int64_t>> stamp;
    std::int64_t size = 0;
    std::int64_t time = 0;
    std::string path;
    while (stampFile >> size >> time && stampFile.get() == ' ' && std::getline(stampFile, path))
        stamp[path] = {size, time};
    if (stamp.size() != manifest.files.size())
        return false;
    std::set<std::string> folders;
    for (const RuntimeFile &file : manifest.files) {
        const auto recorded = stamp.find(file.path);
        const std::optional<struct stat> status = linkStatus(folder + '/' + file.path);
        if (recorded == stamp.end() || !status || !S_ISREG(status->st_mode) ||
            status->st_size != file.size || recorded->second.first != file.size ||
            recorded->second.second != changeTime(*status))
            return false;
        for (std::size_t slash = file.path.find('/'); slash != std::string::npos;
             slash = file.path.find('/', slash + 1))
            folders.insert(file.path.substr(0, slash));
    }
    // lstat follows the links of a path's folders, so each folder is checked on its own.
    for (const std::string &sub : folders)
        if (!isPrivateFolder(folder + '/' + sub))
            return false;
    return true;
}

std::string installedRuntime(const std::string &bundleFolder)
{
    const std::optional<RuntimeManifest> manifest = readRuntimeManifest(bundleFolder);
    const std::string root = runtimeCacheRoot();
    if (!manifest || root.empty() || !isPrivateFolder(root))
        return {};
    const std::string folder = root + '/' + manifest->hash;
    return isWholeRuntime(folder, *manifest) ? folder : std::string();
}

namespace
{

// Each search path with the folder below the copy it names. What was there before is kept in
// PELLIN_BEFORE_<name>: "-" when it was not set, else "+" and its value.
const std::pair<const char *, const char *> kSearchPaths[] = {
    {"LD_LIBRARY_PATH", "/lib"},
};

constexpr char kChosenName[] = "PELLIN_RUNTIME_CHOSEN";

std::string beforeName(const char *name)
{
    return std::string("PELLIN_BEFORE_") + name;
}

} // namespace

void pointSearchPathsAt(const std::string &folder)
{
    for (const auto &[name, below] : kSearchPaths) {
        const char *before = std::getenv(name);
        std::string value = folder + below;
        if (before && before[0] != '\0')
            value += ':' + std::string(before);
        ::setenv(beforeName(name).c_str(), before ? ('+' + std::string(before)).c_str() : "-", 1);
        ::setenv(name, value.c_str(), 1);
    }
}

void restoreSearchPaths()
{
    ::unsetenv(kChosenName);
    for (const auto &[name, below] : kSearchPaths) {
        const std::string marker = beforeName(name);
        const char *before = std::getenv(marker.c_str());
        if (!before)
            continue;
        if (before[0] == '+')
            ::setenv(name, before + 1, 1);
        else
            ::unsetenv(name);
        ::unsetenv(marker.c_str());
    }
}

bool isRuntimeChosen()
{
    return std::getenv(kChosenName) != nullptr;
}

void markRuntimeChosen()
{
    ::setenv(kChosenName, "1", 1);
}

} // namespace sys

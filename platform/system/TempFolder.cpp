#include "system/TempFolder.h"

#include <QDir>

#include <cerrno>
#include <cstdlib>
#include <optional>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace sys
{
namespace
{

struct Chosen {
    std::optional<std::string> folder;
    // A folder made with a unique name for this process alone, removed again on reset.
    std::string fresh;
};

Chosen &chosen()
{
    static Chosen state;
    return state;
}

std::string withoutTrailingSeparators(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// A folder itself (not a link to one), owned by this user, that nobody else may enter.
bool isPrivateFolder(const std::string &path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode) &&
           status.st_uid == ::geteuid() && (status.st_mode & 07777) == 0700;
}

std::optional<std::string> runtimeFolder()
{
    const char *runtime = std::getenv("XDG_RUNTIME_DIR");
    if (!runtime || runtime[0] != '/')
        return std::nullopt;
    const std::string folder = withoutTrailingSeparators(runtime);
    if (!isPrivateFolder(folder))
        return std::nullopt;
    return folder;
}

std::optional<std::string> freshFolder(const std::string &named)
{
    std::string pattern = named + "-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!::mkdtemp(buffer.data()))
        return std::nullopt;
    std::string folder(buffer.data());
    chosen().fresh = folder;
    return folder;
}

std::optional<std::string> ownFolderUnder(const std::string &base)
{
    const std::string folder = base + "/pellin-" + std::to_string(::geteuid());
    if (::mkdir(folder.c_str(), 0700) == 0) {
        // The umask may have taken bits from the new folder; nobody else can reach it yet.
        if (::chmod(folder.c_str(), 0700) == 0 && isPrivateFolder(folder))
            return folder;
        return std::nullopt;
    }
    if (errno != EEXIST)
        return std::nullopt;
    if (isPrivateFolder(folder))
        return folder;
    // Someone else's folder, a link or a folder others may write to: never use it.
    return freshFolder(folder);
}

std::string choose()
{
    std::optional<std::string> folder = runtimeFolder();
    if (!folder) {
        const std::string base =
            withoutTrailingSeparators(QDir::tempPath().toLocal8Bit().toStdString());
        if (base.empty() || base[0] != '/')
            return {};
        folder = ownFolderUnder(base == "/" ? std::string() : base);
    }
    if (!folder)
        return {};
    return *folder + '/';
}

} // namespace

std::string tempFolder()
{
    Chosen &state = chosen();
    if (!state.folder)
        state.folder = choose();
    return *state.folder;
}

void resetTempFolder()
{
    Chosen &state = chosen();
    if (!state.fresh.empty())
        ::rmdir(state.fresh.c_str());
    state = {};
}

} // namespace sys

#include "system/AtomicFile.h"

#include "system/Descriptor.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace sys
{

namespace
{

// As many links as the kernel itself follows before it gives up with ELOOP.
constexpr int kMaxLinks = 40;
// Keeps "." + name + ".XXXXXXXX" within the 255 bytes a file name may have.
constexpr std::size_t kMaxNameInTemporary = 200;
constexpr int kNameAttempts = 100;
// One write call at most this much, well below what a single write may transfer.
constexpr std::size_t kMaxChunk = std::size_t(1) << 30;

// A write beyond RLIMIT_FSIZE raises SIGXFSZ, and the signal's default action ends the whole
// program, so a student's save would take the player down instead of reporting a failure.
// Blocked, the signal stays pending and the write fails with EFBIG, which the save reports.
// The block covers only this thread and only the save, and the signal the save raised is taken
// off again: nothing else in the process, and no program it starts later, sees a change (an
// ignored disposition, by contrast, would be inherited by every program started afterwards).
class FileSizeSignalBlock
{
  public:
    FileSizeSignalBlock()
    {
        sigemptyset(&mSignal);
        sigaddset(&mSignal, SIGXFSZ);
        pthread_sigmask(SIG_BLOCK, &mSignal, &mBefore);
    }
    ~FileSizeSignalBlock()
    {
        if (sigismember(&mBefore, SIGXFSZ))
            return; // the caller blocks it and handles what is pending
        sigset_t pending;
        sigemptyset(&pending);
        if (sigpending(&pending) == 0 && sigismember(&pending, SIGXFSZ)) {
            const timespec noWait{};
            sigtimedwait(&mSignal, nullptr, &noWait);
        }
        pthread_sigmask(SIG_SETMASK, &mBefore, nullptr);
    }
    FileSizeSignalBlock(const FileSizeSignalBlock &) = delete;
    FileSizeSignalBlock &operator=(const FileSizeSignalBlock &) = delete;

  private:
    sigset_t mSignal{};
    sigset_t mBefore{};
};

// The new file until it has taken the target's place: removed when the save does not get there.
class TemporaryFile
{
  public:
    TemporaryFile(int folder, std::string name, int fd)
        : mFolder(folder), mName(std::move(name)), mFd(fd)
    {
    }
    ~TemporaryFile()
    {
        if (!mRenamed)
            ::unlinkat(mFolder, mName.c_str(), 0);
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;

    const std::string &name() const { return mName; }
    Descriptor &fd() { return mFd; }
    void renamed() { mRenamed = true; }

  private:
    int mFolder;
    std::string mName;
    Descriptor mFd;
    bool mRenamed = false;
};

// The file a chain of links ends at; `path` itself when it is no link. A link that points
// nowhere yields the name it points to, which the save then creates.
int followLinks(std::string &path)
{
    for (int hops = 0;; ++hops) {
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
            return 0; // a missing name is created; other errors show when the folder is opened
        if (hops == kMaxLinks)
            return ELOOP;
        std::error_code error;
        const fs::path target = fs::read_symlink(path, error);
        if (error)
            return error.value();
        path = (fs::path(path).parent_path() / target).string();
    }
}

void splitPath(const std::string &path, std::string &folder, std::string &name)
{
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        folder = ".";
        name = path;
        return;
    }
    folder = slash == 0 ? std::string("/") : path.substr(0, slash);
    name = path.substr(slash + 1);
}

// A folder that may be written but not listed still takes the file; only the final flush of
// the folder's entries is then left out.
int openFolder(const std::string &folder)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0 && errno == EACCES)
        return ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    return fd;
}

std::string temporaryName(const std::string &name)
{
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::minstd_rand random(std::random_device{}());
    std::uniform_int_distribution<std::size_t> pick(0, sizeof(kLetters) - 2);
    std::string result = "." + name.substr(0, kMaxNameInTemporary) + ".";
    for (int i = 0; i < 8; ++i)
        result += kLetters[pick(random)];
    return result;
}

int createTemporary(int folder, const std::string &name, mode_t mode,
                    std::optional<TemporaryFile> &file)
{
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string candidate = temporaryName(name);
        const int fd = ::openat(folder, candidate.c_str(),
                                O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd >= 0) {
            file.emplace(folder, std::move(candidate), fd);
            return 0;
        }
        if (errno != EEXIST)
            return errno;
    }
    return EEXIST;
}

int writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), std::min(bytes.size(), kMaxChunk));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        bytes.remove_prefix(std::size_t(written));
    }
    return 0;
}

int syncFile(int fd)
{
    while (::fsync(fd) != 0) {
        if (errno != EINTR)
            return errno;
    }
    return 0;
}

// The descriptor is released whatever close reports; EINTR then only means the close was
// interrupted after the data had already been synced.
int closeFile(Descriptor &fd)
{
    if (::close(fd.release()) != 0 && errno != EINTR)
        return errno;
    return 0;
}

// The permission bits the new file gets, or nothing for those of a plain new file. Fails for a
// target that is no plain file (or, where links are replaced, no link) and for one the caller
// may not write.
int targetMode(int folder, const std::string &name, const SaveOptions &options,
               std::optional<mode_t> &mode)
{
    struct stat status {};
    const bool exists = ::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
    if (!exists && errno != ENOENT)
        return errno;
    if (exists) {
        if (S_ISDIR(status.st_mode))
            return EISDIR;
        const bool link = S_ISLNK(status.st_mode);
        if (!S_ISREG(status.st_mode) && !(link && options.links == Links::Replace))
            return EINVAL;
        if (!link && ::faccessat(folder, name.c_str(), W_OK, AT_EACCESS) != 0)
            return errno;
        if (!link)
            mode = status.st_mode & 0777;
    }
    if (options.mode)
        mode = *options.mode & 07777;
    return 0;
}

} // namespace

bool SaveResult::folderMissing() const
{
    return error == ENOENT || error == ENOTDIR;
}

std::string SaveResult::message() const
{
    return std::strerror(error);
}

SaveResult saveFile(const std::string &givenPath, std::string_view bytes,
                    const SaveOptions &options)
{
    if (givenPath.empty())
        return {ENOENT};
    std::string path = givenPath;
    if (options.links == Links::Follow) {
        if (const int error = followLinks(path))
            return {error};
    }
    std::string folderPath;
    std::string name;
    splitPath(path, folderPath, name);
    if (name.empty() || name == "." || name == "..")
        return {EISDIR};

    const Descriptor folder(openFolder(folderPath));
    if (folder.get() < 0)
        return {errno};
    std::optional<mode_t> mode;
    if (const int error = targetMode(folder.get(), name, options, mode))
        return {error};

    const FileSizeSignalBlock signalBlock;
    // Created private when it will get bits of its own, so that nobody opens it in between.
    std::optional<TemporaryFile> file;
    if (const int error = createTemporary(folder.get(), name, mode ? 0600 : 0666, file))
        return {error};
    if (mode && ::fchmod(file->fd().get(), *mode) != 0)
        return {errno};
    if (const int error = writeAll(file->fd().get(), bytes))
        return {error};
    if (const int error = syncFile(file->fd().get()))
        return {error};
    if (const int error = closeFile(file->fd()))
        return {error};
    if (::renameat(folder.get(), file->name().c_str(), folder.get(), name.c_str()) != 0)
        return {errno};
    file->renamed();
    // The new entry is made lasting too; the file has taken the target's place by now, so a
    // failure here is no failure of the save.
    ::fsync(folder.get());
    return {};
}

} // namespace sys

#include "launcher/RuntimeInstall.h"

#include "launcher/RuntimePack.h"
#include "system/Descriptor.h"
#include "system/RuntimeCache.h"
#include "system/Sha256.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <thread>
#include <vector>

namespace launcher
{
namespace
{

constexpr std::size_t kChunk = 1 << 20;
constexpr auto kLockPoll = std::chrono::milliseconds(100);

// The reason an install stopped, for the one line the student sees.
struct Failure {
    std::string text;
};

Failure systemFailure(const std::string &what)
{
    return {what + ": " + std::strerror(errno)};
}

// A link or a file is removed itself, never what it points to; inside a folder remove_all
// removes links as links.
void removeTree(const std::string &path)
{
    struct stat status {};
    if (::lstat(path.c_str(), &status) != 0)
        return;
    if (S_ISDIR(status.st_mode)) {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    } else
        ::unlink(path.c_str());
}

// The folder of the user's own for the copies, made when missing; refused when it is a link,
// someone else's or open to others.
std::optional<Failure> prepareRoot(const std::string &root)
{
    if (root.empty())
        return Failure{"there is no home folder"};
    const std::string parent = root.substr(0, root.rfind('/'));
    std::error_code failed;
    std::filesystem::create_directories(parent, failed);
    if (failed)
        return systemFailure("cannot make " + parent);
    if (::mkdir(root.c_str(), 0700) != 0 && errno != EEXIST)
        return systemFailure("cannot make " + root);
    if (!sys::isPrivateFolder(root))
        return Failure{root + " is not a private folder of this user"};
    return std::nullopt;
}

// Holds the lock on the user's copies; a second launcher copying the same runtime waits here.
class InstallLock
{
  public:
    explicit InstallLock(const std::string &root)
        : mFile(::open((root + "/.lock").c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600))
    {
    }
    bool valid() const { return mFile.valid(); }
    bool tryTake() const { return ::flock(mFile.get(), LOCK_EX | LOCK_NB) == 0; }

  private:
    sys::Descriptor mFile;
};

std::int64_t changeTime(const struct stat &status)
{
    return std::int64_t(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec;
}

class Copier
{
  public:
    Copier(const std::string &bundle, const sys::RuntimeManifest &manifest,
           const RuntimeInstallOptions &options)
        : mBundle(bundle), mManifest(manifest), mOptions(options), mBuffer(kChunk),
          mPack(bundle + '/' + sys::kRuntimePackName)
    {
    }

    // Copies every file into `target` and writes the stamp last.
    std::optional<Failure> copyInto(const std::string &target)
    {
        std::string stamp;
        for (const sys::RuntimeFile &file : mManifest.files) {
            if (std::optional<Failure> failed = makeFolders(target, file.path))
                return failed;
            std::int64_t time = 0;
            if (std::optional<Failure> failed = copyOne(file, target + '/' + file.path, time))
                return failed;
            stamp +=
                std::to_string(file.size) + ' ' + std::to_string(time) + ' ' + file.path + '\n';
        }
        const std::string stampPath = target + '/' + sys::kRuntimeStampName;
        sys::Descriptor out(
            ::open(stampPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!out.valid() || !writeAll(out.get(), stamp.data(), stamp.size()) ||
            ::fsync(out.get()) != 0 || !out.close())
            return systemFailure("cannot write " + stampPath);
        return std::nullopt;
    }

    std::int64_t copied() const { return mDone; }

  private:
    static bool writeAll(int descriptor, const char *data, std::size_t size)
    {
        while (size > 0) {
            const ssize_t wrote = ::write(descriptor, data, size);
            if (wrote < 0 && errno == EINTR)
                continue;
            if (wrote <= 0)
                return false;
            data += wrote;
            size -= std::size_t(wrote);
        }
        return true;
    }

    std::optional<Failure> makeFolders(const std::string &target, const std::string &path)
    {
        for (std::size_t slash = path.find('/'); slash != std::string::npos;
             slash = path.find('/', slash + 1)) {
            const std::string folder = target + '/' + path.substr(0, slash);
            if (mMade.count(folder))
                continue;
            if (::mkdir(folder.c_str(), 0700) != 0)
                return systemFailure("cannot make " + folder);
            mMade.insert(folder);
        }
        return std::nullopt;
    }

    std::optional<Failure> copyOne(const sys::RuntimeFile &file, const std::string &to,
                                   std::int64_t &time)
    {
        const std::string from = mBundle + '/' + file.path;
        sys::Descriptor in(mPack.valid() ? -1 : ::open(from.c_str(), O_RDONLY | O_CLOEXEC));
        if (!mPack.valid()) {
            if (!in.valid())
                return systemFailure("cannot read " + from);
            // The whole pass over the disc is one sequential read.
            ::posix_fadvise(in.get(), 0, 0, POSIX_FADV_SEQUENTIAL);
        }
        sys::Descriptor out(
            ::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
        if (!out.valid())
            return systemFailure("cannot write " + to);
        sys::Sha256 hash;
        std::int64_t size = 0;
        for (;;) {
            // From the pack, exactly this file's bytes: the next file follows them.
            const std::size_t want =
                mPack.valid() ? std::size_t(std::clamp<std::int64_t>(file.size - size, 0,
                                                                     std::int64_t(mBuffer.size())))
                              : mBuffer.size();
            if (want == 0)
                break;
            const ssize_t got = mPack.valid() ? mPack.read(mBuffer.data(), want)
                                              : ::read(in.get(), mBuffer.data(), want);
            if (got < 0 && errno == EINTR && !mPack.valid())
                continue;
            if (got < 0 && mPack.valid())
                return Failure{"the disc's packed runtime is damaged"};
            if (got < 0)
                return systemFailure("cannot read " + from);
            if (got == 0)
                break;
            hash.add(mBuffer.data(), std::size_t(got));
            if (!writeAll(out.get(), mBuffer.data(), std::size_t(got)))
                return systemFailure("cannot write " + to);
            size += got;
            mDone += got;
            if (mOptions.progress)
                mOptions.progress(mDone, mManifest.totalSize);
        }
        if (size != file.size || hash.hex() != file.sha256)
            return Failure{"the disc's copy of " + file.path + " is damaged"};
        struct stat status {};
        if (::fsync(out.get()) != 0 || ::fstat(out.get(), &status) != 0 || !out.close())
            return systemFailure("cannot write " + to);
        time = changeTime(status);
        return std::nullopt;
    }

    const std::string &mBundle;
    const sys::RuntimeManifest &mManifest;
    const RuntimeInstallOptions &mOptions;
    std::vector<char> mBuffer;
    RuntimePack mPack;
    std::set<std::string> mMade;
    std::int64_t mDone = 0;
};

// Folders that an install left behind when it was cut short, or a copy found broken.
void removeLeftovers(const std::string &root)
{
    std::error_code failed;
    std::vector<std::string> leftovers;
    for (std::filesystem::directory_iterator entry(root, failed), end; !failed && entry != end;
         entry.increment(failed)) {
        std::error_code unknown;
        if (entry->path().filename().string().rfind(".install-", 0) == 0 &&
            entry->is_directory(unknown))
            leftovers.push_back(entry->path().string());
    }
    for (const std::string &leftover : leftovers)
        removeTree(leftover);
}

RuntimeOutcome fromDisc(const Failure &failure)
{
    return {{}, "The player runs from the disc: " + failure.text + ".", 0};
}

} // namespace

RuntimeOutcome installRuntime(const std::string &bundleFolder, const RuntimeInstallOptions &options)
{
    const std::optional<sys::RuntimeManifest> manifest = sys::readRuntimeManifest(bundleFolder);
    if (!manifest)
        return {};
    const std::string root = sys::runtimeCacheRoot();
    const std::string folder = root + '/' + manifest->hash;
    if (!root.empty() && sys::isPrivateFolder(root) && sys::isWholeRuntime(folder, *manifest))
        return {folder, {}, 0};
    if (std::optional<Failure> failed = prepareRoot(root))
        return fromDisc(*failed);

    const InstallLock lock(root);
    if (!lock.valid())
        return fromDisc(systemFailure("cannot lock " + root));
    if (!lock.tryTake()) {
        if (options.waiting)
            options.waiting();
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(options.waitMs);
        while (!lock.tryTake()) {
            if (std::chrono::steady_clock::now() >= until)
                return fromDisc({"another start is still installing it"});
            std::this_thread::sleep_for(kLockPoll);
        }
    }
    // The launcher that held the lock may have made it meanwhile.
    if (sys::isWholeRuntime(folder, *manifest))
        return {folder, {}, 0};
    removeLeftovers(root);

    struct stat status {};
    if (::lstat(folder.c_str(), &status) == 0) {
        // Not whole (cut, changed, or not a folder of ours): moved aside, then removed, so that
        // no one finds half of it under its name.
        const std::string aside = root + "/.install-broken-" + manifest->hash;
        if (::rename(folder.c_str(), aside.c_str()) != 0)
            return fromDisc(systemFailure("cannot replace " + folder));
        removeTree(aside);
    }

    std::string temporary = root + "/.install-XXXXXX";
    if (!::mkdtemp(temporary.data()))
        return fromDisc(systemFailure("cannot make a folder in " + root));
    Copier copier(bundleFolder, *manifest, options);
    std::optional<Failure> failed = copier.copyInto(temporary);
    if (!failed && ::rename(temporary.c_str(), folder.c_str()) != 0)
        failed = systemFailure("cannot install " + folder);
    if (failed) {
        removeTree(temporary);
        return fromDisc(*failed);
    }
    return {folder, {}, copier.copied()};
}

} // namespace launcher

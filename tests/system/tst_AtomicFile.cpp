#include "support/FileSizeLimit.h"
#include "system/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <optional>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

const QByteArray oldContent("old content\r\n");

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

void putBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(bytes), bytes.size());
}

std::string native(const QString &path)
{
    return QFile::encodeName(path).toStdString();
}

sys::SaveResult save(const QString &path, const QByteArray &bytes, const sys::SaveOptions &options)
{
    return sys::saveFile(native(path),
                         std::string_view(bytes.constData(), std::size_t(bytes.size())), options);
}

unsigned modeOf(const QString &path)
{
    struct stat status {};
    return ::lstat(native(path).c_str(), &status) == 0 ? status.st_mode & 07777 : 0xFFFF;
}

void setMode(const QString &path, unsigned mode)
{
    QCOMPARE(::chmod(native(path).c_str(), mode), 0);
}

bool isLink(const QString &path)
{
    struct stat status {};
    return ::lstat(native(path).c_str(), &status) == 0 && S_ISLNK(status.st_mode);
}

// Every entry of the folder, hidden ones included: what a failed save must not leave behind.
QStringList entriesOf(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

class Umask
{
  public:
    explicit Umask(mode_t mask) : mOld(::umask(mask)) {}
    ~Umask() { ::umask(mOld); }
    Umask(const Umask &) = delete;
    Umask &operator=(const Umask &) = delete;

  private:
    mode_t mOld;
};

// Permissions do not bind the superuser, so a suite that runs as root acts as the unprivileged
// user "nobody" while a permission has to stop it.
class Unprivileged
{
  public:
    Unprivileged() : mWasRoot(::geteuid() == 0) { mActive = !mWasRoot || ::seteuid(65534) == 0; }
    ~Unprivileged()
    {
        // The rest of the suite cannot run as "nobody": stop rather than go on unprivileged.
        if (mWasRoot && mActive && ::seteuid(0) != 0)
            std::abort();
    }
    Unprivileged(const Unprivileged &) = delete;
    Unprivileged &operator=(const Unprivileged &) = delete;

    bool active() const { return mActive; }

  private:
    bool mWasRoot;
    bool mActive = false;
};

// A file system of 64 KiB of its own, mounted on a folder of the test while it lives.
class SmallFileSystem
{
  public:
    explicit SmallFileSystem(const QString &folder) : mFolder(native(folder))
    {
        mMounted = ::mount("tmpfs", mFolder.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0;
    }
    ~SmallFileSystem()
    {
        if (mMounted)
            ::umount2(mFolder.c_str(), MNT_DETACH);
    }
    SmallFileSystem(const SmallFileSystem &) = delete;
    SmallFileSystem &operator=(const SmallFileSystem &) = delete;

    bool mounted() const { return mMounted; }

  private:
    std::string mFolder;
    bool mMounted = false;
};

// Writes until the file system has no room left.
void fillUp(const QString &path)
{
    const int fd = ::open(native(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    QVERIFY(fd >= 0);
    const QByteArray block(4096, 'f');
    ssize_t written = 0;
    while ((written = ::write(fd, block.constData(), std::size_t(block.size()))) > 0) {
    }
    const int error = errno;
    ::close(fd);
    QCOMPARE(written, ssize_t(-1));
    QCOMPARE(error, ENOSPC);
}

enum class Failure { SizeLimit, ReadOnlyFolder, WriteProtectedFile, MissingFolder, FullDisk };

} // namespace

Q_DECLARE_METATYPE(Failure)
Q_DECLARE_METATYPE(sys::Links)

class tst_AtomicFile : public QObject
{
    Q_OBJECT

  private slots:
    void newFileGetsTheUmasksMode()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.pel"));
        QByteArray content(1 << 20, Qt::Uninitialized);
        for (qsizetype i = 0; i < content.size(); ++i)
            content[i] = char(i * 7 % 251);
        const Umask mask(027);
        const sys::SaveResult result = save(path, content, {});
        QVERIFY2(bool(result), result.message().c_str());
        QCOMPARE(bytesOf(path), content);
        QCOMPARE(modeOf(path), 0640u);
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("list.pel")});
    }

    void replacedFileKeepsItsModeAndOpenReaders()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("list.pel"));
        putBytes(path, oldContent);
        setMode(path, 0604);
        QFile reader(path);
        QVERIFY(reader.open(QIODevice::ReadOnly));

        QVERIFY(bool(save(path, "new content", {})));
        QCOMPARE(bytesOf(path), QByteArray("new content"));
        QCOMPARE(modeOf(path), 0604u);
        // The old file was never written into: whoever had it open still reads it whole.
        QCOMPARE(reader.readAll(), oldContent);
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("list.pel")});
    }

    void requestedMode_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::addColumn<unsigned>("mask");
        QTest::addColumn<unsigned>("requested");
        QTest::newRow("private over a readable file") << true << 022u << 0600u;
        QTest::newRow("new file, whatever the umask") << false << 077u << 0640u;
    }
    void requestedMode()
    {
        QFETCH(bool, existing);
        QFETCH(unsigned, mask);
        QFETCH(unsigned, requested);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("tmpPlist.txt"));
        if (existing) {
            putBytes(path, oldContent);
            setMode(path, 0644);
        }
        const Umask umask(mask);
        sys::SaveOptions options;
        options.mode = requested;
        QVERIFY(bool(save(path, "new", options)));
        QCOMPARE(modeOf(path), requested);
        QCOMPARE(bytesOf(path), QByteArray("new"));
    }

    void links_data()
    {
        QTest::addColumn<sys::Links>("links");
        QTest::addColumn<bool>("fileBehindExists");
        QTest::newRow("followed: the file behind is replaced") << sys::Links::Follow << true;
        QTest::newRow("followed: a dangling link's file is made") << sys::Links::Follow << false;
        QTest::newRow("replaced: the link gives way") << sys::Links::Replace << true;
        QTest::newRow("replaced: a dangling link gives way") << sys::Links::Replace << false;
    }
    void links()
    {
        QFETCH(sys::Links, links);
        QFETCH(bool, fileBehindExists);
        QTemporaryDir dir;
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("real")));
        const QString behind = dir.filePath(QStringLiteral("real/list.pel"));
        const QString link = dir.filePath(QStringLiteral("list.pel"));
        if (fileBehindExists) {
            putBytes(behind, oldContent);
            setMode(behind, 0640);
        }
        // Relative, as a student's own link would be: it is read from the link's folder.
        QCOMPARE(::symlink("real/list.pel", native(link).c_str()), 0);

        sys::SaveOptions options;
        options.links = links;
        QVERIFY(bool(save(link, "new content", options)));

        QCOMPARE(bytesOf(link), QByteArray("new content"));
        if (links == sys::Links::Follow) {
            QVERIFY(isLink(link));
            QCOMPARE(bytesOf(behind), QByteArray("new content"));
            if (fileBehindExists)
                QCOMPARE(modeOf(behind), 0640u);
            QCOMPARE(entriesOf(dir.filePath(QStringLiteral("real"))),
                     QStringList{QStringLiteral("list.pel")});
        } else {
            QVERIFY(!isLink(link));
            QCOMPARE(QFileInfo::exists(behind), fileBehindExists);
            if (fileBehindExists)
                QCOMPARE(bytesOf(behind), oldContent);
        }
        QCOMPARE(entriesOf(dir.path()),
                 (QStringList{QStringLiteral("list.pel"), QStringLiteral("real")}));
    }

    void failureKeepsTheOldFile_data()
    {
        QTest::addColumn<Failure>("failure");
        QTest::addColumn<int>("error");
        QTest::newRow("file-size limit of 64 bytes") << Failure::SizeLimit << EFBIG;
        QTest::newRow("read-only folder") << Failure::ReadOnlyFolder << EACCES;
        QTest::newRow("write-protected file") << Failure::WriteProtectedFile << EACCES;
        QTest::newRow("missing folder") << Failure::MissingFolder << ENOENT;
        QTest::newRow("full file system") << Failure::FullDisk << ENOSPC;
    }
    void failureKeepsTheOldFile()
    {
        QFETCH(Failure, failure);
        QFETCH(int, error);
        QTemporaryDir dir;
        // Reachable for the unprivileged user that the permission cases act as.
        setMode(dir.path(), 0755);
        const QString folder = dir.filePath(QStringLiteral("folder"));
        QVERIFY(QDir().mkpath(folder));
        std::optional<SmallFileSystem> smallDisk;
        if (failure == Failure::FullDisk) {
            smallDisk.emplace(folder);
            if (!smallDisk->mounted())
                QSKIP("mounting a small file system is not allowed here");
        }
        QString target = folder + QStringLiteral("/list.pel");
        QStringList left{QStringLiteral("list.pel")};
        putBytes(target, oldContent);
        switch (failure) {
        case Failure::SizeLimit:
            break;
        case Failure::ReadOnlyFolder:
            setMode(target, 0666);
            setMode(folder, 0555);
            break;
        case Failure::WriteProtectedFile:
            setMode(target, 0444);
            setMode(folder, 0777);
            break;
        case Failure::MissingFolder:
            target = dir.filePath(QStringLiteral("no such folder/list.pel"));
            break;
        case Failure::FullDisk:
            fillUp(folder + QStringLiteral("/filler"));
            left.prepend(QStringLiteral("filler"));
            break;
        }

        const QByteArray content(8192, 'n');
        sys::SaveResult result;
        {
            std::optional<FileSizeLimit> limit;
            if (failure == Failure::SizeLimit)
                limit.emplace(64);
            std::optional<Unprivileged> user;
            if (failure == Failure::ReadOnlyFolder || failure == Failure::WriteProtectedFile) {
                user.emplace();
                if (!user->active())
                    QSKIP("cannot act as an unprivileged user");
            }
            result = save(target, content, {});
        }
        setMode(folder, 0755);

        QCOMPARE(result.error, error);
        QVERIFY(!result);
        QCOMPARE(result.folderMissing(), failure == Failure::MissingFolder);
        QCOMPARE(bytesOf(folder + QStringLiteral("/list.pel")), oldContent);
        QCOMPARE(entriesOf(folder), left);
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("folder")});
    }

    // The signal that a write past the file-size limit raises ends a program by default; the
    // save must fail instead, and leave the signal neither blocked nor pending.
    void fileSizeSignalDoesNotEndTheProgram()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("system.ini"));
        putBytes(path, oldContent);
        const std::string target = native(path);

        const pid_t child = ::fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            std::signal(SIGXFSZ, SIG_DFL);
            rlimit limit{};
            getrlimit(RLIMIT_FSIZE, &limit);
            limit.rlim_cur = 64;
            setrlimit(RLIMIT_FSIZE, &limit);
            const std::string content(1000, 'x');
            const sys::SaveResult result = sys::saveFile(target, content);
            sigset_t blocked;
            sigset_t pending;
            pthread_sigmask(SIG_SETMASK, nullptr, &blocked);
            sigpending(&pending);
            _exit(result.error != EFBIG            ? 1
                  : sigismember(&blocked, SIGXFSZ) ? 2
                  : sigismember(&pending, SIGXFSZ) ? 3
                                                   : 0);
        }
        int status = 0;
        QCOMPARE(::waitpid(child, &status, 0), child);
        QVERIFY2(WIFEXITED(status),
                 qPrintable(QStringLiteral("ended by signal %1")
                                .arg(WIFSIGNALED(status) ? WTERMSIG(status) : 0)));
        QCOMPARE(WEXITSTATUS(status), 0);
        QCOMPARE(bytesOf(path), oldContent);
        QCOMPARE(entriesOf(dir.path()), QStringList{QStringLiteral("system.ini")});
    }
};

QTEST_GUILESS_MAIN(tst_AtomicFile)
#include "tst_AtomicFile.moc"

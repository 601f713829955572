// The launcher's per-user copy of the disc's runtime, against a small bundle in a temporary
// folder and a cache folder of the test's own.
#include "launcher/RuntimeInstall.h"
#include "system/RuntimeCache.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <future>

namespace
{

// The bundle's files below bin/: libraries, the engine module and a platform plug-in.
const QStringList kFiles{
    QStringLiteral("lib/libQt6Core.so.6"), QStringLiteral("lib/pellin-libmpv.so"),
    QStringLiteral("lib/libavcodec.so.59"), QStringLiteral("plugins/platforms/libqxcb.so")};
constexpr int kFileSize = 96 * 1024;

QByteArray contentFor(const QString &path, int variant)
{
    QByteArray bytes;
    bytes.reserve(kFileSize);
    const QByteArray seed = path.toUtf8() + QByteArray::number(variant);
    while (bytes.size() < kFileSize)
        bytes += QCryptographicHash::hash(seed + QByteArray::number(bytes.size()),
                                          QCryptographicHash::Sha256);
    bytes.truncate(kFileSize);
    return bytes;
}

bool write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

QByteArray read(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Writes the bundle's files and its list as the disc's maker does.
bool makeBundle(const QString &bin, int variant)
{
    QByteArray list;
    for (const QString &name : kFiles) {
        const QByteArray bytes = contentFor(name, variant);
        if (!write(bin + u'/' + name, bytes))
            return false;
        list += QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex() + ' ' +
                QByteArray::number(bytes.size()) + ' ' + name.toUtf8() + '\n';
    }
    return write(bin + QStringLiteral("/runtime.sha256"), list);
}

// Packs the bundle's files as the disc's maker does: one after another in the list's order, as
// one xz stream, from the files of `variant`.
bool writePack(const QString &bin, int variant)
{
    QByteArray joined;
    for (const QString &name : kFiles)
        joined += contentFor(name, variant);
    QProcess xz;
    xz.start(QStringLiteral("xz"),
             {QStringLiteral("--x86"), QStringLiteral("--lzma2"), QStringLiteral("-c")});
    if (!xz.waitForStarted())
        return false;
    xz.write(joined);
    xz.closeWriteChannel();
    if (!xz.waitForFinished() || xz.exitCode() != 0)
        return false;
    return write(bin + QStringLiteral("/runtime.xz"), xz.readAllStandardOutput());
}

// Every file below `folder` with its size and time of change: what "nothing written" compares.
QStringList snapshot(const QString &folder)
{
    QStringList entries;
    QDirIterator files(folder, QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QFileInfo info(files.next());
        entries << QStringLiteral("%1 %2 %3")
                       .arg(info.filePath())
                       .arg(info.size())
                       .arg(info.lastModified().toMSecsSinceEpoch());
    }
    entries.sort();
    return entries;
}

int modeOf(const QString &path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? int(status.st_mode & 07777)
                                                                      : -1;
}

bool mountTmpfs(const QString &at, const char *options)
{
    QDir().mkpath(at);
    return ::mount("tmpfs", QFile::encodeName(at).constData(), "tmpfs", 0, options) == 0;
}

} // namespace

class RuntimeInstallTest : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void freshInstallThenReuse();
    void changedBundleInstallsBesideTheOld();
    void brokenCopyIsRefusedAndMadeAgain_data();
    void brokenCopyIsRefusedAndMadeAgain();
    void damagedDiscRunsFromTheDisc();
    void homeThatCannotHoldItRunsFromTheDisc_data();
    void homeThatCannotHoldItRunsFromTheDisc();
    void secondLauncherWaitsOrUsesTheDisc();
    void linksAreNeverFollowed_data();
    void linksAreNeverFollowed();
    void bundleWithoutListRunsAsBefore();
    void packIsUnpackedInPlaceOfTheFiles();
    void damagedPackRunsFromTheDisc_data();
    void damagedPackRunsFromTheDisc();

  private:
    std::string bin() const { return mBin.toStdString(); }
    QString installed() const { return QString::fromStdString(sys::installedRuntime(bin())); }

    std::optional<QTemporaryDir> mDir;
    QString mBin;
    QString mCache;
    QString mMounted;
};

void RuntimeInstallTest::init()
{
    mDir.emplace();
    QVERIFY(mDir->isValid());
    mBin = mDir->filePath(QStringLiteral("disc/bin"));
    mCache = mDir->filePath(QStringLiteral("home/.cache"));
    QVERIFY(makeBundle(mBin, 1));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(mCache));
}

void RuntimeInstallTest::cleanup()
{
    if (!mMounted.isEmpty())
        ::umount(QFile::encodeName(mMounted).constData());
    mMounted.clear();
    mDir.reset();
}

void RuntimeInstallTest::freshInstallThenReuse()
{
    const QStringList disc = snapshot(mBin);
    QVERIFY(installed().isEmpty());
    std::int64_t lastDone = 0;
    std::int64_t lastTotal = 0;
    launcher::RuntimeInstallOptions options;
    options.progress = [&](std::int64_t done, std::int64_t total) {
        QVERIFY(done >= lastDone);
        lastDone = done;
        lastTotal = total;
    };
    const launcher::RuntimeOutcome first = launcher::installRuntime(bin(), options);
    QVERIFY2(first.message.empty(), first.message.c_str());
    const QString folder = QString::fromStdString(first.folder);
    QCOMPARE(first.copiedBytes, std::int64_t(kFiles.size()) * kFileSize);
    QCOMPARE(lastDone, lastTotal);
    QCOMPARE(lastTotal, first.copiedBytes);
    QVERIFY(folder.startsWith(mCache + QStringLiteral("/pellin-runtime/")));
    for (const QString &name : kFiles)
        QCOMPARE(read(folder + u'/' + name), read(mBin + u'/' + name));
    QCOMPARE(modeOf(mCache + QStringLiteral("/pellin-runtime")), 0700);
    QCOMPARE(modeOf(folder), 0700);
    QCOMPARE(modeOf(folder + QStringLiteral("/lib")), 0700);
    QCOMPARE(installed(), folder);
    // Nothing is left beside the copy but the lock.
    QCOMPARE(QDir(mCache + QStringLiteral("/pellin-runtime"))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList({QStringLiteral(".lock"), QFileInfo(folder).fileName()}));

    const QStringList copy = snapshot(folder);
    const launcher::RuntimeOutcome second = launcher::installRuntime(bin(), options);
    QCOMPARE(second.folder, first.folder);
    QCOMPARE(second.copiedBytes, std::int64_t(0));
    QVERIFY(second.message.empty());
    QCOMPARE(snapshot(folder), copy);
    QCOMPARE(snapshot(mBin), disc);
}

void RuntimeInstallTest::changedBundleInstallsBesideTheOld()
{
    const std::string old = launcher::installRuntime(bin()).folder;
    QVERIFY(!old.empty());
    const auto oldManifest = sys::readRuntimeManifest(bin());
    QVERIFY(makeBundle(mBin, 2));
    const launcher::RuntimeOutcome changed = launcher::installRuntime(bin());
    QVERIFY(!changed.folder.empty());
    QVERIFY(changed.folder != old);
    QCOMPARE(changed.copiedBytes, std::int64_t(kFiles.size()) * kFileSize);
    QCOMPARE(read(QString::fromStdString(changed.folder) + u'/' + kFiles.first()),
             contentFor(kFiles.first(), 2));
    // The old copy is still whole for the bundle it was made from.
    QVERIFY(sys::isWholeRuntime(old, *oldManifest));
}

void RuntimeInstallTest::brokenCopyIsRefusedAndMadeAgain_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("truncated") << "truncated";
    QTest::newRow("altered") << "altered";
    QTest::newRow("file removed") << "removed";
    QTest::newRow("stamp removed") << "stamp";
    QTest::newRow("file replaced by a link") << "link";
}

void RuntimeInstallTest::brokenCopyIsRefusedAndMadeAgain()
{
    QFETCH(QString, damage);
    const QString folder = QString::fromStdString(launcher::installRuntime(bin()).folder);
    QVERIFY(!folder.isEmpty());
    const QString victim = folder + u'/' + kFiles.at(1);
    if (damage == QLatin1String("truncated")) {
        QVERIFY(QFile::resize(victim, kFileSize / 2));
    } else if (damage == QLatin1String("altered")) {
        QByteArray bytes = read(victim);
        bytes[100] = char(bytes[100] ^ 0x55);
        QVERIFY(write(victim, bytes));
    } else if (damage == QLatin1String("removed")) {
        QVERIFY(QFile::remove(victim));
    } else if (damage == QLatin1String("stamp")) {
        QVERIFY(QFile::remove(folder + QStringLiteral("/.whole")));
    } else {
        const QString elsewhere = mDir->filePath(QStringLiteral("elsewhere.so"));
        QVERIFY(QFile::rename(victim, elsewhere));
        QVERIFY(QFile::link(elsewhere, victim));
    }
    QVERIFY(installed().isEmpty());
    const launcher::RuntimeOutcome again = launcher::installRuntime(bin());
    QCOMPARE(QString::fromStdString(again.folder), folder);
    QCOMPARE(again.copiedBytes, std::int64_t(kFiles.size()) * kFileSize);
    QCOMPARE(read(victim), read(mBin + u'/' + kFiles.at(1)));
    QCOMPARE(installed(), folder);
}

void RuntimeInstallTest::damagedDiscRunsFromTheDisc()
{
    QByteArray bytes = contentFor(kFiles.last(), 1);
    bytes[10] = char(bytes[10] ^ 1);
    QVERIFY(write(mBin + u'/' + kFiles.last(), bytes));
    const launcher::RuntimeOutcome outcome = launcher::installRuntime(bin());
    QVERIFY(outcome.folder.empty());
    QCOMPARE(QString::fromStdString(outcome.message),
             QStringLiteral("The player runs from the disc: the disc's copy of "
                            "plugins/platforms/libqxcb.so is damaged."));
    QCOMPARE(QDir(mCache + QStringLiteral("/pellin-runtime"))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral(".lock")});
}

void RuntimeInstallTest::homeThatCannotHoldItRunsFromTheDisc_data()
{
    QTest::addColumn<QByteArray>("options");
    QTest::addColumn<QString>("reason");
    QTest::newRow("full") << QByteArray("size=128k,mode=0700") << QStringLiteral("No space left");
    QTest::newRow("read-only") << QByteArray("ro,size=1m,mode=0700")
                               << QStringLiteral("Read-only file system");
}

void RuntimeInstallTest::homeThatCannotHoldItRunsFromTheDisc()
{
    QFETCH(QByteArray, options);
    QFETCH(QString, reason);
    const QString home = mDir->filePath(QStringLiteral("small-home"));
    if (!mountTmpfs(home, options.constData()))
        QSKIP(qPrintable(QStringLiteral("a small home cannot be mounted here (%1)")
                             .arg(QString::fromLocal8Bit(std::strerror(errno)))));
    mMounted = home;
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home));
    const QStringList disc = snapshot(mBin);
    const launcher::RuntimeOutcome outcome = launcher::installRuntime(bin());
    QVERIFY(outcome.folder.empty());
    const QString message = QString::fromStdString(outcome.message);
    QVERIFY2(message.startsWith(QStringLiteral("The player runs from the disc: ")) &&
                 message.contains(reason) && !message.contains(u'\n'),
             qPrintable(message));
    // What could be written is gone again: no half copy stays in the home.
    QStringList left = snapshot(home);
    left.removeIf([](const QString &entry) { return entry.contains(QStringLiteral("/.lock ")); });
    QVERIFY2(left.size() <= 1, qPrintable(left.join(u'\n')));
    QCOMPARE(snapshot(mBin), disc);
}

void RuntimeInstallTest::secondLauncherWaitsOrUsesTheDisc()
{
    // Another launcher copying holds the lock: this one waits for a while, then runs from the
    // disc.
    const QString root = mCache + QStringLiteral("/pellin-runtime");
    QVERIFY(QDir().mkpath(root));
    QVERIFY(QFile::setPermissions(root, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    const int held = ::open(QFile::encodeName(root + QStringLiteral("/.lock")).constData(),
                            O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY(held >= 0);
    QCOMPARE(::flock(held, LOCK_EX), 0);
    bool waited = false;
    launcher::RuntimeInstallOptions options;
    options.waitMs = 300;
    options.waiting = [&] { waited = true; };
    const launcher::RuntimeOutcome blocked = launcher::installRuntime(bin(), options);
    QVERIFY(waited);
    QVERIFY(blocked.folder.empty());
    QCOMPARE(QString::fromStdString(blocked.message),
             QStringLiteral("The player runs from the disc: another start is still installing "
                            "it."));
    ::close(held);

    // Two launchers at once: one copies, the other waits for it and uses its copy.
    std::future<launcher::RuntimeOutcome> one =
        std::async(std::launch::async, [this] { return launcher::installRuntime(bin()); });
    std::future<launcher::RuntimeOutcome> two =
        std::async(std::launch::async, [this] { return launcher::installRuntime(bin()); });
    const launcher::RuntimeOutcome first = one.get();
    const launcher::RuntimeOutcome second = two.get();
    QVERIFY(!first.folder.empty());
    QCOMPARE(second.folder, first.folder);
    QCOMPARE(first.copiedBytes + second.copiedBytes, std::int64_t(kFiles.size()) * kFileSize);
    QCOMPARE(installed(), QString::fromStdString(first.folder));
}

void RuntimeInstallTest::linksAreNeverFollowed_data()
{
    QTest::addColumn<QString>("linked");
    QTest::newRow("the folder of the copies") << "pellin-runtime";
    QTest::newRow("the copy") << "copy";
    QTest::newRow("a folder in the copy") << "copy/lib";
}

void RuntimeInstallTest::linksAreNeverFollowed()
{
    QFETCH(QString, linked);
    // A whole copy made elsewhere, which a link then names.
    const QString root = mCache + QStringLiteral("/pellin-runtime");
    const std::string made = launcher::installRuntime(bin()).folder;
    QVERIFY(!made.empty());
    const QString elsewhere = mDir->filePath(QStringLiteral("elsewhere"));
    QVERIFY(QDir().mkpath(elsewhere));
    const QString hash = QFileInfo(QString::fromStdString(made)).fileName();
    QString target;
    QString link;
    if (linked == QLatin1String("pellin-runtime")) {
        target = elsewhere + QStringLiteral("/pellin-runtime");
        link = root;
    } else if (linked == QLatin1String("copy")) {
        target = elsewhere + u'/' + hash;
        link = root + u'/' + hash;
    } else {
        target = elsewhere + QStringLiteral("/lib");
        link = root + u'/' + hash + QStringLiteral("/lib");
    }
    QVERIFY(QFile::rename(link, target));
    QVERIFY(QFile::link(target, link));
    const QStringList before = snapshot(elsewhere);
    QVERIFY(installed().isEmpty());

    const launcher::RuntimeOutcome outcome = launcher::installRuntime(bin());
    if (linked == QLatin1String("pellin-runtime")) {
        QVERIFY(outcome.folder.empty());
        QVERIFY2(QString::fromStdString(outcome.message).contains(QStringLiteral("not a private")),
                 outcome.message.c_str());
    } else {
        // The link is removed and a real copy made in its place.
        QCOMPARE(outcome.folder, made);
        QVERIFY(!QFileInfo(link).isSymLink());
        QCOMPARE(installed(), QString::fromStdString(made));
    }
    // Whatever the link named is untouched.
    QCOMPARE(snapshot(elsewhere), before);
}

void RuntimeInstallTest::bundleWithoutListRunsAsBefore()
{
    QVERIFY(QFile::remove(mBin + QStringLiteral("/runtime.sha256")));
    const launcher::RuntimeOutcome outcome = launcher::installRuntime(bin());
    QVERIFY(outcome.folder.empty());
    QVERIFY(outcome.message.empty());
    QVERIFY(!QFileInfo::exists(mCache));
}

// The install takes the files from the pack: a bundle whose plain files are gone but whose pack
// is whole installs as from the files.
void RuntimeInstallTest::packIsUnpackedInPlaceOfTheFiles()
{
    QVERIFY(writePack(mBin, 1));
    for (const QString &name : kFiles)
        QVERIFY(QFile::remove(mBin + u'/' + name));
    const launcher::RuntimeOutcome outcome = launcher::installRuntime(bin());
    QVERIFY2(outcome.message.empty(), outcome.message.c_str());
    QCOMPARE(outcome.copiedBytes, std::int64_t(kFiles.size()) * kFileSize);
    for (const QString &name : kFiles)
        QCOMPARE(read(QString::fromStdString(outcome.folder) + u'/' + name), contentFor(name, 1));
    QCOMPARE(installed(), QString::fromStdString(outcome.folder));
}

void RuntimeInstallTest::damagedPackRunsFromTheDisc_data()
{
    QTest::addColumn<QString>("damage");
    QTest::newRow("cut short") << "cut";
    QTest::newRow("a byte altered") << "altered";
    QTest::newRow("another bundle's pack") << "other";
}

// Whether the unpacking or the file's own check sees the damage first depends on where it is;
// either way nothing is installed and the player runs from the disc.
void RuntimeInstallTest::damagedPackRunsFromTheDisc()
{
    QFETCH(QString, damage);
    QVERIFY(writePack(mBin, damage == QLatin1String("other") ? 2 : 1));
    const QString pack = mBin + QStringLiteral("/runtime.xz");
    QByteArray bytes = read(pack);
    if (damage == QLatin1String("cut"))
        bytes.truncate(bytes.size() / 2);
    else if (damage == QLatin1String("altered"))
        bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x10);
    QVERIFY(write(pack, bytes));
    const launcher::RuntimeOutcome outcome = launcher::installRuntime(bin());
    QVERIFY(outcome.folder.empty());
    const QString message = QString::fromStdString(outcome.message);
    QVERIFY2(message.startsWith(QStringLiteral("The player runs from the disc: the disc's ")) &&
                 message.endsWith(QStringLiteral(" is damaged.")),
             qPrintable(message));
    QCOMPARE(QDir(mCache + QStringLiteral("/pellin-runtime"))
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
             QStringList{QStringLiteral(".lock")});
}

QTEST_GUILESS_MAIN(RuntimeInstallTest)
#include "tst_RuntimeInstall.moc"

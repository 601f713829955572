#include "system/TempFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <optional>

#include <sys/stat.h>
#include <unistd.h>

namespace
{

mode_t modeOf(const QString &path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

QString chosen()
{
    return QString::fromStdString(sys::tempFolder());
}

} // namespace

// The private temporary folder: the runtime folder when it is the user's alone, else a 0700
// folder of the user's own under the shared temporary folder, never one that someone else
// planted there.
class TempFolderTest : public QObject
{
    Q_OBJECT

  private:
    std::optional<QTemporaryDir> mShared;
    std::optional<QTemporaryDir> mRuntime;
    QString mOwnName;

    QString shared(const QString &name) const { return mShared->filePath(name); }

  private slots:
    void init()
    {
        mShared.emplace();
        mRuntime.emplace();
        QVERIFY(mShared->isValid() && mRuntime->isValid());
        // The shared folder is open to everybody, as /tmp is.
        QVERIFY(::chmod(QFile::encodeName(mShared->path()).constData(), 01777) == 0);
        qputenv("TMPDIR", QFile::encodeName(mShared->path()));
        qunsetenv("XDG_RUNTIME_DIR");
        mOwnName = QStringLiteral("pellin-%1").arg(::geteuid());
        sys::resetTempFolder();
    }

    void cleanup()
    {
        sys::resetTempFolder();
        qunsetenv("TMPDIR");
        qunsetenv("XDG_RUNTIME_DIR");
    }

    void runtimeFolderOfTheUsersOwn()
    {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(mRuntime->path() + "/"));
        QCOMPARE(chosen(), mRuntime->path() + "/");
        // Chosen once: the carry-over written now is found there again later.
        qunsetenv("XDG_RUNTIME_DIR");
        QCOMPARE(chosen(), mRuntime->path() + "/");
    }

    void ownFolderUnderTheSharedOne_data()
    {
        QTest::addColumn<QString>("runtime");
        QTest::newRow("no runtime folder") << QString();
        QTest::newRow("relative runtime folder") << QStringLiteral("run/user");
        QTest::newRow("runtime folder open to others") << QStringLiteral("open");
        QTest::newRow("runtime folder missing") << QStringLiteral("missing");
    }

    void ownFolderUnderTheSharedOne()
    {
        QFETCH(QString, runtime);
        if (runtime == QLatin1String("open")) {
            runtime = mRuntime->path();
            QVERIFY(::chmod(QFile::encodeName(runtime).constData(), 0755) == 0);
        } else if (runtime == QLatin1String("missing")) {
            runtime = mRuntime->filePath("gone");
        }
        if (!runtime.isEmpty())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));

        QCOMPARE(chosen(), shared(mOwnName) + "/");
        QCOMPARE(modeOf(shared(mOwnName)), mode_t(0700));
        QVERIFY(QFileInfo(shared(mOwnName)).isDir());
        // A second run finds its own folder again.
        sys::resetTempFolder();
        QCOMPARE(chosen(), shared(mOwnName) + "/");
    }

    void plantedFolderIsRefused_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::newRow("a link to another folder") << QStringLiteral("link");
        QTest::newRow("a folder open to others") << QStringLiteral("open");
        QTest::newRow("a folder of another user") << QStringLiteral("foreign");
        QTest::newRow("a file") << QStringLiteral("file");
    }

    void plantedFolderIsRefused()
    {
        QFETCH(QString, planted);
        const QString own = shared(mOwnName);
        const QString elsewhere = shared("attacker");
        QVERIFY(QDir().mkdir(elsewhere));
        QVERIFY(::chmod(QFile::encodeName(elsewhere).constData(), 0700) == 0);
        if (planted == QLatin1String("link")) {
            QVERIFY(QFile::link(elsewhere, own));
        } else if (planted == QLatin1String("file")) {
            QFile file(own);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir().mkdir(own));
            QVERIFY(::chmod(QFile::encodeName(own).constData(),
                            planted == QLatin1String("open") ? 0777 : 0700) == 0);
            if (planted == QLatin1String("foreign")) {
                if (::geteuid() != 0)
                    QSKIP("only the superuser can give a folder to another user");
                QVERIFY(::chown(QFile::encodeName(own).constData(), 65534, 65534) == 0);
            }
        }

        const QString folder = chosen();
        QVERIFY2(folder.startsWith(own + "-"), qPrintable(folder));
        QVERIFY(folder.endsWith('/'));
        QCOMPARE(modeOf(folder.chopped(1)), mode_t(0700));
        QVERIFY(QDir(elsewhere).isEmpty());

        // The fresh folder is this run's alone and goes with it.
        sys::resetTempFolder();
        QVERIFY(!QFileInfo::exists(folder));
        QVERIFY(QFileInfo::exists(own) || QFileInfo(own).isSymLink());
    }
};

QTEST_GUILESS_MAIN(TempFolderTest)
#include "tst_TempFolder.moc"

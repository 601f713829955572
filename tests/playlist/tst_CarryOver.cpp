#include "common/ListFile.h"
#include "common/modGlobals.h"
#include "playlist/frmPlaylist.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/PlaylistRows.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "system/TempFolder.h"
#include "toolkit/Forms.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <optional>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace modGlobals;
using support::kIntro;
using support::kWhite;
using support::kYellow;
using support::readFile;
using support::Row;
using support::rowsWithSelectionOf;
using support::writeFile;

namespace
{

const std::vector<Row> kStudentsRows{
    {"/course/intro.asf", "Welcome", "1:05", kIntro, false},
    {"/course/m1.avi", "Module 1", "20:00", kYellow, true},
    {"/course/m2.avi", "Module 2", "3:00", kWhite, false},
};

mode_t modeOf(const QString &path)
{
    struct stat status {};
    return ::lstat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// A folder nobody may write to while it lives: for the superuser, whom permissions do not bind,
// an empty read-only file system mounted over it; for anyone else its write bits taken away.
class ReadOnlyFolder
{
  public:
    explicit ReadOnlyFolder(const QString &folder) : mFolder(QFile::encodeName(folder))
    {
        if (::geteuid() == 0)
            mMounted = ::mount("tmpfs", mFolder.constData(), "tmpfs", MS_RDONLY,
                               "size=16k,mode=0700") == 0;
        else
            mChmodded = ::chmod(mFolder.constData(), 0500) == 0;
    }
    ~ReadOnlyFolder()
    {
        if (mMounted)
            ::umount(mFolder.constData());
        if (mChmodded)
            ::chmod(mFolder.constData(), 0700);
    }
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    bool active() const { return mMounted || mChmodded; }

  private:
    QByteArray mFolder;
    bool mMounted = false;
    bool mChmodded = false;
};

} // namespace

// The carry-over file through which the playlist keeps its rows when full screen ends: the
// student's own, in the private temporary folder, and never the reason rows are lost.
class CarryOverTest : public QObject
{
    Q_OBJECT

  private:
    std::optional<support::WindowFixture> f;

    QString carryOver() const { return pellin::carryOverPath(GetTempFolder()); }

    // The student's three rows, the second selected, carried over as leaving full screen does.
    void carryOverThreeRows(const std::function<void()> &whileUnloading = {})
    {
        frmPlaylist &window = forms::frmPlaylist();
        window.AddEntry("/course/intro.asf", "Welcome", "1:05");
        window.AddEntry("/course/m1.avi", "Module 1", "20:00");
        window.AddEntry("/course/m2.avi", "Module 2", "3:00");
        window.lvPlaylist.Item(2).setSelected(true);
        gKeepPlaylist = true;
        if (whileUnloading)
            whileUnloading();
        else
            window.Unload();
        support::flushDeletes();
    }

    // Uses `shared` as the system's temporary folder, as /tmp is shared by every user.
    void shareTheTemporaryFolder(const QString &shared)
    {
        QVERIFY(QDir().mkpath(shared));
        QVERIFY(::chmod(QFile::encodeName(shared).constData(), 01777) == 0);
        qunsetenv("XDG_RUNTIME_DIR");
        qputenv("TMPDIR", QFile::encodeName(shared));
        sys::resetTempFolder();
    }

  private slots:
    void init()
    {
        f.emplace();
        QVERIFY(f->valid());
    }
    void cleanup() { f.reset(); }

    // Another user's file or link where the file used to lie, or a link where the private
    // folder goes, changes nothing of the student's.
    void plantedFilesChangeNothing_data()
    {
        QTest::addColumn<QString>("planted");
        QTest::newRow("a file in the shared folder") << QStringLiteral("file");
        QTest::newRow("a link in the shared folder") << QStringLiteral("link");
        QTest::newRow("a link for the private folder") << QStringLiteral("folder link");
        QTest::newRow("a link in the private folder") << QStringLiteral("private link");
    }

    void plantedFilesChangeNothing()
    {
        QFETCH(QString, planted);
        const QString victim = f->filePath("home/notes.txt");
        QVERIFY(QDir().mkpath(f->filePath("home")));
        QVERIFY(writeFile(victim, "the student's own notes\n"));
        const QString shared = f->filePath("tmp");
        const QString attacker = f->filePath("attacker");
        QVERIFY(QDir().mkpath(attacker));
        const QByteArray plantedRows("/planted/x.avi;Planted;6:66\r\n");

        if (planted == QLatin1String("private link")) {
            QVERIFY(QFile::link(victim, carryOver()));
        } else {
            shareTheTemporaryFolder(shared);
            if (planted == QLatin1String("file"))
                QVERIFY(writeFile(shared + "/tmpPlist.txt", plantedRows));
            else if (planted == QLatin1String("link"))
                QVERIFY(QFile::link(victim, shared + "/tmpPlist.txt"));
            else
                QVERIFY(QFile::link(attacker,
                                    QStringLiteral("%1/pellin-%2").arg(shared).arg(::geteuid())));
        }

        carryOverThreeRows();
        QVERIFY(!GetTempFolder().startsWith(attacker));
        QVERIFY(QFileInfo(carryOver()).isFile());
        QVERIFY(!QFileInfo(carryOver()).isSymLink());
        QCOMPARE(modeOf(carryOver()), mode_t(0600));
        QCOMPARE(rowsWithSelectionOf(forms::frmPlaylist().lvPlaylist), kStudentsRows);
        QCOMPARE(readFile(victim), QByteArray("the student's own notes\n"));
        QVERIFY(QDir(attacker).isEmpty());
        if (planted == QLatin1String("file"))
            QCOMPARE(readFile(shared + "/tmpPlist.txt"), plantedRows);
        QVERIFY(f->boxes.empty());
    }

    // A carry-over file that cannot be written or read back keeps the rows, and the student is
    // told once.
    void failedCarryOverKeepsTheRows_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("number");
        QTest::newRow("read-only folder") << QStringLiteral("read-only") << "Number: 75";
        QTest::newRow("file-size limit") << QStringLiteral("size limit") << "Number: 75";
        QTest::newRow("file gone before it is read back") << QStringLiteral("gone") << "Number: 53";
        // Put in the file's place between the write and the read; neither waited for nor read.
        for (const char *kind : {"FIFO", "endless device", "folder", "link loop", "over the limit"})
            QTest::addRow("file replaced by: %s", kind)
                << QString::fromLatin1(kind) << "Number: 75";
    }

    void failedCarryOverKeepsTheRows()
    {
        QFETCH(QString, failure);
        QFETCH(QString, number);
        // A stale carry-over of an earlier time must not come back instead.
        QVERIFY(writeFile(carryOver(), "/stale/old.avi;Old;9:99\r\n"));
        std::optional<ReadOnlyFolder> readOnly;
        if (failure == QLatin1String("read-only")) {
            readOnly.emplace(QDir(GetTempFolder()).absolutePath());
            if (!readOnly->active())
                QSKIP("the folder cannot be made read-only here");
            carryOverThreeRows();
        } else if (failure == QLatin1String("size limit")) {
            carryOverThreeRows([] {
                const FileSizeLimit limit(16);
                forms::frmPlaylist().Unload();
            });
        } else {
            carryOverThreeRows([&] {
                forms::frmPlaylist().Unload();
                QVERIFY(QFile::remove(carryOver()));
                if (failure != QLatin1String("gone"))
                    QVERIFY(support::makeNoListFile(failure, carryOver()));
            });
        }

        QCOMPARE(rowsWithSelectionOf(forms::frmPlaylist().lvPlaylist), kStudentsRows);
        QCOMPARE(f->boxes.size(), std::size_t(1));
        QCOMPARE(f->boxes[0].style, toolkit::vbOKOnly | toolkit::vbCritical);
        QVERIFY2(f->boxes[0].prompt.contains(number), qPrintable(f->boxes[0].prompt));
        QVERIFY2(f->boxes[0].prompt.contains("its entries were kept"),
                 qPrintable(f->boxes[0].prompt));

        // Once the folder takes files again the next carry-over goes through the file, silently.
        readOnly.reset();
        if (QFileInfo(carryOver()).isDir())
            QVERIFY(QDir(carryOver()).removeRecursively());
        forms::frmPlaylist().lvPlaylist.Remove(3);
        forms::frmPlaylist().Unload();
        support::flushDeletes();
        QCOMPARE(pellin::readListFile(carryOver()).entries.size(), 2);
        QCOMPARE(forms::frmPlaylist().lvPlaylist.Count(), 2);
        QCOMPARE(f->boxes.size(), std::size_t(1));
    }
};

QTEST_MAIN(CarryOverTest)
#include "tst_CarryOver.moc"

// The player's command line: what each file named on it is to the player, judged before anything
// reads it; the files opened as a student would open them (a video as File > Open, a playlist as
// Open Playlist), whatever else refused in one message with the playlist kept; and --help and
// --version answered by the real program before any window, without a display.
#include "common/modGlobals.h"
#include "player/CommandLine.h"
#include "player/GivenFiles.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "support/Files.h"
#include "support/WindowFixture.h"
#include "toolkit/Forms.h"

#include <QApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QProcess>
#include <QTest>
#include <QUrl>

#include <optional>
#include <sys/stat.h>

using namespace modGlobals;
using commandLine::FileKind;

namespace
{

const QString kCourseVideo = QStringLiteral("/course/videos/intro.avi");

// The folder of the files the table names, made once for the whole suite.
class Files
{
  public:
    Files()
    {
        QDir(mDir.path()).mkdir(QStringLiteral("folder"));
        support::writeFile(path("clip.avi"), QByteArray("RIFF") + QByteArray(60, 'x'));
        support::writeFile(path("other.mpg"), QByteArray(64, '\x01'));
        support::writeFile(path("Upper.WMV"), QByteArray(64, '\x02'));
        support::writeFile(path("list.pel"),
                           "/course/videos/a.avi;A;1:00\r\n/course/videos/b.avi;B;2:00\r\n");
        support::writeFile(path("second.pel"), "/course/videos/c.avi;C;3:00\r\n");
        support::writeFile(path("binary.pel"), QByteArray("ab\0cd;e;f\r\n", 11));
        support::writeFile(path("program"), QByteArray("\x7f"
                                                       "ELF\2\1\1",
                                                       7));
        support::writeFile(path("notes.txt"), "some notes\n");
        QFile huge(path("huge.pel"));
        huge.open(QIODevice::WriteOnly);
        huge.resize(commandLine::kPlaylistSizeLimit + 1);
        huge.close();
        mkfifo(QFile::encodeName(path("pipe.pel")).constData(), 0600);
        QFile::link(path("clip.avi"), path("link.avi"));
        support::writeFile(path("locked.pel"), "x;y;z\r\n");
        QFile::setPermissions(path("locked.pel"), QFileDevice::Permissions());
    }

    // A name of the table: a file of the folder, or an absolute path as it stands.
    QString path(const QString &name) const
    {
        return name.startsWith(u'/') ? name : mDir.filePath(name);
    }

  private:
    QTemporaryDir mDir;
};

} // namespace

class tst_CommandLine : public QObject
{
    Q_OBJECT

  private:
    std::optional<Files> fixture;

    QStringList rows() const
    {
        QStringList keys;
        toolkit::ListView &list = forms::frmPlaylist().lvPlaylist;
        for (int i = 1; i <= list.Count(); ++i)
            keys << list.Item(i).Key();
        return keys;
    }

  private slots:
    void initTestCase() { fixture.emplace(); }
    void cleanupTestCase() { fixture.reset(); }

    void classify_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("reason");
        const int video = int(FileKind::Video);
        const int playlist = int(FileKind::Playlist);
        const int refused = int(FileKind::Refused);
        QTest::newRow("video") << "clip.avi" << video << "";
        QTest::newRow("video, extension in capitals") << "Upper.WMV" << video << "";
        QTest::newRow("link to a video") << "link.avi" << video << "";
        QTest::newRow("playlist") << "list.pel" << playlist << "";
        QTest::newRow("folder") << "folder" << refused << "it is a folder";
        QTest::newRow("FIFO named as a playlist") << "pipe.pel" << refused << "it is a pipe";
        QTest::newRow("/dev/zero") << "/dev/zero" << refused << "it is a device";
        QTest::newRow("binary named as a playlist")
            << "binary.pel" << refused << "it is not a playlist";
        QTest::newRow("program") << "program" << refused << "it is neither a video nor a playlist";
        QTest::newRow("text of another kind")
            << "notes.txt" << refused << "it is neither a video nor a playlist";
        QTest::newRow("playlist over the size limit")
            << "huge.pel" << refused << "it is too large for a playlist";
        QTest::newRow("missing") << "gone.avi" << refused << "there is no such file";
        if (geteuid() != 0)
            QTest::newRow("unreadable") << "locked.pel" << refused << "it cannot be read";
    }

    void classify()
    {
        QFETCH(QString, name);
        QFETCH(int, kind);
        QFETCH(QString, reason);
        const commandLine::GivenFile file = commandLine::classify(fixture->path(name));
        QCOMPARE(int(file.kind), kind);
        QCOMPARE(file.reason, reason);
    }

    void parse_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("exitNow");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("output");
        QTest::addColumn<QStringList>("files");
        const QString cwd = QDir::currentPath();
        QTest::newRow("nothing") << QStringList{} << false << 0 << "" << QStringList{};
        QTest::newRow("--help") << QStringList{"--help"} << true << 0 << "Usage: PellinPlayer"
                                << QStringList{};
        QTest::newRow("-h") << QStringList{"-h"} << true << 0 << "[files...]" << QStringList{};
        QTest::newRow("--version")
            << QStringList{"--version"} << true << 0 << "PellinPlayer 2.1.0\n"
            << QStringList{};
        QTest::newRow("unknown option")
            << QStringList{"--bogus"} << true << 2 << "Unknown option 'bogus'" << QStringList{};
        QTest::newRow("relative path") << QStringList{"videos/a.avi"} << false << 0 << ""
                                       << QStringList{cwd + "/videos/a.avi"};
        QTest::newRow("file URL") << QStringList{"file:///tmp/a%20b.pel"} << false << 0 << ""
                                  << QStringList{"/tmp/a b.pel"};
        QTest::newRow("the toolkit's options pass")
            << QStringList{"-platform", "offscreen", "/a.avi"} << false << 0 << ""
            << QStringList{"/a.avi"};
        QTest::newRow("several files") << QStringList{"/a.avi", "/b.pel"} << false << 0 << ""
                                       << QStringList{"/a.avi", "/b.pel"};
    }

    void parse()
    {
        QFETCH(QStringList, arguments);
        QFETCH(bool, exitNow);
        QFETCH(int, exitCode);
        QFETCH(QString, output);
        QFETCH(QStringList, files);
        arguments.prepend(QStringLiteral("PellinPlayer"));
        const commandLine::Parsed parsed = commandLine::parse(arguments);
        QCOMPARE(parsed.exitNow, exitNow);
        QCOMPARE(parsed.exitCode, exitCode);
        QVERIFY2(parsed.output.contains(output), qPrintable(parsed.output));
        QCOMPARE(parsed.files, files);
    }

    // The files given open as a student would open them; what is refused is named in one box and
    // leaves the course's playlist as it was.
    void open_data()
    {
        QTest::addColumn<QStringList>("given");
        QTest::addColumn<QString>("loaded"); // the video playing afterwards
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<QStringList>("refused"); // named in the one box
        const QStringList course{kCourseVideo};
        const QStringList listed{"/course/videos/a.avi", "/course/videos/b.avi"};
        QTest::newRow("a video plays")
            << QStringList{"clip.avi"} << "clip.avi" << course << QStringList{};
        QTest::newRow("a playlist replaces the list")
            << QStringList{"list.pel"} << "" << listed << QStringList{};
        for (const char *name :
             {"folder", "pipe.pel", "/dev/zero", "binary.pel", "program", "huge.pel", "gone.avi"})
            QTest::newRow(name) << QStringList{name} << "" << course << QStringList{name};
        QTest::newRow("a playlist and a video")
            << QStringList{"list.pel", "clip.avi"} << "clip.avi" << listed << QStringList{};
        QTest::newRow("several videos join the list, the first plays")
            << QStringList{"other.mpg", "clip.avi"} << "other.mpg"
            << QStringList{kCourseVideo, "other.mpg", "clip.avi"} << QStringList{};
        QTest::newRow("the first playlist opens")
            << QStringList{"list.pel", "second.pel"} << "" << listed << QStringList{"second.pel"};
        QTest::newRow("a video beside what is refused")
            << QStringList{"folder", "clip.avi", "/dev/zero"} << "clip.avi" << course
            << QStringList{"folder", "/dev/zero"};
    }

    void open()
    {
        QFETCH(QStringList, given);
        QFETCH(QString, loaded);
        QFETCH(QStringList, rows);
        QFETCH(QStringList, refused);
        support::WindowFixture f;
        mci::SimulatedMedia &media = f.simulateMedia();
        for (const char *name : {"clip.avi", "other.mpg"})
            media.addFile(fixture->path(name), 30000);
        forms::frmMain().Show();
        forms::frmPlaylist().AddEntry(kCourseVideo, "Introduction", "0:12");
        QStringList paths;
        for (const QString &name : given)
            paths << fixture->path(name);
        // Videos are keyed and opened by their lower-cased paths, as File > Open and Add File do.
        const auto key = [&](const QString &name) {
            return name.startsWith(u'/') ? name : fixture->path(name).toLower();
        };

        givenFiles::open(paths);

        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()),
                 loaded.isEmpty() ? QString() : key(loaded));
        if (!loaded.isEmpty())
            QCOMPARE(forms::frmMain().tlbMain.Buttons("play").Image(), QStringLiteral("pause"));
        QStringList keys;
        for (const QString &row : rows)
            keys << key(row);
        QCOMPARE(this->rows(), keys);
        QCOMPARE(int(f.boxes.size()), refused.isEmpty() ? 0 : 1);
        for (const QString &name : refused)
            QVERIFY2(f.boxes.front().prompt.contains(fixture->path(name)),
                     qPrintable(f.boxes.front().prompt));
    }

    // Files from the file manager dropped on the real windows: on the main window as the command
    // line opens them, on the playlist as Add File adds them (a playlist opens); what is refused
    // is named in one box.
    void drop_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QStringList>("dropped");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("boxes");
        const QStringList course{kCourseVideo};
        const QStringList listed{"/course/videos/a.avi", "/course/videos/b.avi"};
        QTest::newRow("a video on the main window plays")
            << "main" << QStringList{"clip.avi"} << "clip.avi" << course << 0;
        QTest::newRow("a playlist on the main window opens")
            << "main" << QStringList{"list.pel"} << "" << listed << 0;
        QTest::newRow("a folder on the main window is refused")
            << "main" << QStringList{"folder"} << "" << course << 1;
        QTest::newRow("videos on the playlist join it")
            << "playlist" << QStringList{"clip.avi", "other.mpg"} << ""
            << QStringList{kCourseVideo, "clip.avi", "other.mpg"} << 0;
        QTest::newRow("a playlist on the playlist opens")
            << "playlist" << QStringList{"list.pel"} << "" << listed << 0;
        QTest::newRow("a pipe on the playlist is refused, the video joins")
            << "playlist" << QStringList{"pipe.pel", "clip.avi"} << ""
            << QStringList{kCourseVideo, "clip.avi"} << 1;
    }

    void drop()
    {
        QFETCH(QString, window);
        QFETCH(QStringList, dropped);
        QFETCH(QString, loaded);
        QFETCH(QStringList, rows);
        QFETCH(int, boxes);
        support::WindowFixture f;
        mci::SimulatedMedia &media = f.simulateMedia();
        for (const char *name : {"clip.avi", "other.mpg"})
            media.addFile(fixture->path(name), 30000);
        forms::frmMain().Show();
        forms::frmPlaylist().AddEntry(kCourseVideo, "Introduction", "0:12");
        forms::frmPlaylist().Show();
        const auto key = [&](const QString &name) {
            return name.startsWith(u'/') ? name : fixture->path(name).toLower();
        };
        QMimeData data;
        QList<QUrl> urls;
        for (const QString &name : dropped)
            urls << QUrl::fromLocalFile(fixture->path(name));
        data.setUrls(urls);
        QWidget *target = window == QLatin1String("main")
                              ? static_cast<QWidget *>(&forms::frmMain().picVideo)
                              : static_cast<QWidget *>(&forms::frmPlaylist().lvPlaylist);
        // The toolkit hands a drop to the window that takes drops around the control under it.
        QWidget *receiver = target->window();
        QVERIFY(receiver->acceptDrops());
        QVERIFY(!target->acceptDrops());
        const QPoint at = target->mapTo(receiver, target->rect().center());

        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(receiver, &drop);
        QVERIFY(drop.isAccepted());

        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()),
                 loaded.isEmpty() ? QString() : key(loaded));
        QStringList keys;
        for (const QString &row : rows)
            keys << key(row);
        QCOMPARE(this->rows(), keys);
        QCOMPARE(int(f.boxes.size()), boxes);
    }

    // What the file manager drags that is no local file is not taken.
    void aDragOfNoFileIsRefused()
    {
        support::WindowFixture f;
        forms::frmMain().Show();
        QMimeData data;
        data.setUrls({QUrl(QStringLiteral("https://www.vorlund.example/"))});
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&forms::frmMain(), &enter);
        QVERIFY(!enter.isAccepted());
    }

    // The real program answers and ends before it needs a display.
    void helpAndVersionWithoutADisplay_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<QString>("output");
        QTest::newRow("--help") << "--help"
                                << "Usage: PellinPlayer [options] [files...]";
        QTest::newRow("--version") << "--version"
                                   << "PellinPlayer 2.1.0";
    }

    void helpAndVersionWithoutADisplay()
    {
        QFETCH(QString, option);
        QFETCH(QString, output);
        QProcess player;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            environment.remove(QString::fromLatin1(name));
        player.setProcessEnvironment(environment);
        player.start(QStringLiteral(PELLIN_PLAYER_PATH), {option});
        QVERIFY(player.waitForFinished(60000));
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(player.exitCode(), 0);
        QVERIFY2(QString::fromLocal8Bit(player.readAllStandardOutput()).contains(output),
                 qPrintable(player.readAllStandardError()));
    }
};

QTEST_MAIN(tst_CommandLine)
#include "tst_CommandLine.moc"

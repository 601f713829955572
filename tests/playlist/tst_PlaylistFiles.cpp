// Saving and opening the student's playlist files through the toolbar, on real files.
#include "common/Choosers.h"
#include "common/modGlobals.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "support/FileSizeLimit.h"
#include "support/Files.h"
#include "support/PlaylistRows.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <algorithm>

#include <optional>

using namespace modGlobals;
using support::kIntro;
using support::kWhite;
using support::kYellow;
using support::Row;
using support::writeFile;

namespace
{

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

} // namespace

class PlaylistFilesTest : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void saveAndOpenRoundTrip();
    void saveAddsTheExtension_data();
    void saveAddsTheExtension();
    void addedExtensionAsksBeforeReplacing();
    void laterSavesGoToTheSameFile();
    void saveOnEmptyListDoesNothing();
    void failedSaveKeepsTheOldFile();
    void openAcceptsEveryLineEndAndWindowsText();
    void openSkipsBadLinesAndSaysSo();
    void openIntoSortedListTakesSortedPlaces_data();
    void openIntoSortedListTakesSortedPlaces();
    void openOfUnreadableFileKeepsTheList_data();
    void openOfUnreadableFileKeepsTheList();
    void fileOpenedFromTheDesktopReplacesTheList();
    void whatIsNoListFileIsRefusedByName_data();
    void whatIsNoListFileIsRefusedByName();
    void largeListShowsProgressWhileTheWindowsAreDrawn();

  private:
    frmPlaylist &playlist() { return forms::frmPlaylist(); }
    std::vector<Row> rows();
    void fillThree();

    std::optional<support::WindowFixture> f;
};

std::vector<Row> PlaylistFilesTest::rows()
{
    return support::rowsOf(playlist().lvPlaylist);
}

void PlaylistFilesTest::fillThree()
{
    playlist().AddEntry("/course/intro.asf", "Intro", "0:12");
    playlist().AddEntry("/course/routing basics.avi", "routing basics", "12:40");
    playlist().AddEntry("/course/b.mpg", "Part A;Part B", "2:30");
}

void PlaylistFilesTest::init()
{
    f.emplace();
    QVERIFY(f->valid());
}

void PlaylistFilesTest::cleanup()
{
    f.reset();
}

void PlaylistFilesTest::saveAndOpenRoundTrip()
{
    fillThree();
    playlist().lvPlaylist.findKey("/course/b.mpg")->setForeColor(kYellow);
    const QString file = f->filePath("Lists/mylist");
    QVERIFY(QDir().mkpath(f->filePath("Lists")));
    f->chooserAnswers << file + QChar(u'\0');
    support::pressPlaylist("save");

    QCOMPARE(f->chooserCalls.size(), 1);
    QCOMPARE(f->chooserCalls[0].kind, ChooserKind::SaveFile);
    QCOMPARE(f->chooserCalls[0].title, QString("Save Pellin Playlist"));
    QCOMPARE(f->chooserCalls[0].filter, QString("Vorlund Playlist (*.PEL) |*.pel|"));
    QCOMPARE(f->chooserCalls[0].owner, playlist().hWnd());
    QCOMPARE(playlist().mSaveFile, file + ".pel");
    QCOMPARE(contentOf(file + ".pel"),
             QByteArray("/course/intro.asf;Intro;0:12\r\n"
                        "/course/routing basics.avi;routing basics;12:40\r\n"
                        "/course/b.mpg;Part A;Part B;2:30\r\n"));

    support::pressPlaylist("new");
    playlist().AddEntry("/other/x.avi", "x", "0:01");
    f->chooserAnswers << file + ".pel";
    support::pressPlaylist("open");
    QCOMPARE(f->chooserCalls[1].kind, ChooserKind::OpenFile);
    QCOMPARE(f->chooserCalls[1].title, QString("Open Pellin Playlist"));
    // The ";" inside the title splits it: the rest of the title becomes the length.
    QCOMPARE(rows(),
             (std::vector<Row>{{"/course/intro.asf", "Intro", "0:12", kIntro},
                               {"/course/routing basics.avi", "routing basics", "12:40", kWhite},
                               {"/course/b.mpg", "Part A", "Part B", kWhite}}));
    QVERIFY(f->boxes.empty());
    // The next playlist and media dialogs start in the playlist's folder.
    QCOMPARE(playlist().mDialogFolder, f->filePath("Lists") + "/");
    support::pressPlaylist("open");
    QCOMPARE(f->chooserCalls[2].initialFolder, f->filePath("Lists") + "/");
}

void PlaylistFilesTest::saveAddsTheExtension_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "mylist"
                                  << "mylist.pel";
    QTest::newRow("upper case extension") << "MYLIST.PEL"
                                          << "MYLIST.PEL";
    QTest::newRow("other extension") << "list.txt"
                                     << "list.txt.pel";
}

void PlaylistFilesTest::saveAddsTheExtension()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    fillThree();
    f->chooserAnswers << f->filePath(typed);
    support::pressPlaylist("save");
    QVERIFY(QFile::exists(f->filePath(written)));
    QCOMPARE(playlist().mSaveFile, f->filePath(written));
}

void PlaylistFilesTest::addedExtensionAsksBeforeReplacing()
{
    const QString existing = f->filePath("kept.pel");
    QVERIFY(writeFile(existing, "/old/a.avi;a;1:00\r\n"));
    fillThree();
    f->boxAnswer = toolkit::vbNo;
    f->chooserAnswers << f->filePath("kept");
    support::pressPlaylist("save");
    QCOMPARE(f->boxes.size(), std::size_t(1));
    QCOMPARE(f->boxes[0].style, toolkit::vbYesNo | toolkit::vbExclamation);
    QVERIFY(f->boxes[0].prompt.startsWith(existing));
    QCOMPARE(contentOf(existing), QByteArray("/old/a.avi;a;1:00\r\n"));
    QCOMPARE(playlist().mSaveFile, QString());

    f->boxAnswer = toolkit::vbYes;
    f->chooserAnswers << f->filePath("kept");
    support::pressPlaylist("save");
    QVERIFY(contentOf(existing).startsWith("/course/intro.asf;Intro;0:12\r\n"));
    QCOMPARE(playlist().mSaveFile, existing);
}

void PlaylistFilesTest::laterSavesGoToTheSameFile()
{
    fillThree();
    const QString first = f->filePath("first.pel");
    f->chooserAnswers << first;
    support::pressPlaylist("save");
    playlist().AddEntry("/course/extra.avi", "extra", "0:05");
    support::pressPlaylist("save");
    QCOMPARE(f->chooserCalls.size(), 1);
    QVERIFY(contentOf(first).endsWith("/course/extra.avi;extra;0:05\r\n"));

    // Opening another file leaves the remembered one: its list goes into the first file.
    const QString other = f->filePath("other.pel");
    QVERIFY(writeFile(other, "/elsewhere/z.avi;z;9:99\r\n"));
    f->chooserAnswers << other;
    support::pressPlaylist("open");
    support::pressPlaylist("save");
    QCOMPARE(f->chooserCalls.size(), 2);
    QCOMPARE(contentOf(first), QByteArray("/elsewhere/z.avi;z;9:99\r\n"));
    QCOMPARE(contentOf(other), QByteArray("/elsewhere/z.avi;z;9:99\r\n"));

    // After "new" the name is asked for again.
    support::pressPlaylist("new");
    playlist().AddEntry("/course/n.avi", "n", "0:01");
    support::pressPlaylist("save");
    QCOMPARE(f->chooserCalls.size(), 3);
    QCOMPARE(f->chooserCalls[2].kind, ChooserKind::SaveFile);
}

void PlaylistFilesTest::saveOnEmptyListDoesNothing()
{
    playlist().mSaveFile = f->filePath("remembered.pel");
    support::pressPlaylist("save");
    QVERIFY(f->chooserCalls.isEmpty());
    QVERIFY(!QFile::exists(f->filePath("remembered.pel")));
}

void PlaylistFilesTest::failedSaveKeepsTheOldFile()
{
    fillThree();
    const QString file = f->filePath("course.pel");
    f->chooserAnswers << file;
    support::pressPlaylist("save");
    const QByteArray saved = contentOf(file);
    QVERIFY(saved.startsWith("/course/intro.asf"));

    // A full disk, as far as this process can tell: no file may grow beyond a few bytes.
    for (int i = 0; i < 50; ++i)
        playlist().AddEntry(QStringLiteral("/course/more%1.avi").arg(i), "more", "0:01");
    {
        const FileSizeLimit limit(16);
        support::pressPlaylist("save");
    }
    QCOMPARE(contentOf(file), saved);
    QCOMPARE(f->boxes.size(), std::size_t(1));
    QCOMPARE(f->boxes[0].style, toolkit::vbOKOnly | toolkit::vbCritical);
    QVERIFY2(f->boxes[0].prompt.contains("Number: 75"), qPrintable(f->boxes[0].prompt));
    // The remembered file is forgotten: the next save asks where to write.
    QCOMPARE(playlist().mSaveFile, QString());
    QCOMPARE(playlist().MousePointer(), 0);
    f->chooserAnswers << file;
    support::pressPlaylist("save");
    QCOMPARE(f->chooserCalls.size(), 2);
    QVERIFY(contentOf(file).endsWith("/course/more49.avi;more;0:01\r\n"));
}

void PlaylistFilesTest::openAcceptsEveryLineEndAndWindowsText()
{
    const QString file = f->filePath("mixed.pel");
    QVERIFY(writeFile(file, "/v/a.avi;Caf\xe9;1:00\r\n/v/b.avi;na\xc3\xafve;2:00\n/v/c.ASF;c;3:00\r"
                            "\r\n/v/d.avi;d;4:00"));
    f->chooserAnswers << file;
    support::pressPlaylist("open");
    QCOMPARE(rows(),
             (std::vector<Row>{{"/v/a.avi", QString::fromUtf8("Caf\xc3\xa9"), "1:00", kWhite},
                               {"/v/b.avi", QString::fromUtf8("na\xc3\xafve"), "2:00", kWhite},
                               {"/v/c.ASF", "c", "3:00", kIntro},
                               {"/v/d.avi", "d", "4:00", kWhite}}));
    QVERIFY(f->boxes.empty());
}

void PlaylistFilesTest::openSkipsBadLinesAndSaysSo()
{
    const QString file = f->filePath("bad.pel");
    QVERIFY(writeFile(file, "/v/a.asf;Intro;1:00\r\n\r\n/v/short.avi;no length\r\n"
                            "/v/b.mpg;b;2:30;extra\r\n/V/A.ASF;again;1:00\r\n"));
    f->chooserAnswers << file;
    support::pressPlaylist("open");
    QCOMPARE(rows(), (std::vector<Row>{{"/v/a.asf", "Intro", "1:00", kIntro},
                                       {"/v/b.mpg", "b", "2:30", kWhite}}));
    QCOMPARE(f->boxes.size(), std::size_t(1));
    QCOMPARE(f->boxes[0].style, toolkit::vbOKOnly | toolkit::vbExclamation);
    QCOMPARE(f->boxes[0].title, kAppTitle);
    QVERIFY(f->boxes[0].prompt.contains("line 3 of"));
    QVERIFY(f->boxes[0].prompt.contains("line 5 of"));
}

void PlaylistFilesTest::openIntoSortedListTakesSortedPlaces_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QStringList>("keys");
    QTest::newRow("by name, descending") << 1 << QStringList({"/v/c.avi", "/v/b.avi", "/v/a.avi"});
    // Each entry takes its place by the length it is opened with; lengths compare as text.
    QTest::newRow("by length, descending")
        << 2 << QStringList({"/v/a.avi", "/v/b.avi", "/v/c.avi"});
}

void PlaylistFilesTest::openIntoSortedListTakesSortedPlaces()
{
    QFETCH(int, column);
    QFETCH(QStringList, keys);
    const QString file = f->filePath("sorted.pel");
    QVERIFY(writeFile(file, "/v/b.avi;bravo;10:00\r\n/v/a.avi;alpha;9:00\r\n"
                            "/v/c.avi;charlie;0:30\r\n"));
    playlist().lvPlaylist_ColumnClick(column);
    f->chooserAnswers << file;
    support::pressPlaylist("open");
    QStringList shown;
    for (const Row &row : rows())
        shown << row.key;
    QCOMPARE(shown, keys);
}

void PlaylistFilesTest::openOfUnreadableFileKeepsTheList_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("number");
    QTest::newRow("missing") << "missing.pel" << 53;
    QTest::newRow("missing folder") << "nofolder/x.pel" << 76;
    QTest::newRow("a folder") << "folder.pel" << 75;
}

void PlaylistFilesTest::openOfUnreadableFileKeepsTheList()
{
    QFETCH(QString, name);
    QFETCH(int, number);
    QVERIFY(QDir().mkpath(f->filePath("folder.pel")));
    fillThree();
    const std::vector<Row> before = rows();
    playlist().mDialogFolder = "/before/";
    f->chooserAnswers << f->filePath(name);
    support::pressPlaylist("open");
    QCOMPARE(rows(), before);
    QCOMPARE(playlist().mDialogFolder, QString("/before/"));
    QCOMPARE(f->boxes.size(), std::size_t(1));
    QCOMPARE(f->boxes[0].style, toolkit::vbOKOnly | toolkit::vbCritical);
    QVERIFY2(f->boxes[0].prompt.contains("Number: " + QString::number(number)),
             qPrintable(f->boxes[0].prompt));
    QCOMPARE(playlist().MousePointer(), 0);
}

// A .pel file opened from the desktop reaches the playlist without a dialog and is taken as if
// the student had chosen it.
void PlaylistFilesTest::fileOpenedFromTheDesktopReplacesTheList()
{
    fillThree();
    QVERIFY(QDir().mkpath(f->filePath("Lists")));
    const QString file = f->filePath("Lists/desk.pel");
    QVERIFY(writeFile(file, "/v/a.avi;A;1:00\r\nno separators\r\n/v/b.asf;B;0:20\r\n"));
    playlist().OpenPlaylistFile(file);
    QVERIFY(f->chooserCalls.isEmpty());
    QCOMPARE(rows(), (std::vector<Row>{{"/v/a.avi", "A", "1:00", kWhite},
                                       {"/v/b.asf", "B", "0:20", kIntro}}));
    QCOMPARE(playlist().mDialogFolder, f->filePath("Lists") + "/");
    QCOMPARE(f->boxes.size(), std::size_t(1));
    QVERIFY(f->boxes[0].prompt.contains("line 2 of"));
}

// A FIFO, a device, a folder, a link loop or a huge file, chosen in File > Open or given by the
// desktop: neither waited for nor read, one box names the file, the list stays.
void PlaylistFilesTest::whatIsNoListFileIsRefusedByName_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("fromTheDesktop");
    for (const char *kind : {"FIFO", "endless device", "folder", "link loop", "over the limit"}) {
        QTest::addRow("%s, File > Open", kind) << QString::fromLatin1(kind) << false;
        QTest::addRow("%s, from the desktop", kind) << QString::fromLatin1(kind) << true;
    }
}

void PlaylistFilesTest::whatIsNoListFileIsRefusedByName()
{
    QFETCH(QString, kind);
    QFETCH(bool, fromTheDesktop);
    const QString path = f->filePath("list.pel");
    QVERIFY(support::makeNoListFile(kind, path));
    fillThree();
    const std::vector<Row> before = rows();
    if (fromTheDesktop) {
        // As the program takes the file its command line names.
        Trap([&] { playlist().OpenPlaylistFile(path); });
    } else {
        f->chooserAnswers << path;
        support::pressPlaylist("open");
    }
    QCOMPARE(rows(), before);
    QCOMPARE(f->boxes.size(), std::size_t(1));
    const QString prompt = f->boxes[0].prompt;
    QVERIFY2(prompt.contains("Number: 75"), qPrintable(prompt));
    QVERIFY2(prompt.contains(path + ' ' + support::whyNoListFile(kind)), qPrintable(prompt));
}

// A list that takes a while to read shows how far it has come in the main window's status bar,
// and the program's timers run meanwhile: the windows are drawn and answer the desktop.
void PlaylistFilesTest::largeListShowsProgressWhileTheWindowsAreDrawn()
{
    constexpr int kEntries = 150000;
    frmMain &main = forms::frmMain();
    main.sbStatus.Panels(1).setText("Module 1");
    QByteArray content;
    for (int i = 0; i < kEntries; ++i)
        content += "/course/videos/module " + QByteArray::number(i) + ".avi;Module " +
                   QByteArray::number(i) + ";10:00\r\n";
    const QString path = f->filePath("large.pel");
    QVERIFY(writeFile(path, content));

    QStringList shown;
    QTimer watch;
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [&] {
        const QString text = main.sbStatus.Panels(1).Text();
        if (shown.isEmpty() || shown.last() != text)
            shown << text;
    });
    watch.start();
    f->chooserAnswers << path;
    support::pressPlaylist("open");
    watch.stop();

    QCOMPARE(playlist().lvPlaylist.Count(), kEntries);
    QVERIFY(f->boxes.empty());
    QCOMPARE(main.sbStatus.Panels(1).Text(), QString("Module 1"));
    const auto showing = [&](const QString &start) {
        return std::any_of(shown.begin(), shown.end(),
                           [&](const QString &text) { return text.startsWith(start); });
    };
    QVERIFY2(showing("Reading large.pel: "), qPrintable(shown.join(" | ")));
    QVERIFY2(showing("Listing the videos: "), qPrintable(shown.join(" | ")));
}

QTEST_MAIN(PlaylistFilesTest)
#include "tst_PlaylistFiles.moc"

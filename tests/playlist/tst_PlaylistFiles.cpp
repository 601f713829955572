// Saving and opening the student's playlist files through the toolbar, on real files.
#include "PlaylistRows.h"
#include "common/Choosers.h"
#include "common/modGlobals.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/resource.h>

#include <csignal>

using namespace modGlobals;

namespace
{

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Lets no file of this process grow beyond `bytes` while it lives; a write past the limit fails
// instead of ending the process.
class FileSizeLimit
{
  public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &mOld);
        rlimit limited = mOld;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { setrlimit(RLIMIT_FSIZE, &mOld); }
    FileSizeLimit(const FileSizeLimit &) = delete;
    FileSizeLimit &operator=(const FileSizeLimit &) = delete;

  private:
    rlimit mOld{};
};

void writeRaw(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
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
    void openOfUnreadableFileKeepsTheList_data();
    void openOfUnreadableFileKeepsTheList();
    void fileOpenedFromTheDesktopReplacesTheList();

  private:
    frmPlaylist &playlist() { return forms::frmPlaylist(); }
    void click(const char *key)
    {
        playlist().tlbPlaylist_ButtonClick(playlist().tlbPlaylist.Buttons(key));
    }
    std::vector<Row> rows();
    void fillThree();

    QTemporaryDir mTemp;
    QStringList mAnswers;
    QList<ChooserCall> mChooserCalls;
    std::vector<toolkit::MessageBoxCall> mBoxes;
    int mBoxAnswer = toolkit::vbOK;
};

std::vector<Row> PlaylistFilesTest::rows()
{
    return rowsOf(playlist().lvPlaylist);
}

void PlaylistFilesTest::fillThree()
{
    playlist().AddEntry("/course/intro.asf", "Intro", "0:12");
    playlist().AddEntry("/course/routing basics.avi", "routing basics", "12:40");
    playlist().AddEntry("/course/b.mpg", "Part A;Part B", "2:30");
}

void PlaylistFilesTest::init()
{
    QVERIFY(mTemp.isValid());
    mAnswers.clear();
    mChooserCalls.clear();
    mBoxes.clear();
    mBoxAnswer = toolkit::vbOK;
    setChooserHandler([this](const ChooserCall &call) {
        mChooserCalls << call;
        return mAnswers.isEmpty() ? QString() : mAnswers.takeFirst();
    });
    toolkit::setMessageBoxHandler([this](const toolkit::MessageBoxCall &call) {
        mBoxes.push_back(call);
        return mBoxAnswer;
    });
}

void PlaylistFilesTest::cleanup()
{
    for (toolkit::Form *form : toolkit::loadedForms())
        form->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    setChooserHandler({});
    toolkit::setMessageBoxHandler({});
}

void PlaylistFilesTest::saveAndOpenRoundTrip()
{
    fillThree();
    playlist().lvPlaylist.findKey("/course/b.mpg")->setForeColor(kYellow);
    const QString file = mTemp.filePath("Lists/mylist");
    QVERIFY(QDir().mkpath(mTemp.filePath("Lists")));
    mAnswers << file + QChar(u'\0');
    click("save");

    QCOMPARE(mChooserCalls.size(), 1);
    QCOMPARE(mChooserCalls[0].kind, ChooserKind::SaveFile);
    QCOMPARE(mChooserCalls[0].title, QString("Save Pellin Playlist"));
    QCOMPARE(mChooserCalls[0].filter, QString("Vorlund Playlist (*.PEL) |*.pel|"));
    QCOMPARE(mChooserCalls[0].owner, playlist().hWnd());
    QCOMPARE(playlist().mSaveFile, file + ".pel");
    QCOMPARE(contentOf(file + ".pel"),
             QByteArray("/course/intro.asf;Intro;0:12\r\n"
                        "/course/routing basics.avi;routing basics;12:40\r\n"
                        "/course/b.mpg;Part A;Part B;2:30\r\n"));

    click("new");
    playlist().AddEntry("/other/x.avi", "x", "0:01");
    mAnswers << file + ".pel";
    click("open");
    QCOMPARE(mChooserCalls[1].kind, ChooserKind::OpenFile);
    QCOMPARE(mChooserCalls[1].title, QString("Open Pellin Playlist"));
    // The ";" inside the title splits it: the rest of the title becomes the length.
    QCOMPARE(rows(),
             (std::vector<Row>{{"/course/intro.asf", "Intro", "0:12", kIntro},
                               {"/course/routing basics.avi", "routing basics", "12:40", kWhite},
                               {"/course/b.mpg", "Part A", "Part B", kWhite}}));
    QVERIFY(mBoxes.empty());
    // The next playlist and media dialogs start in the playlist's folder.
    QCOMPARE(playlist().mDialogFolder, mTemp.filePath("Lists") + "/");
    click("open");
    QCOMPARE(mChooserCalls[2].initialFolder, mTemp.filePath("Lists") + "/");
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
    mAnswers << mTemp.filePath(typed);
    click("save");
    QVERIFY(QFile::exists(mTemp.filePath(written)));
    QCOMPARE(playlist().mSaveFile, mTemp.filePath(written));
}

void PlaylistFilesTest::addedExtensionAsksBeforeReplacing()
{
    const QString existing = mTemp.filePath("kept.pel");
    writeRaw(existing, "/old/a.avi;a;1:00\r\n");
    fillThree();
    mBoxAnswer = toolkit::vbNo;
    mAnswers << mTemp.filePath("kept");
    click("save");
    QCOMPARE(mBoxes.size(), std::size_t(1));
    QCOMPARE(mBoxes[0].style, toolkit::vbYesNo | toolkit::vbExclamation);
    QVERIFY(mBoxes[0].prompt.startsWith(existing));
    QCOMPARE(contentOf(existing), QByteArray("/old/a.avi;a;1:00\r\n"));
    QCOMPARE(playlist().mSaveFile, QString());

    mBoxAnswer = toolkit::vbYes;
    mAnswers << mTemp.filePath("kept");
    click("save");
    QVERIFY(contentOf(existing).startsWith("/course/intro.asf;Intro;0:12\r\n"));
    QCOMPARE(playlist().mSaveFile, existing);
}

void PlaylistFilesTest::laterSavesGoToTheSameFile()
{
    fillThree();
    const QString first = mTemp.filePath("first.pel");
    mAnswers << first;
    click("save");
    playlist().AddEntry("/course/extra.avi", "extra", "0:05");
    click("save");
    QCOMPARE(mChooserCalls.size(), 1);
    QVERIFY(contentOf(first).endsWith("/course/extra.avi;extra;0:05\r\n"));

    // Opening another file leaves the remembered one: its list goes into the first file.
    const QString other = mTemp.filePath("other.pel");
    writeRaw(other, "/elsewhere/z.avi;z;9:99\r\n");
    mAnswers << other;
    click("open");
    click("save");
    QCOMPARE(mChooserCalls.size(), 2);
    QCOMPARE(contentOf(first), QByteArray("/elsewhere/z.avi;z;9:99\r\n"));
    QCOMPARE(contentOf(other), QByteArray("/elsewhere/z.avi;z;9:99\r\n"));

    // After "new" the name is asked for again.
    click("new");
    playlist().AddEntry("/course/n.avi", "n", "0:01");
    click("save");
    QCOMPARE(mChooserCalls.size(), 3);
    QCOMPARE(mChooserCalls[2].kind, ChooserKind::SaveFile);
}

void PlaylistFilesTest::saveOnEmptyListDoesNothing()
{
    playlist().mSaveFile = mTemp.filePath("remembered.pel");
    click("save");
    QVERIFY(mChooserCalls.isEmpty());
    QVERIFY(!QFile::exists(mTemp.filePath("remembered.pel")));
}

void PlaylistFilesTest::failedSaveKeepsTheOldFile()
{
    fillThree();
    const QString file = mTemp.filePath("course.pel");
    mAnswers << file;
    click("save");
    const QByteArray saved = contentOf(file);
    QVERIFY(saved.startsWith("/course/intro.asf"));

    // A full disk, as far as this process can tell: no file may grow beyond a few bytes.
    for (int i = 0; i < 50; ++i)
        playlist().AddEntry(QStringLiteral("/course/more%1.avi").arg(i), "more", "0:01");
    {
        const FileSizeLimit limit(16);
        click("save");
    }
    QCOMPARE(contentOf(file), saved);
    QCOMPARE(mBoxes.size(), std::size_t(1));
    QCOMPARE(mBoxes[0].style, toolkit::vbOKOnly | toolkit::vbCritical);
    QVERIFY2(mBoxes[0].prompt.contains("Number: 75"), qPrintable(mBoxes[0].prompt));
    // The remembered file is forgotten: the next save asks where to write.
    QCOMPARE(playlist().mSaveFile, QString());
    QCOMPARE(playlist().MousePointer(), 0);
    mAnswers << file;
    click("save");
    QCOMPARE(mChooserCalls.size(), 2);
    QVERIFY(contentOf(file).endsWith("/course/more49.avi;more;0:01\r\n"));
}

void PlaylistFilesTest::openAcceptsEveryLineEndAndWindowsText()
{
    const QString file = mTemp.filePath("mixed.pel");
    writeRaw(file, "/v/a.avi;Caf\xe9;1:00\r\n/v/b.avi;na\xc3\xafve;2:00\n/v/c.ASF;c;3:00\r"
                   "\r\n/v/d.avi;d;4:00");
    mAnswers << file;
    click("open");
    QCOMPARE(rows(),
             (std::vector<Row>{{"/v/a.avi", QString::fromUtf8("Caf\xc3\xa9"), "1:00", kWhite},
                               {"/v/b.avi", QString::fromUtf8("na\xc3\xafve"), "2:00", kWhite},
                               {"/v/c.ASF", "c", "3:00", kIntro},
                               {"/v/d.avi", "d", "4:00", kWhite}}));
    QVERIFY(mBoxes.empty());
}

void PlaylistFilesTest::openSkipsBadLinesAndSaysSo()
{
    const QString file = mTemp.filePath("bad.pel");
    writeRaw(file, "/v/a.asf;Intro;1:00\r\n\r\n/v/short.avi;no length\r\n"
                   "/v/b.mpg;b;2:30;extra\r\n/V/A.ASF;again;1:00\r\n");
    mAnswers << file;
    click("open");
    QCOMPARE(rows(), (std::vector<Row>{{"/v/a.asf", "Intro", "1:00", kIntro},
                                       {"/v/b.mpg", "b", "2:30", kWhite}}));
    QCOMPARE(mBoxes.size(), std::size_t(1));
    QCOMPARE(mBoxes[0].style, toolkit::vbOKOnly | toolkit::vbExclamation);
    QCOMPARE(mBoxes[0].title, kAppTitle);
    QVERIFY(mBoxes[0].prompt.contains("line 3 of"));
    QVERIFY(mBoxes[0].prompt.contains("line 5 of"));
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
    QVERIFY(QDir().mkpath(mTemp.filePath("folder.pel")));
    fillThree();
    const std::vector<Row> before = rows();
    playlist().mDialogFolder = "/before/";
    mAnswers << mTemp.filePath(name);
    click("open");
    QCOMPARE(rows(), before);
    QCOMPARE(playlist().mDialogFolder, QString("/before/"));
    QCOMPARE(mBoxes.size(), std::size_t(1));
    QCOMPARE(mBoxes[0].style, toolkit::vbOKOnly | toolkit::vbCritical);
    QVERIFY2(mBoxes[0].prompt.contains("Number: " + QString::number(number)),
             qPrintable(mBoxes[0].prompt));
    QCOMPARE(playlist().MousePointer(), 0);
}

// A .pel file opened from the desktop reaches the playlist without a dialog and is taken as if
// the student had chosen it.
void PlaylistFilesTest::fileOpenedFromTheDesktopReplacesTheList()
{
    fillThree();
    QVERIFY(QDir().mkpath(mTemp.filePath("Lists")));
    const QString file = mTemp.filePath("Lists/desk.pel");
    writeRaw(file, "/v/a.avi;A;1:00\r\nno separators\r\n/v/b.asf;B;0:20\r\n");
    playlist().OpenPlaylistFile(file);
    QVERIFY(mChooserCalls.isEmpty());
    QCOMPARE(rows(), (std::vector<Row>{{"/v/a.avi", "A", "1:00", kWhite},
                                       {"/v/b.asf", "B", "0:20", kIntro}}));
    QCOMPARE(playlist().mDialogFolder, mTemp.filePath("Lists") + "/");
    QCOMPARE(mBoxes.size(), std::size_t(1));
    QVERIFY(mBoxes[0].prompt.contains("line 2 of"));
}

QTEST_MAIN(PlaylistFilesTest)
#include "tst_PlaylistFiles.moc"

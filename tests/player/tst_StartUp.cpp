#include "common/CourseIndex.h"
#include "common/modGlobals.h"
#include "player/frmMain.h"
#include "player/frmSplash.h"
#include "playlist/frmPlaylist.h"
#include "support/Files.h"
#include "support/PlaylistRows.h"
#include "support/WindowFixture.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"
#include "toolkit/Units.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QRegularExpression>
#include <QScreen>
#include <QTest>

#include <optional>

using namespace modGlobals;
using support::CourseFolder;
using support::Row;

namespace
{

const QString kBaseCaption = QStringLiteral("Vorlund - IT Certification Videos -");

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// Runs the start-up as the program does: the splash window is the first thing created.
void start()
{
    forms::frmSplash();
}

} // namespace

class StartUpTest : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void courseIndexFillsThePlaylist();
    void captionLines_data();
    void captionLines();
    void badLinesAreReportedOnceAndSkipped();
    void aHugeBadIndexGivesOneBoxThatFitsTheScreen();
    void missingIndexLeavesEmptyPlaylist();
    void indexThatIsNoFileIsRefusedByName_data();
    void indexThatIsNoFileIsRefusedByName();
    void installedPlayerStartsWithoutReport();
    void readerProbe_data();
    void readerProbe();
    void readerMissingAnsweredYesStartsInstaller();
    void readerMissingAnsweredNoGoesOn();
    void readerMissingYesWhereNothingCanRunGoesOn_data();
    void readerMissingYesWhereNothingCanRunGoesOn();
    void mainWindowCentredAtItsLargeSize();
    void initTimerShowsPlaylist();
    void initTimerWhileMinimised();
    void getScreenResolution();

  private:
    std::optional<support::WindowFixture> f;
};

// Everything the start-up touches outside the program is scripted.
void StartUpTest::init()
{
    f.emplace();
    QVERIFY(f->valid());
    f->useCourseFolder();
    f->scriptReaderKeys();
    f->recorder.emplace();
    f->shell.emplace();
}

void StartUpTest::cleanup()
{
    f.reset();
}

void StartUpTest::courseIndexFillsThePlaylist()
{
    f->course->writeIndex({"", "\\intro.ASF;Welcome;1:05", "\\m1.avi;Module 1;20:00",
                           "\\Labs\\m2.mpg; Module 2 ;3:10;extra", "", "\\m3.avi;Has: colon;0:30",
                           "\\clip.asf ;Trailing blank;0:10"});
    start();

    QVERIFY(!forms::frmSplashLoaded());
    QVERIFY(f->boxes.empty());
    QCOMPARE(gMediaRoot, native(f->course->root()).toLower());
    frmMain &main = forms::frmMain();
    QVERIFY(main.Visible());
    QCOMPARE(main.Caption(), kBaseCaption);
    QVERIFY(!main.picVideo.HasPicture());
    QCOMPARE(main.picVideo.BackColor(), 0x00400000u);

    frmPlaylist &playlist = forms::frmPlaylist();
    QVERIFY(!playlist.Visible());
    const std::vector<Row> expected{
        {CourseFolder::keyOf(native("/intro.asf")), "Welcome", "1:05", support::kIntro},
        {CourseFolder::keyOf(native("/m1.avi")), "Module 1", "20:00", support::kWhite},
        {CourseFolder::keyOf(native("/labs/m2.mpg")), " Module 2 ", "3:10", support::kWhite},
        {CourseFolder::keyOf(native("/m3.avi")), "Has: colon", "0:30", support::kWhite},
        // The last three characters are "sf ": no intro.
        {CourseFolder::keyOf(native("/clip.asf ")), "Trailing blank", "0:10", support::kWhite},
    };
    QCOMPARE(support::rowsOf(playlist.lvPlaylist), expected);
    QCOMPARE(playlist.lvPlaylist.Item(1).SmallIcon(), QString("file"));
    QCOMPARE(playlist.lvPlaylist.BackColor(), frmPlaylist::kListBackColour);
}

void StartUpTest::captionLines_data()
{
    QTest::addColumn<QStringList>("index");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("picture");
    QTest::newRow("one caption line")
        << QStringList{"  Networking :0:unused:\\Pictures\\Course.png", "\\m1.avi;Module 1;20:00"}
        << kBaseCaption + " (Networking)" << QSize(64, 48);
    QTest::newRow("two caption lines, the second picture wins")
        << QStringList{"Networking:0::\\Pictures\\Course.png", "\\m1.avi;Module 1;20:00",
                       "Routing:12:x:\\second.png"}
        << kBaseCaption + " (Networking) (Routing)" << QSize(32, 16);
}

void StartUpTest::captionLines()
{
    QFETCH(QStringList, index);
    QFETCH(QString, caption);
    QFETCH(QSize, picture);
    QDir().mkpath(f->course->root() + "/Pictures");
    f->course->writePicture("/Pictures/Course.png", QSize(64, 48));
    f->course->writePicture("/second.png", QSize(32, 16));
    f->course->writeIndex(index);
    start();

    QCOMPARE(f->boxes.size(), 0u);
    frmMain &main = forms::frmMain();
    QCOMPARE(main.Caption(), caption);
    QVERIFY(main.picVideo.HasPicture());
    QCOMPARE(main.picVideo.Picture().size(), picture);
    QCOMPARE(forms::frmPlaylist().lvPlaylist.Count(), 1);
    // The Playlist button keeps its coloured caption.
    QCOMPARE(main.cmdPList.property("VBTCustom").toInt(), 1);
    QCOMPARE(main.cmdPList.property("VBTForeColor").toUInt(), 0x00800000u);
}

void StartUpTest::badLinesAreReportedOnceAndSkipped()
{
    f->course->writeIndex({"\\m1.avi;Module 1;20:00", "\\short.avi;only two", "   ",
                           "\\m2.avi;Module 2;5:00", "Course:abc:x:\\pic.png",
                           "\\M1.AVI;Module 1 again;20:00", "Course:0:x:\\missing.png",
                           "\\m3.avi;Module 3;7:00"});
    start();

    QCOMPARE(f->boxes.size(), 1u);
    const toolkit::MessageBoxCall &box = f->boxes[0];
    QCOMPARE(box.style, toolkit::vbOKOnly | toolkit::vbCritical);
    QCOMPARE(box.title, kAppTitle);
    for (const char *line : {"line 2 ", "line 3 ", "line 5 ", "line 6 ", "missing.png"})
        QVERIFY2(box.prompt.contains(line), qPrintable(box.prompt));
    QVERIFY(!box.prompt.contains("line 1 "));
    QVERIFY(!box.prompt.contains("line 4 "));

    QVERIFY(forms::frmMain().Visible());
    toolkit::ListView &list = forms::frmPlaylist().lvPlaylist;
    QCOMPARE(list.Count(), 3);
    QCOMPARE(list.Item(1).Text(), QString("Module 1"));
    QCOMPARE(list.Item(2).Text(), QString("Module 2"));
    QCOMPARE(list.Item(3).Text(), QString("Module 3"));
    QVERIFY(forms::frmMain().tmrInitPlaylist.Enabled());
}

// 100,000 lines, all but 250 of them skipped: repeated entries, entries without a length, caption
// lines whose number is none, lines of blanks. The start-up finishes with one box that names the
// first lines, says how many more there were, and fits the screen.
void StartUpTest::aHugeBadIndexGivesOneBoxThatFitsTheScreen()
{
    constexpr int kLines = 100000;
    constexpr int kVideos = 250;
    QStringList index;
    index.reserve(kLines);
    for (int i = 0; i < kLines; ++i) {
        switch (i % 4) {
        case 0:
            index << QString("\\videos\\module %1.avi;Module %1;10:00").arg(i / 4 % kVideos);
            break;
        case 1:
            index << "\\videos\\short.avi;only two";
            break;
        case 2:
            index << "Course:abc:x:\\pic.png";
            break;
        default:
            index << "   ";
        }
    }
    f->course->writeIndex(index);
    start();

    QVERIFY(!forms::frmSplashLoaded());
    QVERIFY(forms::frmMain().Visible());
    QCOMPARE(forms::frmPlaylist().lvPlaylist.Count(), kVideos);
    QCOMPARE(f->boxes.size(), 1u);
    const QString &prompt = f->boxes[0].prompt;
    // Entries are lines 1, 5, 9 and so on; the twentieth skipped line is line 27.
    for (const char *line : {"line 2 ", "line 3 ", "line 4 ", "line 6 ", "line 27 "})
        QVERIFY2(prompt.contains(line), qPrintable(prompt));
    QVERIFY2(!prompt.contains("line 28 "), qPrintable(prompt));
    QVERIFY2(prompt.contains(QString("and %1 more.").arg(kLines - kVideos - 20)),
             qPrintable(prompt));
    // The six lines of the report, the first holding the heading, then twenty named lines and
    // the count, none wider than a short sentence.
    const QStringList lines = prompt.split("\r\n");
    QCOMPARE(lines.size(), 6 + 21);
    for (const QString &line : lines)
        QVERIFY2(line.size() <= 70, qPrintable(line));

    const std::unique_ptr<QMessageBox> box = toolkit::makeMessageBox(f->boxes[0]);
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    const QRect available = box->screen()->availableGeometry();
    QVERIFY2(available.contains(box->frameGeometry()),
             qPrintable(QString("%1x%2 at %3,%4 on %5x%6")
                            .arg(box->frameGeometry().width())
                            .arg(box->frameGeometry().height())
                            .arg(box->frameGeometry().x())
                            .arg(box->frameGeometry().y())
                            .arg(available.width())
                            .arg(available.height())));
}

void StartUpTest::missingIndexLeavesEmptyPlaylist()
{
    start();
    QCOMPARE(f->boxes.size(), 1u);
    QVERIFY(f->boxes[0].prompt.contains("index.dat"));
    QCOMPARE(f->boxes[0].style, toolkit::vbOKOnly | toolkit::vbCritical);
    QVERIFY(forms::frmMain().Visible());
    QCOMPARE(forms::frmMain().Caption(), kBaseCaption);
    QCOMPARE(forms::frmPlaylist().lvPlaylist.Count(), 0);
    QVERIFY(!forms::frmSplashLoaded());
}

// An index that is a FIFO, a device, a folder, a link loop or a huge file is neither waited for
// nor read: the start-up goes on with an empty playlist and one box says why.
void StartUpTest::indexThatIsNoFileIsRefusedByName_data()
{
    QTest::addColumn<QString>("kind");
    for (const char *kind : {"FIFO", "endless device", "folder", "link loop", "over the limit"})
        QTest::newRow(kind) << QString::fromLatin1(kind);
}

void StartUpTest::indexThatIsNoFileIsRefusedByName()
{
    QFETCH(QString, kind);
    QVERIFY(support::makeNoListFile(kind, f->course->bin() + "/index.dat"));
    start();
    QCOMPARE(f->boxes.size(), 1u);
    const QString prompt = f->boxes[0].prompt;
    QVERIFY2(prompt.contains("index.dat " + support::whyNoListFile(kind)), qPrintable(prompt));
    QVERIFY(forms::frmMain().Visible());
    QCOMPARE(forms::frmPlaylist().lvPlaylist.Count(), 0);
    QVERIFY(!forms::frmSplashLoaded());
}

// The installed player, started from the desktop's menu: its desktop entry lies where the
// install rules put it, and no course is beside it.
void StartUpTest::installedPlayerStartsWithoutReport()
{
    const QString entry = QDir(f->course->bin()).filePath(pellin::installedDesktopEntry());
    QVERIFY(QDir().mkpath(QFileInfo(entry).path()));
    QFile file(entry);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    start();
    QVERIFY(f->boxes.empty());
    QVERIFY(!forms::frmSplashLoaded());
    QVERIFY(forms::frmMain().Visible());
    QCOMPARE(forms::frmMain().Caption(), kBaseCaption);
    QCOMPARE(forms::frmPlaylist().lvPlaylist.Count(), 0);
    QVERIFY(forms::frmMain().tmrInitPlaylist.Enabled());
}

void StartUpTest::readerProbe_data()
{
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QStringList>("asked");
    QTest::newRow("no Adobe key: nothing further probed")
        << false << QStringList{"Software\\Adobe"};
    QTest::newRow("Adobe key: all three probed in order")
        << true
        << QStringList{"Software\\Adobe", "Software\\Adobe\\Acrobat Reader",
                       "Software\\Adobe\\Acrobat", "Software\\Adobe\\Reader"};
}

void StartUpTest::readerProbe()
{
    QFETCH(bool, installed);
    QFETCH(QStringList, asked);
    f->readerInstalled = installed;
    f->boxAnswer = toolkit::vbNo;
    f->course->writeIndex({"\\m1.avi;Module 1;20:00"});
    start();
    QStringList keys;
    for (const std::string &key : f->askedKeys)
        keys << QString::fromStdString(key);
    QCOMPARE(keys, asked);
    QCOMPARE(gReaderInstalled, installed);
}

void StartUpTest::readerMissingAnsweredYesStartsInstaller()
{
    f->readerInstalled = false;
    f->boxAnswer = toolkit::vbYes;
    f->course->writeIndex({"\\m1.avi;Module 1;20:00"});
    start();

    QCOMPARE(f->boxes.size(), 1u);
    QCOMPARE(f->boxes[0].prompt,
             QString("Adobe Acrobat Reader is required for documentation and support "
                     "functionality.\r\n\r\nWould you like to install Adobe Acrobat Reader 5.0 "
                     "now?"));
    QCOMPARE(f->boxes[0].style, toolkit::vbYesNo | toolkit::vbExclamation);
    QCOMPARE(f->boxes[0].title, QString("Vorlund - IT Certification Videos v2.1.0"));

    QCOMPARE(f->shell->calls().size(), 1u);
    const shell::Call &call = f->shell->calls()[0];
    QCOMPARE(call.opening, shell::Opening::Program);
    QCOMPARE(call.verb, QString("open"));
    QCOMPARE(call.file, native(f->course->root().toLower() + "/bin/ar500enu.exe"));
    QVERIFY(call.parameters.isEmpty());
    QVERIFY(call.directory.isEmpty());
    QCOMPARE(call.show, shell::ShowNormal);

    QVERIFY(toolkit::loadedForms().empty());
    QVERIFY(!forms::frmSplashLoaded());
    QVERIFY(f->recorder->commands().isEmpty());
}

void StartUpTest::readerMissingAnsweredNoGoesOn()
{
    f->readerInstalled = false;
    f->boxAnswer = toolkit::vbNo;
    f->course->writeIndex({"\\m1.avi;Module 1;20:00"});
    start();
    QCOMPARE(f->boxes.size(), 1u);
    QVERIFY(f->shell->calls().empty());
    QVERIFY(!gReaderInstalled);
    QVERIFY(forms::frmMain().Visible());
    QCOMPARE(forms::frmPlaylist().lvPlaylist.Count(), 1);
}

void StartUpTest::readerMissingYesWhereNothingCanRunGoesOn_data()
{
    QTest::addColumn<int>("answer");
    QTest::newRow("a Windows installer") << shell::result::BadFormat;
    QTest::newRow("no installer on the course") << shell::result::FileNotFound;
    QTest::newRow("an installer that may not run") << shell::result::AccessDenied;
}

// The question stays as written, and Yes asks the shell for the course's installer; where
// nothing can run it the player starts as after No instead of ending.
void StartUpTest::readerMissingYesWhereNothingCanRunGoesOn()
{
    QFETCH(int, answer);
    f->shell.emplace(answer);
    f->readerInstalled = false;
    f->boxAnswer = toolkit::vbYes;
    f->course->writeIndex({"\\m1.avi;Module 1;20:00"});
    start();
    QCOMPARE(f->boxes.size(), 1u);
    QCOMPARE(f->shell->calls().size(), 1u);
    QCOMPARE(f->shell->calls()[0].file, native(f->course->root().toLower() + "/bin/ar500enu.exe"));
    QVERIFY(!gReaderInstalled);
    QVERIFY(forms::frmMain().Visible());
    QCOMPARE(forms::frmPlaylist().lvPlaylist.Count(), 1);
}

void StartUpTest::mainWindowCentredAtItsLargeSize()
{
    f->course->writeIndex({"\\m1.avi;Module 1;20:00"});
    start();
    frmMain &main = forms::frmMain();
    QCOMPARE(main.Width(), 9735);
    QCOMPARE(main.Height(), 8730);
    QCOMPARE(main.Left(), (toolkit::screenWidth() - 9735) / 2);
    QCOMPARE(main.Top(), (toolkit::screenHeight() - 8730) / 2);
    QVERIFY(gMCI);
    QCOMPARE(gScreenRes, GetScreenResolution());

    frmPlaylist &playlist = forms::frmPlaylist();
    QCOMPARE(playlist.Left(), (toolkit::screenWidth() - playlist.Width()) / 2);
    QCOMPARE(playlist.Top(), (toolkit::screenHeight() - playlist.Height()) / 2);
}

void StartUpTest::initTimerShowsPlaylist()
{
    f->course->writeIndex({"\\m1.avi;Module 1;20:00"});
    start();
    frmMain &main = forms::frmMain();
    QVERIFY(main.tmrInitPlaylist.Enabled());
    QCOMPARE(main.tmrInitPlaylist.Interval(), 4000);
    QCOMPARE(main.cmdPList.Tag(), QString("1"));
    QVERIFY(!forms::frmPlaylist().Visible());

    main.tmrInitPlaylist.tick();
    QVERIFY(!main.tmrInitPlaylist.Enabled());
    QCOMPARE(main.cmdPList.Tag(), QString("0"));
    QVERIFY(forms::frmPlaylist().Visible());
    QCOMPARE(forms::frmPlaylist().Owner(), &main);
    QVERIFY(main.mnuExpanded.Checked());
    QVERIFY(!main.mnuCollapse.Checked());
}

void StartUpTest::initTimerWhileMinimised()
{
    f->course->writeIndex({"\\m1.avi;Module 1;20:00"});
    start();
    frmMain &main = forms::frmMain();
    main.setWindowState(1);
    QCOMPARE(main.WindowState(), 1);
    main.tmrInitPlaylist_Timer();
    QVERIFY(!main.tmrInitPlaylist.Enabled());
    QVERIFY(!forms::frmPlaylist().Visible());
    QCOMPARE(main.cmdPList.Tag(), QString("1"));
    QVERIFY(main.mnuCollapse.Checked());
}

void StartUpTest::getScreenResolution()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    const QSize pixels = screen->size() * screen->devicePixelRatio();
    const QString resolution = GetScreenResolution();
    QCOMPARE(resolution, QStringLiteral("%1x%2").arg(pixels.width()).arg(pixels.height()));
    QVERIFY(QRegularExpression(QStringLiteral("^[1-9][0-9]*x[1-9][0-9]*$"))
                .match(resolution)
                .hasMatch());
}

QTEST_MAIN(StartUpTest)
#include "tst_StartUp.moc"

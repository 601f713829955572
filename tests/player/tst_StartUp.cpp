#include "PlayerHarness.h"
#include "common/CourseIndex.h"
#include "toolkit/Units.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <optional>

using namespace modGlobals;

namespace
{

const QString kBaseCaption = QStringLiteral("Vorlund - IT Certification Videos -");

QString native(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

struct Row {
    QString key;
    QString title;
    QString length;
    std::uint32_t colour;
    bool operator==(const Row &) const = default;
};

std::vector<Row> rowsOf(toolkit::ListView &list)
{
    std::vector<Row> rows;
    for (int i = 1; i <= list.Count(); ++i) {
        const toolkit::ListItem item = list.Item(i);
        rows.push_back({item.Key(), item.Text(), item.SubItem(1), item.ForeColor()});
    }
    return rows;
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
    void missingIndexLeavesEmptyPlaylist();
    void installedPlayerStartsWithoutReport();
    void readerProbe_data();
    void readerProbe();
    void readerMissingAnsweredYesStartsInstaller();
    void readerMissingAnsweredNoGoesOn();
    void mainWindowCentredAtItsLargeSize();
    void initTimerShowsPlaylist();
    void initTimerWhileMinimised();

  private:
    std::optional<PlayerHarness> h;
};

void StartUpTest::init()
{
    h.emplace();
    QVERIFY(h->course.valid());
}

void StartUpTest::cleanup()
{
    h.reset();
}

void StartUpTest::courseIndexFillsThePlaylist()
{
    h->course.writeIndex({"", "\\intro.ASF;Welcome;1:05", "\\m1.avi;Module 1;20:00",
                          "\\Labs\\m2.mpg; Module 2 ;3:10;extra", "", "\\m3.avi;Has: colon;0:30",
                          "\\clip.asf ;Trailing blank;0:10"});
    h->start();

    QVERIFY(!forms::frmSplashLoaded());
    QVERIFY(h->boxes.empty());
    QCOMPARE(gMediaRoot, native(h->course.root()).toLower());
    frmMain &main = forms::frmMain();
    QVERIFY(main.Visible());
    QCOMPARE(main.Caption(), kBaseCaption);
    QVERIFY(!main.picVideo.HasPicture());
    QCOMPARE(main.picVideo.BackColor(), 0x00400000u);

    frmPlaylist &playlist = forms::frmPlaylist();
    QVERIFY(!playlist.Visible());
    const std::uint32_t white = frmPlaylist::kNormalColour;
    const std::uint32_t intro = frmPlaylist::kIntroColour;
    const std::vector<Row> expected{
        {h->keyOf(native("/intro.asf")), "Welcome", "1:05", intro},
        {h->keyOf(native("/m1.avi")), "Module 1", "20:00", white},
        {h->keyOf(native("/labs/m2.mpg")), " Module 2 ", "3:10", white},
        {h->keyOf(native("/m3.avi")), "Has: colon", "0:30", white},
        // The last three characters are "sf ": no intro.
        {h->keyOf(native("/clip.asf ")), "Trailing blank", "0:10", white},
    };
    QCOMPARE(rowsOf(playlist.lvPlaylist), expected);
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
    QDir().mkpath(h->course.root() + "/Pictures");
    h->course.writePicture("/Pictures/Course.png", QSize(64, 48));
    h->course.writePicture("/second.png", QSize(32, 16));
    h->course.writeIndex(index);
    h->start();

    QCOMPARE(h->boxes.size(), 0u);
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
    h->course.writeIndex({"\\m1.avi;Module 1;20:00", "\\short.avi;only two", "   ",
                          "\\m2.avi;Module 2;5:00", "Course:abc:x:\\pic.png",
                          "\\M1.AVI;Module 1 again;20:00", "Course:0:x:\\missing.png",
                          "\\m3.avi;Module 3;7:00"});
    h->start();

    QCOMPARE(h->boxes.size(), 1u);
    const toolkit::MessageBoxCall &box = h->boxes[0];
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

void StartUpTest::missingIndexLeavesEmptyPlaylist()
{
    h->start();
    QCOMPARE(h->boxes.size(), 1u);
    QVERIFY(h->boxes[0].prompt.contains("index.dat"));
    QCOMPARE(h->boxes[0].style, toolkit::vbOKOnly | toolkit::vbCritical);
    QVERIFY(forms::frmMain().Visible());
    QCOMPARE(forms::frmMain().Caption(), kBaseCaption);
    QCOMPARE(forms::frmPlaylist().lvPlaylist.Count(), 0);
    QVERIFY(!forms::frmSplashLoaded());
}

// The installed player, started from the desktop's menu: its desktop entry lies where the
// install rules put it, and no course is beside it.
void StartUpTest::installedPlayerStartsWithoutReport()
{
    const QString entry = QDir(h->course.bin()).filePath(pellin::installedDesktopEntry());
    QVERIFY(QDir().mkpath(QFileInfo(entry).path()));
    QFile file(entry);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    h->start();
    QVERIFY(h->boxes.empty());
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
    h->readerInstalled = installed;
    h->answer = toolkit::vbNo;
    h->course.writeIndex({"\\m1.avi;Module 1;20:00"});
    h->start();
    QStringList keys;
    for (const std::string &key : h->askedKeys)
        keys << QString::fromStdString(key);
    QCOMPARE(keys, asked);
    QCOMPARE(gReaderInstalled, installed);
}

void StartUpTest::readerMissingAnsweredYesStartsInstaller()
{
    h->readerInstalled = false;
    h->answer = toolkit::vbYes;
    h->course.writeIndex({"\\m1.avi;Module 1;20:00"});
    h->start();

    QCOMPARE(h->boxes.size(), 1u);
    QCOMPARE(h->boxes[0].prompt,
             QString("Adobe Acrobat Reader is required for documentation and support "
                     "functionality.\r\n\r\nWould you like to install Adobe Acrobat Reader 5.0 "
                     "now?"));
    QCOMPARE(h->boxes[0].style, toolkit::vbYesNo | toolkit::vbExclamation);
    QCOMPARE(h->boxes[0].title, QString("Vorlund - IT Certification Videos v2.1.0"));

    QCOMPARE(h->shellCalls.calls().size(), 1u);
    const shell::Call &call = h->shellCalls.calls()[0];
    QCOMPARE(call.verb, QString("open"));
    QCOMPARE(call.file, native(h->course.root().toLower() + "/bin/ar500enu.exe"));
    QVERIFY(call.parameters.isEmpty());
    QVERIFY(call.directory.isEmpty());
    QCOMPARE(call.show, shell::ShowNormal);

    QVERIFY(toolkit::loadedForms().empty());
    QVERIFY(!forms::frmSplashLoaded());
    QVERIFY(h->media.commands.empty());
}

void StartUpTest::readerMissingAnsweredNoGoesOn()
{
    h->readerInstalled = false;
    h->answer = toolkit::vbNo;
    h->course.writeIndex({"\\m1.avi;Module 1;20:00"});
    h->start();
    QCOMPARE(h->boxes.size(), 1u);
    QVERIFY(h->shellCalls.calls().empty());
    QVERIFY(!gReaderInstalled);
    QVERIFY(forms::frmMain().Visible());
    QCOMPARE(forms::frmPlaylist().lvPlaylist.Count(), 1);
}

void StartUpTest::mainWindowCentredAtItsLargeSize()
{
    h->course.writeIndex({"\\m1.avi;Module 1;20:00"});
    h->start();
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
    h->course.writeIndex({"\\m1.avi;Module 1;20:00"});
    h->start();
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
    h->course.writeIndex({"\\m1.avi;Module 1;20:00"});
    h->start();
    frmMain &main = forms::frmMain();
    main.setWindowState(1);
    QCOMPARE(main.WindowState(), 1);
    main.tmrInitPlaylist_Timer();
    QVERIFY(!main.tmrInitPlaylist.Enabled());
    QVERIFY(!forms::frmPlaylist().Visible());
    QCOMPARE(main.cmdPList.Tag(), QString("1"));
    QVERIFY(main.mnuCollapse.Checked());
}

QTEST_MAIN(StartUpTest)
#include "tst_StartUp.moc"

#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "fullscreen/frmFullToolbar.h"
#include "mci/Interpreter.h"
#include "mci/SimulatedMedia.h"
#include "player/Playback.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "support/VideoWidget.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"
#include "toolkit/Units.h"
#include "toolkit/WindowHandles.h"

#include <QFile>
#include <QtTest>

#include <optional>
#include <string>

using namespace modGlobals;
using support::flushDeletes;
using support::MediaRecorder;
using support::videoWidget;

namespace
{

const QString kLesson = QStringLiteral("/course/video/lesson one.avi");
constexpr qint64 kLessonLength = 760000;
constexpr qint64 kPlayedFor = 65000;

QString status(const char *what)
{
    std::string reply;
    mci::interpreter().send(std::string("status movie ") + what, reply, 128);
    return QString::fromStdString(reply);
}

} // namespace

// The full-screen window and its tools bar, driven as a student would, on scripted media.
class tst_FullScreen : public QObject
{
    Q_OBJECT

  private:
    std::optional<support::WindowFixture> f;

    frmMain &main() { return forms::frmMain(); }
    MediaRecorder &recorder() { return *f->recorder; }

    // A lesson playing in the main window, 65 seconds in.
    void playLesson()
    {
        gMCI->LoadedFilename(kLesson.toStdString());
        gMCI->AliasName("movie");
        gMCI->OpenMultimedia(main().picVideo.hWnd());
        gMCI->PutMultimedia(main().picVideo.hWnd(), 0, 0, 0, 0);
        gMCI->PlayMultimedia("0", "0");
        playback::ShowPlayingLook();
        main().sldVideo.setMax(kLessonLength);
        f->media->advance(kPlayedFor);
        recorder().clear();
    }

    frmFullScreen &enter()
    {
        main().EnterFullScreen();
        return forms::frmFullScreen();
    }

    // What a picture area's `put ... window at` asks for: its own size less the margin.
    static QString putFor(QWidget &picture)
    {
        const QRect frame = toolkit::windowRect(toolkit::handleOf(&picture));
        return QStringLiteral("put movie window at 0 0 %1 %2")
            .arg(frame.width() - 2)
            .arg(frame.height() - 4);
    }

    QStringList moveCommands(QWidget &picture, qint64 position) const
    {
        const QString handle = QString::number(toolkit::handleOf(&picture));
        return {"Close movie",
                "open \"" + kLesson + "\" type AviVideo Alias movie parent " + handle +
                    " Style 1073741824",
                "set movie time format ms",
                "status movie length",
                putFor(picture),
                "seek movie to " + QString::number(position),
                "Play movie"};
    }

    void checkWindowed()
    {
        QVERIFY(!forms::frmFullScreenLoaded());
        QVERIFY(!forms::frmFullToolbarLoaded());
        QVERIFY(main().isVisible());
        QVERIFY(!gFullScreen);
        QVERIFY(!gIntroFromFullScreen);
    }

  private slots:
    // Every command the windows send is kept and passed on to the interpreter, which serves the
    // scripted media.
    void init()
    {
        f.emplace();
        QVERIFY(f->valid());
        f->simulateMedia().addFile(kLesson, kLessonLength);
        f->recorder.emplace(MediaRecorder::Answering::ByInterpreter);
        main().Show();
        playLesson();
    }

    void cleanup() { f.reset(); }

    void enteringMovesTheVideoIntoTheScreener()
    {
        frmFullScreen &full = enter();
        const QStringList expected =
            QStringList{"status movie position"} + moveCommands(full.screener, kPlayedFor);
        QCOMPARE(recorder().commands(), expected);

        QVERIFY(videoWidget());
        QCOMPARE(videoWidget()->parentWidget(), &full.screener);
        QCOMPARE(status("position"), QString::number(kPlayedFor));
        QCOMPARE(status("mode"), QStringLiteral("playing"));
        QVERIFY(!main().isVisible());
        QVERIFY(full.isVisible());
        QCOMPARE(full.WindowState(), 2);
        QVERIFY(gFullScreen);
        QVERIFY(!gKeepPlaylist);
        QCOMPARE(forms::frmFullToolbar().Owner(), &full);
        QVERIFY(forms::frmFullToolbar().isVisible());
    }

    void screenerFillsTheScreenButForAMargin()
    {
        frmFullScreen &full = enter();
        const QSize screen = toolkit::screenPixels();
        QCOMPARE(full.screener.width(), screen.width() - 5);
        QCOMPARE(full.screener.height(), screen.height() - 5);
        QCOMPARE(full.screener.Width(), toolkit::screenWidth() - 5 * toolkit::twipsPerPixelX());
        QCOMPARE(full.screener.Left(), (toolkit::screenWidth() - full.screener.Width()) / 2);
        QCOMPARE(full.screener.Top(), (toolkit::screenHeight() - full.screener.Height()) / 2);
    }

    void toolbarStartsWithItsLoadLooks()
    {
        enter();
        frmFullToolbar &bar = forms::frmFullToolbar();
        QCOMPARE(bar.Caption(), QStringLiteral("Tools (Ctrl-T)"));
        QCOMPARE(bar.Left(), forms::frmFullScreen().Left() + 6400);
        QCOMPARE(bar.Top(), forms::frmFullScreen().Top() + 65);
        QCOMPARE(bar.ScaleWidth(), frmFullToolbar::kClientWidth);
        QCOMPARE(bar.ScaleHeight(), frmFullToolbar::kClientHeight);
        const QList<QStringList> buttons{{"normal", "normal", "Normal view"},
                                         {"play", "pause", "Pause video"},
                                         {"stop", "stop", "Stop"},
                                         {"rewind", "rewind", "Rewind"},
                                         {"forward", "forward", "Fast forward"},
                                         {"playlist", "pcollapsed", "Expand Playlist"}};
        for (const QStringList &button : buttons) {
            QCOMPARE(bar.tlbFullScreen.Buttons(button[0]).Image(), button[1]);
            QCOMPARE(bar.tlbFullScreen.Buttons(button[0]).ToolTipText(), button[2]);
        }
    }

    void enteringWhilePausedPlaysOn()
    {
        gMCI->PauseMultimedia();
        enter();
        QCOMPARE(status("mode"), QStringLiteral("playing"));
        QCOMPARE(status("position"), QString::number(kPlayedFor));
        QVERIFY(gMCI->Paused());
    }

    void enteringAgainOnlyRefitsTheVideo()
    {
        frmFullScreen &full = enter();
        f->media->advance(1000);
        recorder().clear();
        QCOMPARE(&enter(), &full);
        QCOMPARE(recorder().commands().front(), QString("status movie position"));
        QCOMPARE(recorder().commands().back(), QString("Play movie"));
        QCOMPARE(videoWidget()->parentWidget(), &full.screener);
        QCOMPARE(status("position"), QString::number(kPlayedFor + 1000));
        QVERIFY(!main().isVisible());
        QCOMPARE(forms::frmFullToolbar().Left(), full.Left() + 6400);
    }

    void lowResolutionKeepsTheWindows()
    {
        gLowRes = true;
        gMCI->PauseMultimedia();
        main().EnterFullScreen();
        QVERIFY(!forms::frmFullScreenLoaded());
        QVERIFY(!forms::frmFullToolbarLoaded());
        QVERIFY(main().isVisible());
        QVERIFY(!gFullScreen);
        QCOMPARE(videoWidget()->parentWidget(), &main().picVideo);
        // The play button already shows the playing look: the video plays on where it stood.
        QCOMPARE(status("mode"), QStringLiteral("playing"));
        QCOMPARE(status("position"), QString::number(kPlayedFor));
    }

    void leavingReturnsToThePicture_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("paused");
        for (const char *how : {"Esc on screener", "Esc on window", "Esc on tools bar", "normal"}) {
            QTest::addRow("%s, playing", how) << QString::fromLatin1(how) << false;
            QTest::addRow("%s, paused", how) << QString::fromLatin1(how) << true;
        }
    }

    void leavingReturnsToThePicture()
    {
        QFETCH(QString, how);
        QFETCH(bool, paused);
        frmFullScreen &full = enter();
        if (paused) {
            gMCI->PauseMultimedia();
            playback::ShowPausedLook();
        }
        recorder().clear();
        if (how == QLatin1String("Esc on screener"))
            QTest::keyClick(&full.screener, Qt::Key_Escape);
        else if (how == QLatin1String("Esc on window"))
            QTest::keyClick(&full, Qt::Key_Escape);
        else if (how == QLatin1String("Esc on tools bar"))
            QTest::keyClick(&forms::frmFullToolbar(), Qt::Key_Escape);
        else
            forms::frmFullToolbar().tlbFullScreen.click("normal");
        flushDeletes();

        checkWindowed();
        QVERIFY(gKeepPlaylist);
        const QStringList expected = QStringList{"status movie position", "status movie length"} +
                                     moveCommands(main().picVideo, kPlayedFor);
        QCOMPARE(recorder().commands(), expected);
        QCOMPARE(videoWidget()->parentWidget(), &main().picVideo);
        QCOMPARE(status("mode"), QStringLiteral("playing"));
        QCOMPARE(status("position"), QString::number(kPlayedFor));
        QCOMPARE(main().tlbMain.Buttons("play").Image(), QStringLiteral("pause"));
        QCOMPARE(main().tlbMain.Buttons("play").ToolTipText(), QStringLiteral("Pause video"));
        QCOMPARE(gMCI->Paused(), paused);
    }

    void fullButtonAndMenuEnter_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::addRow("full button") << false;
        QTest::addRow("View > Full Screen") << true;
    }

    void fullButtonAndMenuEnter()
    {
        QFETCH(bool, menu);
        main().cmdPList.setTag("1");
        main().cmdPList_Click();
        if (menu)
            main().mnuFullScreen_Click();
        else
            main().tlbMain.click("full");
        QVERIFY(forms::frmFullScreenLoaded());
        QVERIFY(gFullScreen);
        QCOMPARE(main().cmdPList.Tag(), QStringLiteral("1"));
        QCOMPARE(videoWidget()->parentWidget(), &forms::frmFullScreen().screener);
    }

    void toolsBarButtonsPressTheMainButtons()
    {
        enter();
        frmFullToolbar &bar = forms::frmFullToolbar();
        bar.tlbFullScreen.click("play");
        QVERIFY(gMCI->Paused());
        QCOMPARE(main().tlbMain.Buttons("play").Image(), QStringLiteral("play"));
        QCOMPARE(bar.tlbFullScreen.Buttons("play").Image(), QStringLiteral("play"));
        QCOMPARE(bar.tlbFullScreen.Buttons("play").ToolTipText(), QStringLiteral("Play video"));
        bar.tlbFullScreen.click("play");
        QVERIFY(!gMCI->Paused());
        QCOMPARE(bar.tlbFullScreen.Buttons("play").Image(), QStringLiteral("pause"));
        QCOMPARE(bar.tlbFullScreen.Buttons("play").ToolTipText(), QStringLiteral("Pause video"));

        bar.tlbFullScreen.click("rewind");
        QCOMPARE(status("position"), QString::number(kPlayedFor - 5000));
        bar.tlbFullScreen.click("forward");
        QCOMPARE(status("position"), QString::number(kPlayedFor));

        bar.tlbFullScreen.click("stop");
        QVERIFY(gMCI->LoadedFilename().empty());
        QCOMPARE(bar.Caption(), QStringLiteral("Tools(Ctl-T) 0:00/00:00"));
        QVERIFY(!bar.tlbFullScreen.Buttons("stop").Enabled());
        QVERIFY(!main().tlbMain.Buttons("stop").Enabled());
        QCOMPARE(forms::frmPlaylist().Owner(), &forms::frmFullScreen());
    }

    void captionShowsThePosition()
    {
        enter();
        main().tmrMediaScroller.tick();
        QCOMPARE(forms::frmFullToolbar().Caption(), QStringLiteral("Tools(Ctl-T) 1:05/12:40"));
        QCOMPARE(main().sbStatus.Panels(2).Text(), QStringLiteral("1:05/12:40"));
    }

    void otherKeysDoNothing()
    {
        frmFullScreen &full = enter();
        recorder().clear();
        QTest::keyClick(&full.screener, Qt::Key_A);
        QTest::keyClick(&full.screener, Qt::Key_Return);
        QTest::keyClick(&full, Qt::Key_T, Qt::ControlModifier);
        QTest::keyClick(&forms::frmFullToolbar(), Qt::Key_Space);
        QVERIFY(forms::frmFullScreenLoaded());
        QVERIFY(forms::frmFullToolbar().isVisible());
        QVERIFY(gFullScreen);
        QVERIFY(recorder().commands().isEmpty());
    }

    void ctrlTHidesAndShowsTheToolsBar()
    {
        frmFullScreen &full = enter();
        frmFullToolbar &bar = forms::frmFullToolbar();
        bar.Move(bar.Left() + 300, bar.Top() + 150, bar.Width(), bar.Height());
        const QPoint place(bar.Left(), bar.Top());
        QTest::keyClick(&bar, Qt::Key_T, Qt::ControlModifier);
        QVERIFY(forms::frmFullToolbarLoaded());
        QVERIFY(!bar.isVisible());
        QTest::keyClick(&full.screener, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(&forms::frmFullToolbar(), &bar);
        QVERIFY(bar.isVisible());
        QCOMPARE(QPoint(bar.Left(), bar.Top()), place);
    }

    void ctrlTLoadsAClosedToolsBarAgain()
    {
        frmFullScreen &full = enter();
        forms::frmFullToolbar().tlbFullScreen.Buttons("playlist").setImage("pexpanded");
        forms::frmFullToolbar().close();
        flushDeletes();
        QVERIFY(!forms::frmFullToolbarLoaded());
        QVERIFY(gFullScreen);

        QTest::keyClick(&full.screener, Qt::Key_T, Qt::ControlModifier);
        frmFullToolbar &bar = forms::frmFullToolbar();
        QVERIFY(bar.isVisible());
        QCOMPARE(bar.Owner(), &full);
        QCOMPARE(bar.Left(), full.Left() + 6400);
        QCOMPARE(bar.Top(), full.Top() + 65);
        QCOMPARE(bar.tlbFullScreen.Buttons("playlist").Image(), QStringLiteral("pcollapsed"));

        QTest::keyClick(&full.screener, Qt::Key_Escape);
        flushDeletes();
        checkWindowed();
    }

    void playlistButtonTogglesThePlaylistAboveFullScreen()
    {
        frmFullScreen &full = enter();
        frmFullToolbar &bar = forms::frmFullToolbar();
        toolkit::ToolbarButton &button = bar.tlbFullScreen.Buttons("playlist");

        bar.tlbFullScreen.click("playlist");
        QVERIFY(gKeepPlaylist);
        QCOMPARE(main().cmdPList.Tag(), QStringLiteral("0"));
        QVERIFY(forms::frmPlaylist().isVisible());
        QCOMPARE(forms::frmPlaylist().Owner(), &full);
        QCOMPARE(button.Image(), QStringLiteral("pexpanded"));
        QCOMPARE(button.ToolTipText(), QStringLiteral("Collapse playlist"));

        bar.tlbFullScreen.click("playlist");
        QCOMPARE(main().cmdPList.Tag(), QStringLiteral("1"));
        QVERIFY(!forms::frmPlaylist().isVisible());
        QCOMPARE(button.Image(), QStringLiteral("pcollapsed"));
        QCOMPARE(button.ToolTipText(), QStringLiteral("Expand playlist"));
    }

    void playlistShownInFullScreenKeepsItsRows()
    {
        frmPlaylist &before = forms::frmPlaylist();
        before.lvPlaylist.Clear();
        before.AddEntry("/course/video/intro.asf", "Intro", "0:30");
        before.AddEntry(kLesson.toLower(), "Lesson one", "12:40");
        before.AddEntry("/course/video/lesson two.avi", "Lesson two", "9:05");
        before.lvPlaylist.Item(2).setSelected(true);

        enter();
        forms::frmFullToolbar().tlbFullScreen.click("playlist");
        QTest::keyClick(&forms::frmFullScreen().screener, Qt::Key_Escape);
        flushDeletes();

        checkWindowed();
        QCOMPARE(main().cmdPList.Tag(), QStringLiteral("1"));
        QCOMPARE(support::loadedCount("frmPlaylist"), 0);
        QVERIFY(QFile::exists(GetTempFolder() + "tmpPlist.txt"));

        frmPlaylist &after = forms::frmPlaylist();
        QCOMPARE(after.lvPlaylist.Count(), 3);
        QCOMPARE(after.lvPlaylist.Item(1).Text(), QStringLiteral("Intro"));
        QCOMPARE(after.lvPlaylist.Item(3).SubItem(1), QStringLiteral("9:05"));
        QVERIFY(after.lvPlaylist.SelectedItem());
        QCOMPARE(after.lvPlaylist.SelectedItem()->Key(), kLesson.toLower());
        QCOMPARE(after.lvPlaylist.Item(2).ForeColor(), frmPlaylist::kCurrentColour);
    }

    void introChosenInFullScreenLeavesTheVideoAlone()
    {
        enter();
        recorder().clear();
        gIntroFromFullScreen = true;
        forms::frmFullScreen().Unload();
        flushDeletes();
        checkWindowed();
        QVERIFY(recorder().commands().isEmpty());
    }

    void secondEntryStartsTheToolsBarAfresh()
    {
        enter();
        frmFullToolbar &first = forms::frmFullToolbar();
        first.setCaption("Tools(Ctl-T) 1:05/12:40");
        first.tlbFullScreen.click("playlist");
        QTest::keyClick(&forms::frmFullScreen().screener, Qt::Key_Escape);
        flushDeletes();

        enter();
        frmFullToolbar &bar = forms::frmFullToolbar();
        QVERIFY(!gKeepPlaylist);
        QCOMPARE(bar.Caption(), QStringLiteral("Tools (Ctrl-T)"));
        QCOMPARE(bar.tlbFullScreen.Buttons("playlist").Image(), QStringLiteral("pcollapsed"));
        QCOMPARE(bar.tlbFullScreen.Buttons("playlist").ToolTipText(),
                 QStringLiteral("Expand Playlist"));
    }
};

QTEST_MAIN(tst_FullScreen)
#include "tst_FullScreen.moc"

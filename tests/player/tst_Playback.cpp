// Playing videos from the playlist, File > Open and the welcome video, the transport toolbar and
// the position display, on the simulated media engine with a manual clock.
#include "common/modGlobals.h"
#include "fullscreen/frmFullToolbar.h"
#include "mci/SimulatedMedia.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "session/MediaControls.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QTest>

#include <optional>

using namespace modGlobals;

namespace
{
const QString kRoot = QStringLiteral("/course");
const QString kModule = kRoot + "/videos/module1.avi";
const QString kLong = kRoot + "/videos/long.mpg";
const QString kIntro = kRoot + "/videos/intro.asf";
const QString kMissing = kRoot + "/videos/gone.avi";
} // namespace

class tst_Playback : public QObject
{
    Q_OBJECT

  private:
    std::optional<support::WindowFixture> f;

    frmMain &main() { return forms::frmMain(); }
    frmPlaylist &playlist() { return forms::frmPlaylist(); }
    mci::SimulatedMedia &media() { return *f->media; }
    toolkit::ToolbarButton &button(const char *key) { return main().tlbMain.Buttons(key); }

    void playEntry(const QString &key)
    {
        playlist().lvPlaylist.findKey(key)->setSelected(true);
        playlist().lvPlaylist_Click();
    }

    // Plays on to the end of the video, where the position timer presses "stop".
    void playToTheEnd()
    {
        media().advance(gMCI->GetTotalTime());
        main().tmrMediaScroller_Timer();
    }

    // What the student sees of the transport, the position display and the playlist, and what
    // the controller has loaded.
    QStringList transportState()
    {
        const auto enabled = [this](const char *key) {
            return QString(button(key).Enabled() ? "on" : "off");
        };
        const toolkit::Slider &slider = main().sldVideo;
        QStringList state{
            "loaded: " + QString::fromStdString(gMCI->LoadedFilename()),
            "play: " + button("play").Image() + ", " + button("play").ToolTipText(),
            "stop, rewind, forward: " + enabled("stop") + ", " + enabled("rewind") + ", " +
                enabled("forward"),
            QString("slider: %1 at %2 from %3")
                .arg(slider.isEnabled() ? "on" : "off")
                .arg(slider.Value())
                .arg(slider.SelStart()),
            QString("position timer: ") + (main().tmrMediaScroller.Enabled() ? "on" : "off"),
            "status: " + main().sbStatus.Panels(1).Text() + " | " +
                main().sbStatus.Panels(2).Text(),
            "playlist: " + main().cmdPList.Tag() + (playlist().isVisible() ? " shown" : " hidden"),
        };
        if (gFullScreen && forms::frmFullToolbarLoaded()) {
            frmFullToolbar &bar = forms::frmFullToolbar();
            toolkit::ToolbarButton &play = bar.tlbFullScreen.Buttons("play");
            state << "tools bar: " + bar.Caption() + ", " + play.Image() + ", " +
                         play.ToolTipText() +
                         (bar.tlbFullScreen.Buttons("stop").Enabled() ? ", stop on" : ", stop off");
        }
        return state;
    }

    // Whether the device plays: its position moves with the clock.
    bool devicePlays()
    {
        const std::int32_t before = gMCI->GetCurrentMultimediaPos();
        media().advance(500);
        return gMCI->GetCurrentMultimediaPos() == before + 500;
    }

  private slots:
    void init()
    {
        f.emplace();
        mci::SimulatedMedia &scripted = f->simulateMedia();
        scripted.addFile(kModule, 20000, QSize(640, 480));
        scripted.addFile(kLong, 760000, QSize(640, 480));
        scripted.addFile(kIntro, 12000, QSize(320, 240));
        scripted.addFile(kRoot + "/welcome.asf", 9000, QSize(320, 240));
        scripted.addUnplayableFile(kMissing);
        gMediaRoot = kRoot;
        playlist().AddEntry(kIntro, "Introduction", "0:12");
        playlist().AddEntry(kModule, "Module 1", "0:20");
        playlist().AddEntry(kLong, "Long module", "12:40");
        playlist().AddEntry(kMissing, "Gone", "1:00");
    }

    void cleanup() { f.reset(); }

    void playingAnEntrySetsUpEveryDisplay()
    {
        main().cmdPList_Click(); // the playlist is expanded when the student clicks
        playEntry(kModule);
        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), kModule);
        QCOMPARE(main().sbStatus.Panels(1).Text(), QString("Module 1"));
        QCOMPARE(main().Width(), frmMain::kLargeWidth);
        QCOMPARE(main().Height(), frmMain::kLargeHeight);
        QCOMPARE(button("play").Image(), QString("pause"));
        QCOMPARE(button("play").ToolTipText(), QString("Pause video"));
        QVERIFY(button("stop").Enabled() && button("rewind").Enabled() &&
                button("forward").Enabled());
        QVERIFY(button("full").Enabled() && main().mnuFullScreen.isEnabled());
        QVERIFY(main().sldVideo.isEnabled());
        QCOMPARE(main().sldVideo.Max(), 20000);
        QVERIFY(main().tmrMediaScroller.Enabled());
        QCOMPARE(main().cmdPList.Tag(), QString("1"));
        QVERIFY(!playlist().isVisible());
        QCOMPARE(playlist().lvPlaylist.findKey(kModule)->ForeColor(), frmPlaylist::kCurrentColour);
        QCOMPARE(playlist().lvPlaylist.findKey(kIntro)->ForeColor(), frmPlaylist::kIntroColour);
        QVERIFY(!gSingleFile);
    }

    void anIntroPlaysInTheSmallWindowAndTheNextVideoRestoresIt()
    {
        playEntry(kIntro);
        QCOMPARE(main().Width(), frmMain::kSmallWidth);
        QCOMPARE(main().Height(), frmMain::kSmallHeight);
        QVERIFY(!button("full").Enabled());
        QVERIFY(!main().mnuFullScreen.isEnabled());
        QVERIFY(!main().sbStatus.Panels(1).Visible());
        QCOMPARE(main().sbStatus.Panels(2).Width(), 2110.67);
        QVERIFY(main().sldVideo.isHidden());
        // The layout figures of the small window follow from its outer width.
        QCOMPARE(main().cmdPList.Left(), 4590);
        QCOMPARE(main().sbStatus.Width(), 2015);

        playEntry(kModule);
        QCOMPARE(main().Width(), frmMain::kLargeWidth);
        QVERIFY(button("full").Enabled());
        QVERIFY(main().sbStatus.Panels(1).Visible());
        QCOMPARE(main().sbStatus.Panels(2).Width(), 1310.74);
        QVERIFY(!main().sldVideo.isHidden());
    }

    void playPausesAndResumesWithoutRestarting()
    {
        playEntry(kModule);
        media().advance(3000);
        support::pressMain("play");
        QCOMPARE(button("play").Image(), QString("play"));
        QCOMPARE(button("play").ToolTipText(), QString("Play video"));
        QVERIFY(gMCI->Paused());
        media().advance(2000);
        QCOMPARE(gMCI->GetCurrentMultimediaPos(), 3000);
        support::pressMain("play");
        QVERIFY(!gMCI->Paused());
        QCOMPARE(button("play").Image(), QString("pause"));
        media().advance(1000);
        QCOMPARE(gMCI->GetCurrentMultimediaPos(), 4000);
    }

    void theTimerShowsThePositionAndStopsAtTheEnd()
    {
        playEntry(kLong);
        media().advance(65000);
        main().tmrMediaScroller_Timer();
        QCOMPARE(main().sbStatus.Panels(2).Text(), QString("1:05/12:40"));
        QCOMPARE(main().sldVideo.Value(), 65000);
        QCOMPARE(main().sldVideo.SelStart(), 65000);
        QVERIFY(!gMCI->LoadedFilename().empty());

        media().advance(760000);
        main().tmrMediaScroller_Timer();
        QVERIFY(gMCI->LoadedFilename().empty());
        QCOMPARE(main().sbStatus.Panels(1).Text(), QString());
        QCOMPARE(main().sbStatus.Panels(2).Text(), QString("00:00/00:00"));
        QVERIFY(!main().tmrMediaScroller.Enabled());
        QVERIFY(!main().sldVideo.isEnabled());
        QCOMPARE(main().sldVideo.Value(), 0);
        QVERIFY(!button("stop").Enabled());
        QCOMPARE(button("play").Image(), QString("play"));
        QCOMPARE(main().cmdPList.Tag(), QString("0"));
        QVERIFY(playlist().isVisible());
    }

    void jumpsMoveFiveSecondsAndRefuseToLeaveTheVideo()
    {
        playEntry(kModule);
        media().advance(8000);
        support::pressMain("forward");
        QCOMPARE(gMCI->GetCurrentMultimediaPos(), 13000);
        support::pressMain("rewind");
        support::pressMain("rewind");
        QCOMPARE(gMCI->GetCurrentMultimediaPos(), 3000);
        // Near the start the request is negative: the device refuses it and nothing changes.
        support::pressMain("rewind");
        QCOMPARE(gMCI->GetCurrentMultimediaPos(), 3000);
        QCOMPARE(button("play").Image(), QString("pause"));
        QVERIFY(f->boxes.empty());
    }

    void forwardWhilePausedResumesWithThePauseImageButTheOldTooltip()
    {
        playEntry(kModule);
        support::pressMain("play");
        support::pressMain("forward");
        QCOMPARE(button("play").Image(), QString("pause"));
        QCOMPARE(button("play").ToolTipText(), QString("Play video"));
    }

    void draggingTheSliderReplaysFromTheThumb()
    {
        playEntry(kLong);
        main().sldVideo.setValue(120000);
        main().sldVideo_Scroll();
        QCOMPARE(gMCI->GetCurrentMultimediaPos(), 120000);
        QCOMPARE(main().sbStatus.Panels(2).Text(), QString("2:00/12:40"));
        QCOMPARE(main().sldVideo.Text(), QString("2:00/12:40"));
        QVERIFY(main().tmrMediaScroller.Enabled());
    }

    void aVideoThatCannotBeOpenedIsReportedAsNotFound()
    {
        playEntry(kMissing);
        QCOMPARE(f->boxes.size(), size_t(1));
        QVERIFY(f->boxes[0].prompt.contains("Number: 380"));
        QVERIFY(f->boxes[0].prompt.contains("Explanation: File Not Found"));
        QVERIFY(!main().tmrMediaScroller.Enabled());
    }

    void aVideoThatCannotBeOpenedLeavesNothingLoadedAsStopDoes_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<bool>("fullScreen");
        QTest::addColumn<QString>("explanation");
        QTest::addColumn<QString>("file");
        const QString notFound = "File Not Found";
        const QString invalid = "Invalid property value";
        QTest::newRow("playlist entry") << "entry" << false << notFound << kMissing;
        QTest::newRow("playlist entry in full screen") << "entry" << true << notFound << kMissing;
        QTest::newRow("File > Open of a file gone before it opened")
            << "open" << false << invalid << kMissing;
        QTest::newRow("welcome video missing from the course")
            << "welcome" << false << notFound << "/elsewhere/";
        QTest::newRow("play after stop, the opened file gone since")
            << "replay" << false << invalid << kModule;
    }

    // Whatever was playing before, the failed video ends in the state that "stop" leaves, with
    // one report that names the file, and the next entry plays. While the box is up nothing
    // says the video plays.
    void aVideoThatCannotBeOpenedLeavesNothingLoadedAsStopDoes()
    {
        QFETCH(QString, how);
        QFETCH(bool, fullScreen);
        QFETCH(QString, explanation);
        QFETCH(QString, file);
        QStringList underTheBox;
        QString controlsUnderTheBox;
        toolkit::setMessageBoxHandler([&](const toolkit::MessageBoxCall &call) {
            f->boxes.push_back(call);
            underTheBox = transportState();
            controlsUnderTheBox = session::mediaControls().playbackStatus();
            return f->boxAnswer;
        });
        main().Show();
        const auto startPlaying = [&] {
            if (how == "replay") {
                f->chooserAnswers << kModule;
                main().mnuOpen_Click();
            } else {
                playEntry(kModule);
            }
            if (fullScreen)
                support::pressMain("full");
            QVERIFY(gFullScreen == fullScreen);
            media().advance(3000);
        };
        startPlaying();
        support::pressMain("stop");
        const QStringList stopped = transportState();
        startPlaying();

        if (how == "entry") {
            playEntry(kMissing);
        } else if (how == "open") {
            f->chooserAnswers << kMissing;
            main().mnuOpen_Click();
        } else if (how == "welcome") {
            gMediaRoot = "/elsewhere";
            main().mnuWelcome_Click();
        } else {
            support::pressMain("stop");
            media().addUnplayableFile(kModule);
            support::pressMain("play");
        }

        QCOMPARE(f->boxes.size(), size_t(1));
        QVERIFY2(f->boxes[0].prompt.contains("Number: 380"), qPrintable(f->boxes[0].prompt));
        QVERIFY2(f->boxes[0].prompt.contains("Explanation: " + explanation + ": " + file),
                 qPrintable(f->boxes[0].prompt));
        QCOMPARE(transportState(), stopped);
        QCOMPARE(underTheBox, stopped);
        QCOMPARE(controlsUnderTheBox, QString("Stopped"));
        QCOMPARE(main().MousePointer(), 0);

        // Ready for the next entry: the student clicks it.
        playEntry(kLong);
        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), kLong);
        QCOMPARE(button("play").Image(), QString("pause"));
        QVERIFY(devicePlays());
        QCOMPARE(f->boxes.size(), size_t(1));
    }

    void aStalePauseRecordNeverDisablesPlay_data()
    {
        QTest::addColumn<QString>("load");
        QTest::newRow("File > Open after a paused playlist video ended") << "open";
        QTest::newRow("play after stop of a File > Open video that was paused") << "replay";
        QTest::newRow("playlist entry") << "entry";
        QTest::newRow("welcome video with a File > Open video to restart") << "welcome";
    }

    // A video paused and then played on by a seek keeps the controller's pause record after it
    // ended, as the controller keeps it through close and re-open. The next video loaded anew
    // plays, and so does "play" once it has ended too.
    void aStalePauseRecordNeverDisablesPlay()
    {
        QFETCH(QString, load);
        const auto pauseDragAndEnd = [&] {
            support::pressMain("play");
            main().sldVideo.setValue(5000);
            main().sldVideo_Scroll();
            playToTheEnd();
            QVERIFY(gMCI->LoadedFilename().empty());
            QVERIFY(gMCI->Paused());
        };
        if (load == "replay" || load == "welcome") {
            f->chooserAnswers << kModule;
            main().mnuOpen_Click();
        } else {
            playEntry(kModule);
        }
        pauseDragAndEnd();

        if (load == "open") {
            f->chooserAnswers << kModule;
            main().mnuOpen_Click();
        } else if (load == "entry") {
            playEntry(kIntro);
        } else if (load == "welcome") {
            main().mnuWelcome_Click();
        } else {
            support::pressMain("play");
        }
        QCOMPARE(button("play").Image(), QString("pause"));
        QVERIFY(devicePlays());
        playToTheEnd();
        QVERIFY(gMCI->LoadedFilename().empty());

        support::pressMain("play");
        const QString expected = (load == "entry") ? kIntro : kModule;
        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), expected);
        QCOMPARE(button("play").Image(), QString("pause"));
        QVERIFY(devicePlays());
        QVERIFY(f->boxes.empty());
    }

    void playWithNothingLoadedPlaysTheSelectedEntry()
    {
        playlist().lvPlaylist.findKey(kModule)->setSelected(true);
        main().tmrInitPlaylist.setEnabled(true);
        support::pressMain("play");
        QVERIFY(!main().tmrInitPlaylist.Enabled());
        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), kModule);
    }

    void fileOpenPlaysASingleFileAndStopThenPlayReopensIt()
    {
        f->chooserAnswers << "  " + kIntro.toUpper();
        main().mnuOpen_Click();
        QCOMPARE(main().mOpenedFile, kIntro);
        QCOMPARE(main().sbStatus.Panels(1).Text(), kIntro);
        QCOMPARE(main().Width(), frmMain::kSmallWidth);
        QVERIFY(!button("full").Enabled());
        QCOMPARE(button("play").ToolTipText(), QString("Pause Video"));
        QVERIFY(gSingleFile);

        f->chooserAnswers << kLong;
        main().mnuOpen_Click();
        QCOMPARE(main().Width(), frmMain::kLargeWidth);
        QVERIFY(button("full").Enabled());
        QCOMPARE(main().sldVideo.Max(), 760000);

        support::pressMain("stop");
        QVERIFY(gMCI->LoadedFilename().empty());
        main().mnuWelcome_Click();
        support::pressMain("stop");
        support::pressMain("play");
        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), kLong);
        QCOMPARE(button("play").Image(), QString("pause"));
    }

    void cancellingFileOpenChangesNothing()
    {
        // No answer is queued: the chooser is cancelled.
        main().mnuOpen_Click();
        QVERIFY(gMCI->LoadedFilename().empty());
        QCOMPARE(main().MousePointer(), 0);
        QVERIFY(!gSingleFile);
    }

    void theWelcomeVideoPlaysInTheSmallWindow()
    {
        main().cmdPList_Click();
        main().mnuWelcome_Click();
        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), kRoot + "/welcome.asf");
        QCOMPARE(main().Width(), frmMain::kSmallWidth);
        QCOMPARE(main().cmdPList.Tag(), QString("1"));
        QCOMPARE(button("play").Image(), QString("pause"));
        QVERIFY(main().tmrMediaScroller.Enabled());
        QVERIFY(!gSingleFile);
    }
};

QTEST_MAIN(tst_Playback)
#include "tst_Playback.moc"

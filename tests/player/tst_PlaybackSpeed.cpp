// View > Speed on the simulated media engine: the speed reaches the loaded video and every video
// opened or moved after it, the position display and the end of the video stay right at it.
#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "mci/SimulatedMedia.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "support/SimulatedCourse.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"

#include <QMenu>
#include <QTest>

#include <optional>

using namespace modGlobals;

using support::playEntry;
using support::course::kIntro;
using support::course::kLong;
using support::course::kModule;

class tst_PlaybackSpeed : public QObject
{
    Q_OBJECT

  private:
    std::optional<support::WindowFixture> f;

    frmMain &main() { return forms::frmMain(); }
    frmPlaylist &playlist() { return forms::frmPlaylist(); }
    mci::SimulatedMedia &media() { return *f->media; }

    QStringList speedCommands() const
    {
        return f->recorder->commands().filter(QStringLiteral(" speed "));
    }

    QStringList checkedSpeeds()
    {
        QStringList checked;
        for (const frmMain::SpeedEntry &entry : main().mnuSpeed)
            if (entry.item->Checked())
                checked << entry.item->text();
        return checked;
    }

  private slots:
    void init()
    {
        f.emplace();
        support::loadSimulatedCourse(*f);
        f->recorder.emplace(support::MediaRecorder::Answering::ByInterpreter);
        main().Show();
    }

    void cleanup() { f.reset(); }

    // The last entry of the View menu, 1x checked at start; a choice moves the check mark.
    void theSpeedMenu()
    {
        const QList<QAction *> view = main().menuBar.actions().at(1)->menu()->actions();
        QMenu *speed = view.last()->menu();
        QVERIFY(speed);
        QCOMPARE(view.last()->text(), QStringLiteral("Speed"));
        QStringList captions;
        for (QAction *action : speed->actions())
            captions << action->text();
        QCOMPARE(captions, (QStringList{"0.75x", "1x", "1.25x", "1.5x", "2x"}));
        QCOMPARE(checkedSpeeds(), QStringList{"1x"});

        // Chosen with nothing loaded: nothing is sent until a video opens.
        main().mnuSpeed.at(3).item->click();
        QCOMPARE(checkedSpeeds(), QStringList{"1.5x"});
        QCOMPARE(gPlaySpeed, 1500);
        QCOMPARE(speedCommands(), QStringList{});
        main().mnuSpeed.at(3).item->click();
        QCOMPARE(checkedSpeeds(), QStringList{"1.5x"});
        main().mnuSpeed.at(1).item->click();
        QCOMPARE(checkedSpeeds(), QStringList{"1x"});
        QCOMPARE(gPlaySpeed, kNormalSpeed);
    }

    void theSpeedHolds_data()
    {
        QTest::addColumn<QString>("step");
        QTest::addColumn<QStringList>("sent"); // the speed commands of the step
        QTest::addColumn<qint64>("moved");     // the position's move over a second of clock
        QTest::newRow("the loaded video") << "none" << QStringList{} << 2000LL;
        QTest::newRow("pause and resume") << "pause" << QStringList{} << 2000LL;
        QTest::newRow("a seek with the slider") << "slider" << QStringList{} << 2000LL;
        QTest::newRow("a jump") << "forward" << QStringList{} << 2000LL;
        QTest::newRow("full screen") << "full" << QStringList{"set movie speed 2000"} << 2000LL;
        QTest::newRow("back from full screen")
            << "normal" << QStringList{"set movie speed 2000", "set movie speed 2000"} << 2000LL;
        QTest::newRow("the next video") << "next" << QStringList{"set movie speed 2000"} << 2000LL;
        QTest::newRow("an intro") << "intro" << QStringList{"set movie speed 2000"} << 2000LL;
        QTest::newRow("a file opened") << "open" << QStringList{"set movie speed 2000"} << 2000LL;
        QTest::newRow("stop and play again")
            << "stop" << QStringList{"set movie speed 2000"} << 2000LL;
        QTest::newRow("back to normal") << "1x" << QStringList{"set movie speed 1000"} << 1000LL;
    }

    void theSpeedHolds()
    {
        QFETCH(QString, step);
        QFETCH(QStringList, sent);
        QFETCH(qint64, moved);
        playEntry(kModule);
        main().mnuSpeed.at(4).item->click();
        QCOMPARE(speedCommands(), QStringList{"set movie speed 2000"});
        media().advance(1000);
        QCOMPARE(gMCI->GetCurrentMultimediaPos(), 2000);
        f->recorder->clear();

        if (step == QLatin1String("pause")) {
            support::pressMain("play");
            media().advance(1000);
            support::pressMain("play");
        } else if (step == QLatin1String("slider")) {
            main().sldVideo.setValue(30000);
            main().sldVideo_Scroll();
        } else if (step == QLatin1String("forward")) {
            support::pressMain("forward");
        } else if (step == QLatin1String("full")) {
            support::pressMain("full");
            QVERIFY(gFullScreen);
        } else if (step == QLatin1String("normal")) {
            support::pressMain("full");
            forms::frmFullScreen().LeaveFullScreen();
            support::flushDeletes();
            QVERIFY(!gFullScreen);
        } else if (step == QLatin1String("next")) {
            playEntry(kLong);
        } else if (step == QLatin1String("intro")) {
            playEntry(kIntro);
        } else if (step == QLatin1String("open")) {
            f->chooserAnswers << kLong;
            main().mnuOpen_Click();
            QVERIFY(gSingleFile);
        } else if (step == QLatin1String("stop")) {
            support::pressMain("stop");
            support::pressMain("play");
        } else if (step == QLatin1String("1x")) {
            main().mnuSpeed.at(1).item->click();
        }
        QCOMPARE(speedCommands(), sent);
        QVERIFY(!gMCI->LoadedFilename().empty());
        const std::int32_t before = gMCI->GetCurrentMultimediaPos();
        media().advance(1000);
        QCOMPARE(gMCI->GetCurrentMultimediaPos() - before, moved);
    }

    // The display shows where the video stands, and its end presses "stop" once.
    void thePositionAndTheEndAtTwiceTheSpeed()
    {
        main().mnuSpeed.at(4).item->click();
        playEntry(kLong);
        media().advance(32500);
        main().tmrMediaScroller_Timer();
        QCOMPARE(main().sbStatus.Panels(2).Text(), QStringLiteral("1:05/12:40"));
        QCOMPARE(main().sldVideo.Value(), 65000);

        f->recorder->clear();
        for (int tick = 0; tick < 800 && main().tmrMediaScroller.Enabled(); ++tick) {
            media().advance(500);
            main().tmrMediaScroller_Timer();
        }
        QVERIFY(!main().tmrMediaScroller.Enabled());
        QCOMPARE(f->recorder->commands().filter(QStringLiteral("stop movie"), Qt::CaseInsensitive),
                 QStringList{"Stop movie"});
        QVERIFY(gMCI->LoadedFilename().empty());
        QCOMPARE(main().sbStatus.Panels(2).Text(), QStringLiteral("00:00/00:00"));
        QVERIFY(playlist().isVisible());
        QCOMPARE(media().elapsed(), 32500 + 347500);
    }
};

QTEST_MAIN(tst_PlaybackSpeed)
#include "tst_PlaybackSpeed.moc"

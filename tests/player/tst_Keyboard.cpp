// The keyboard and the double-clicks of the main window and the playlist window, on the
// simulated media engine: each key presses the main toolbar's button of its key or plays the
// playlist entry, exactly as the mouse would, and the full-screen windows keep only their own
// keys.
#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "mci/SimulatedMedia.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "support/SimulatedCourse.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"

#include <QTest>
#include <QToolButton>

#include <optional>

using namespace modGlobals;

using support::playEntry;
using support::course::kIntro;
using support::course::kLong;
using support::course::kModule;

class tst_Keyboard : public QObject
{
    Q_OBJECT

  private:
    std::optional<support::WindowFixture> f;

    frmMain &main() { return forms::frmMain(); }
    frmPlaylist &playlist() { return forms::frmPlaylist(); }

    void select(const QString &key) { playlist().lvPlaylist.findKey(key)->setSelected(true); }
    // The actions sent to the device since the last clear, without the queries.
    QStringList actionsSent() const
    {
        QStringList actions;
        for (const QString &command : f->recorder->commands())
            if (!command.startsWith(QLatin1String("status ")))
                actions << command;
        return actions;
    }

    // What the student sees: the loaded file, the play button, full screen or not.
    QString look()
    {
        const toolkit::ToolbarButton &play = main().tlbMain.Buttons("play");
        const QString loaded = QString::fromStdString(gMCI->LoadedFilename()).section('/', -1);
        return (loaded.isEmpty() ? QStringLiteral("nothing") : loaded) + ", " + play.Image() +
               ", " + play.ToolTipText() + (gFullScreen ? ", full screen" : "") +
               (main().cmdPList.Tag() == QLatin1String("0") ? ", playlist shown" : "");
    }

    QWidget *target(const QString &where)
    {
        if (where == QLatin1String("main"))
            return &main();
        if (where == QLatin1String("slider"))
            return &main().sldVideo;
        if (where == QLatin1String("playlist button"))
            return &main().cmdPList;
        if (where == QLatin1String("stop button"))
            return main().tlbMain.widgetForAction(&main().tlbMain.Buttons("stop").action());
        if (where == QLatin1String("playlist"))
            return &playlist();
        if (where == QLatin1String("playlist rows"))
            return &playlist().lvPlaylist;
        if (where == QLatin1String("screener"))
            return &forms::frmFullScreen().screener;
        return nullptr;
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

    void keys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("where");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QStringList>("sent");
        QTest::addColumn<QString>("after");
        const QString openModule =
            "open " + kModule + " type AviVideo Alias movie parent %1 Style 1073741824";
        QTest::newRow("Space with an entry selected plays it")
            << int(Qt::Key_Space) << "main"
            << "selected" << QStringList{"Stop movie", "Close movie",
                                         openModule,   "set movie time format ms",
                                         "put",        "play movie from 0 to 60000"}
            << "module1.avi, pause, Pause video";
        QTest::newRow("Space while playing pauses")
            << int(Qt::Key_Space) << "main"
            << "playing" << QStringList{"Pause movie"} << "module1.avi, play, Play video";
        QTest::newRow("Space while paused resumes")
            << int(Qt::Key_Space) << "main"
            << "paused" << QStringList{"Resume movie"} << "module1.avi, pause, Pause video";
        QTest::newRow("Space in the playlist window pauses")
            << int(Qt::Key_Space) << "playlist rows"
            << "playing" << QStringList{"Pause movie"} << "module1.avi, play, Play video";
        QTest::newRow("Space on the focused Playlist button presses that button")
            << int(Qt::Key_Space) << "playlist button"
            << "playing" << QStringList{} << "module1.avi, pause, Pause video, playlist shown";
        QTest::newRow("Space on a focused toolbar button presses that button")
            << int(Qt::Key_Space) << "stop button"
            << "playing" << QStringList{"seek movie to 0", "Play movie", "Stop movie"}
            << "nothing, play, Play video, playlist shown";
        QTest::newRow("Left jumps back")
            << int(Qt::Key_Left) << "main"
            << "playing" << QStringList{"play movie from 5000 to 60000"}
            << "module1.avi, pause, Pause video";
        QTest::newRow("Right jumps ahead from the slider, which does not step")
            << int(Qt::Key_Right) << "slider"
            << "playing" << QStringList{"play movie from 15000 to 60000"}
            << "module1.avi, pause, Pause video";
        QTest::newRow("Right in the playlist window jumps ahead")
            << int(Qt::Key_Right) << "playlist"
            << "playing" << QStringList{"play movie from 15000 to 60000"}
            << "module1.avi, pause, Pause video";
        QTest::newRow("Right while paused plays on with the tooltip kept")
            << int(Qt::Key_Right) << "main"
            << "paused" << QStringList{"play movie from 15000 to 60000"}
            << "module1.avi, pause, Play video";
        QTest::newRow("Left with nothing loaded does nothing")
            << int(Qt::Key_Left) << "main"
            << "selected" << QStringList{} << "nothing, play, Play video";
        QTest::newRow("F11 goes full screen")
            << int(Qt::Key_F11) << "main"
            << "playing"
            << QStringList{"Close movie", "open-screener",       "set movie time format ms",
                           "put",         "seek movie to 10000", "Play movie"}
            << "module1.avi, pause, Pause video, full screen";
        QTest::newRow("F11 during an intro does nothing")
            << int(Qt::Key_F11) << "main"
            << "intro" << QStringList{} << "intro.asf, pause, Pause video";
        QTest::newRow("Enter on a row plays it")
            << int(Qt::Key_Return) << "playlist rows"
            << "selected" << QStringList{"Stop movie", "Close movie",
                                         openModule,   "set movie time format ms",
                                         "put",        "play movie from 0 to 60000"}
            << "module1.avi, pause, Pause video";
        QTest::newRow("Space in full screen does nothing")
            << int(Qt::Key_Space) << "screener"
            << "full screen" << QStringList{} << "module1.avi, pause, Pause video, full screen";
        QTest::newRow("Right in full screen does nothing")
            << int(Qt::Key_Right) << "screener"
            << "full screen" << QStringList{} << "module1.avi, pause, Pause video, full screen";
    }

    void keys()
    {
        QFETCH(int, key);
        QFETCH(QString, where);
        QFETCH(QString, before);
        QFETCH(QStringList, sent);
        QFETCH(QString, after);
        support::arrangeState(*f, before);
        QWidget *widget = target(where);
        QVERIFY(widget);
        f->recorder->clear();
        const int sliderBefore = main().sldVideo.Value();

        QTest::keyClick(widget, Qt::Key(key));

        QStringList actions = actionsSent();
        // The full-screen window's handle and the fitted sizes vary with the screen.
        for (QString &action : actions) {
            if (action.startsWith(QLatin1String("open ")) && action.contains(kModule) &&
                gFullScreen)
                action = QStringLiteral("open-screener");
            else if (action.startsWith(QLatin1String("put movie window")))
                action = QStringLiteral("put");
        }
        const QString picture = QString::number(main().picVideo.hWnd());
        for (QString &expected : sent) {
            if (expected.contains(QLatin1String("%1")))
                expected = expected.arg(picture);
        }
        QCOMPARE(actions, sent);
        QCOMPARE(look(), after);
        if (where == QLatin1String("slider"))
            QCOMPARE(main().sldVideo.Value(), sliderBefore);
    }

    // A double-click on the video goes full screen; one on a row plays it once, not twice.
    void doubleClicks()
    {
        playEntry(kModule);
        QWidget *video = main().picVideo.findChild<QWidget *>(QStringLiteral("mciVideo"));
        QVERIFY(video);
        QTest::mouseDClick(video, Qt::LeftButton);
        QVERIFY(gFullScreen);
        forms::frmFullScreen().LeaveFullScreen();
        support::flushDeletes();
        QVERIFY(!gFullScreen);

        QTest::mouseDClick(&main().picVideo, Qt::RightButton);
        QVERIFY(!gFullScreen);

        main().cmdPList_Click();
        QVERIFY(QTest::qWaitForWindowExposed(&playlist()));
        f->recorder->clear();
        playlist().lvPlaylist.setFocus();
        const QRect row = playlist().lvPlaylist.visualRect(
            playlist().lvPlaylist.model()->index(2, 0)); // "Long module"
        QVERIFY(row.isValid());
        // A double-click arrives as a click followed by a second press that is the double-click.
        QTest::mouseClick(playlist().lvPlaylist.viewport(), Qt::LeftButton, {}, row.center());
        QTest::mouseDClick(playlist().lvPlaylist.viewport(), Qt::LeftButton, {}, row.center());
        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), kLong);
        QCOMPARE(actionsSent().filter(QStringLiteral("open ")).size(), 1);

        // A press that the double-click follows before any release: the double-click plays it.
        support::pressMain("stop");
        select(kModule);
        f->recorder->clear();
        const QRect module =
            playlist().lvPlaylist.visualRect(playlist().lvPlaylist.model()->index(1, 0));
        QWidget *rows = playlist().lvPlaylist.viewport();
        QTest::mousePress(rows, Qt::LeftButton, {}, module.center());
        QTest::mouseDClick(rows, Qt::LeftButton, {}, module.center());
        QTest::mouseRelease(rows, Qt::LeftButton, {}, module.center());
        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), kModule);
        QCOMPARE(actionsSent().filter(QStringLiteral("open ")).size(), 1);
    }

    // Tab walks through every enabled button of the toolbars, and a focused button is drawn
    // differently from the same button without the focus.
    void tabReachesEveryToolbarButton()
    {
        playEntry(kModule);
        main().activateWindow();
        main().tlbMain.widgetForAction(&main().tlbMain.Buttons("full").action())->setFocus();
        QSet<QWidget *> reached;
        for (int i = 0; i < 20; ++i) {
            reached.insert(QApplication::focusWidget());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        for (const char *key : {"full", "play", "stop", "rewind", "forward", "web"}) {
            QWidget *button = main().tlbMain.widgetForAction(&main().tlbMain.Buttons(key).action());
            QVERIFY2(reached.contains(button), key);
        }
        QVERIFY(reached.contains(&main().cmdPList));
        QVERIFY(reached.contains(&main().sldVideo));

        QWidget *play = main().tlbMain.widgetForAction(&main().tlbMain.Buttons("play").action());
        main().sldVideo.setFocus();
        const QImage without = play->grab().toImage();
        play->setFocus();
        QVERIFY(play->hasFocus());
        QVERIFY(play->grab().toImage() != without);

        for (const char *key :
             {"file", "dir", "dir_rec", "up", "down", "delete", "new", "open", "save"}) {
            QWidget *button = playlist().tlbPlaylist.widgetForAction(
                &playlist().tlbPlaylist.Buttons(key).action());
            QVERIFY2(button->focusPolicy() & Qt::TabFocus, key);
        }
    }
};

QTEST_MAIN(tst_Keyboard)
#include "tst_Keyboard.moc"

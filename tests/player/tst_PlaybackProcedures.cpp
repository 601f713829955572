// The procedures of playback's one home: what each writes on the main toolbar and the tools bar
// in each window situation, and the media commands each sends.
#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "fullscreen/frmFullToolbar.h"
#include "player/Playback.h"
#include "player/PlaybackState.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "support/FailureNumber.h"
#include "support/VideoWidget.h"
#include "support/WindowFixture.h"
#include "toolkit/WindowHandles.h"

#include <QTest>

#include <optional>

using namespace modGlobals;

namespace
{

const QString kLesson = QStringLiteral("/course/video/lesson one.avi");
const QString kOther = QStringLiteral("/course/video/other.mpg");

// Where the windows stand when a procedure runs.
enum class Situation {
    Windowed,        // no full screen, no tools bar
    FullScreen,      // full screen with its tools bar loaded
    ToolsBarClosed,  // full screen after the student closed the tools bar
    EnteringFullScr, // the tools bar is loaded but full screen is not on yet
};

enum class Procedure {
    PlayingLook,
    PlayingLookWithTooltip,
    PausedLook,
    PlayingImage,
    PlayingImageMainOnly,
    EnableTransport,
    DisableTransport,
};

// What the student sees of the buttons the procedures write, on one toolbar.
struct Buttons {
    QString image;
    QString toolTip;
    bool transportEnabled;
    bool operator==(const Buttons &) const = default;
};

Buttons buttonsOf(toolkit::Toolbar &bar)
{
    toolkit::ToolbarButton &play = bar.Buttons(QStringLiteral("play"));
    bool enabled = true;
    for (const char *key : {"stop", "rewind", "forward"})
        enabled = enabled && bar.Buttons(QLatin1String(key)).Enabled();
    return {play.Image(), play.ToolTipText(), enabled};
}

void setButtons(toolkit::Toolbar &bar, const Buttons &buttons)
{
    toolkit::ToolbarButton &play = bar.Buttons(QStringLiteral("play"));
    play.setImage(buttons.image);
    play.setToolTipText(buttons.toolTip);
    for (const char *key : {"stop", "rewind", "forward"})
        bar.Buttons(QLatin1String(key)).setEnabled(buttons.transportEnabled);
}

void run(Procedure procedure)
{
    switch (procedure) {
    case Procedure::PlayingLook:
        playback::ShowPlayingLook();
        break;
    case Procedure::PlayingLookWithTooltip:
        playback::ShowPlayingLook(QStringLiteral("Pause Video"));
        break;
    case Procedure::PausedLook:
        playback::ShowPausedLook();
        break;
    case Procedure::PlayingImage:
        playback::ShowPlayingImage();
        break;
    case Procedure::PlayingImageMainOnly:
        playback::ShowPlayingImage(playback::Mirror::MainOnly);
        break;
    case Procedure::EnableTransport:
        playback::EnableTransport(true);
        break;
    case Procedure::DisableTransport:
        playback::EnableTransport(false);
        break;
    }
}

// Neither look: the procedures' writes show against it.
const Buttons kBefore{QStringLiteral("rewind"), QStringLiteral("before"), false};
const Buttons kBeforeEnabled{QStringLiteral("rewind"), QStringLiteral("before"), true};

} // namespace

Q_DECLARE_METATYPE(Situation)
Q_DECLARE_METATYPE(Procedure)
Q_DECLARE_METATYPE(Buttons)

namespace QTest
{
template <> char *toString(const Buttons &buttons)
{
    return qstrdup(qPrintable(QStringLiteral("(%1 | %2 | %3)")
                                  .arg(buttons.image, buttons.toolTip,
                                       buttons.transportEnabled ? QStringLiteral("enabled")
                                                                : QStringLiteral("disabled"))));
}
} // namespace QTest

class tst_PlaybackProcedures : public QObject
{
    Q_OBJECT

  private:
    std::optional<support::WindowFixture> f;

    frmMain &main() { return forms::frmMain(); }

    void enter(Situation situation)
    {
        switch (situation) {
        case Situation::Windowed:
            return;
        case Situation::FullScreen:
            forms::frmFullToolbar();
            gFullScreen = true;
            return;
        case Situation::ToolsBarClosed:
            forms::frmFullToolbar().Unload();
            gFullScreen = true;
            return;
        case Situation::EnteringFullScr:
            forms::frmFullToolbar();
            gFullScreen = false;
            return;
        }
    }

  private slots:
    void init()
    {
        f.emplace();
        mci::SimulatedMedia &media = f->simulateMedia();
        media.addFile(kLesson, 760000, QSize(640, 480));
        media.addFile(kOther, 20000, QSize(320, 240));
        f->recorder.emplace(support::MediaRecorder::Answering::ByInterpreter);
        main().Show();
    }
    void cleanup() { f.reset(); }

    void looksAndTransportOnBothBars_data()
    {
        QTest::addColumn<Procedure>("procedure");
        QTest::addColumn<Situation>("situation");
        QTest::addColumn<Buttons>("main");
        QTest::addColumn<Buttons>("toolsBar"); // unchanged from kBefore where not written

        const Buttons playing{QStringLiteral("pause"), QStringLiteral("Pause video"), false};
        const Buttons playingTip{QStringLiteral("pause"), QStringLiteral("Pause Video"), false};
        const Buttons paused{QStringLiteral("play"), QStringLiteral("Play video"), false};
        const Buttons image{QStringLiteral("pause"), QStringLiteral("before"), false};
        const Buttons enabled{QStringLiteral("rewind"), QStringLiteral("before"), true};
        const Buttons disabled = kBefore;

        struct Row {
            const char *name;
            Procedure procedure;
            Buttons written;
            bool mirrored; // the tools bar takes it in full screen
        };
        const Row rows[] = {
            {"playing look", Procedure::PlayingLook, playing, true},
            {"playing look, own tooltip", Procedure::PlayingLookWithTooltip, playingTip, true},
            {"paused look", Procedure::PausedLook, paused, true},
            {"playing image", Procedure::PlayingImage, image, true},
            {"playing image, main only", Procedure::PlayingImageMainOnly, image, false},
            {"transport enabled", Procedure::EnableTransport, enabled, true},
            {"transport disabled", Procedure::DisableTransport, disabled, true},
        };
        for (const Row &row : rows) {
            // Disabling must show against buttons that were enabled.
            const Buttons start =
                row.procedure == Procedure::DisableTransport ? kBeforeEnabled : kBefore;
            QTest::addRow("%s, windowed", row.name)
                << row.procedure << Situation::Windowed << row.written << start;
            QTest::addRow("%s, full screen", row.name)
                << row.procedure << Situation::FullScreen << row.written
                << (row.mirrored ? row.written : start);
            QTest::addRow("%s, tools bar closed", row.name)
                << row.procedure << Situation::ToolsBarClosed << row.written << start;
            QTest::addRow("%s, entering full screen", row.name)
                << row.procedure << Situation::EnteringFullScr << row.written << start;
        }
    }

    void looksAndTransportOnBothBars()
    {
        QFETCH(Procedure, procedure);
        QFETCH(Situation, situation);
        QFETCH(Buttons, main);
        QFETCH(Buttons, toolsBar);

        const Buttons start = procedure == Procedure::DisableTransport ? kBeforeEnabled : kBefore;
        setButtons(this->main().tlbMain, start);
        if (situation != Situation::Windowed)
            setButtons(forms::frmFullToolbar().tlbFullScreen, start);
        enter(situation);

        run(procedure);

        QCOMPARE(buttonsOf(this->main().tlbMain), main);
        // A tools bar the student closed is not loaded again by a look.
        QCOMPARE(forms::frmFullToolbarLoaded(),
                 situation != Situation::ToolsBarClosed && situation != Situation::Windowed);
        if (forms::frmFullToolbarLoaded())
            QCOMPARE(buttonsOf(forms::frmFullToolbar().tlbFullScreen), toolsBar);
        // The state the other readers see is written with the main toolbar's buttons.
        const bool transport =
            procedure == Procedure::EnableTransport || procedure == Procedure::DisableTransport;
        if (transport)
            QCOMPARE(playback::state().seekable(), main.transportEnabled);
        else
            QCOMPARE(playback::state().playing(), main.image == QStringLiteral("pause"));
    }

    void playingStateShowsTheOpenedVideo_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("toolTip");
        QTest::addColumn<int>("length");
        QTest::newRow("lesson") << kLesson << "Pause video" << 760000;
        QTest::newRow("single file") << kOther << "Pause Video" << 20000;
    }

    void playingStateShowsTheOpenedVideo()
    {
        QFETCH(QString, file);
        QFETCH(QString, toolTip);
        QFETCH(int, length);
        playback::OpenVideo(file, main().picVideo.hWnd());
        playback::ShowPlayingState(toolTip);

        QCOMPARE(buttonsOf(main().tlbMain), (Buttons{QStringLiteral("pause"), toolTip, true}));
        QVERIFY(main().sldVideo.isEnabled());
        QCOMPARE(main().sldVideo.Max(), length);
        QVERIFY(main().tmrMediaScroller.Enabled());
        const playback::State &state = playback::state();
        QCOMPARE(state.file(), file);
        QVERIFY(state.playing() && state.seekable());
        QCOMPARE(state.lengthMs(), length);
    }

    // A video that could not be opened has no length: the slider refuses it with 380, after
    // the look and before the timer, so that the caller's recovery block reports it.
    void playingStateOfAFailedOpenIsRefusedBySlider()
    {
        playback::OpenVideo(QStringLiteral("/course/video/gone.avi"), main().picVideo.hWnd());
        QCOMPARE(failingNumber([] { playback::ShowPlayingState(); }),
                 int(pellin::failure::InvalidPropertyValue));
        QCOMPARE(main().tlbMain.Buttons("play").Image(), QStringLiteral("pause"));
        QVERIFY(!main().tmrMediaScroller.Enabled());
    }

    void nothingLoadedAsStopLeavesIt_data()
    {
        QTest::addColumn<bool>("abandon"); // the failed open's variant, which stops the device
        QTest::addColumn<Situation>("situation");
        for (const bool abandon : {false, true}) {
            const char *name = abandon ? "abandoned video" : "nothing loaded";
            QTest::addRow("%s, windowed", name) << abandon << Situation::Windowed;
            QTest::addRow("%s, full screen", name) << abandon << Situation::FullScreen;
            QTest::addRow("%s, tools bar closed", name) << abandon << Situation::ToolsBarClosed;
        }
    }

    // From a video playing with the playlist collapsed, every display goes back to nothing
    // loaded and the playlist is shown; only the abandoning variant touches the device.
    void nothingLoadedAsStopLeavesIt()
    {
        QFETCH(bool, abandon);
        QFETCH(Situation, situation);
        playback::OpenVideo(kLesson, main().picVideo.hWnd());
        playback::ShowPlayingState();
        playback::ShowTitle(QStringLiteral("Lesson one"));
        main().sbStatus.Panels(2).setText(QStringLiteral("1:05/12:40"));
        main().sldVideo.setValue(65000);
        main().sldVideo.setSelStart(65000);
        main().cmdPList.setTag(QStringLiteral("1"));
        if (situation != Situation::Windowed)
            setButtons(forms::frmFullToolbar().tlbFullScreen, kBeforeEnabled);
        enter(situation);
        f->recorder->clear();

        if (abandon)
            playback::AbandonVideo();
        else
            playback::ReturnToNothingLoaded();

        QCOMPARE(f->recorder->commands(), abandon ? QStringList{"Stop movie"} : QStringList{});
        QVERIFY(gMCI->LoadedFilename().empty());
        const Buttons nothing{QStringLiteral("play"), QStringLiteral("Play video"), false};
        QCOMPARE(buttonsOf(main().tlbMain), nothing);
        QCOMPARE(forms::frmFullToolbarLoaded(), situation == Situation::FullScreen);
        if (situation == Situation::FullScreen) {
            QCOMPARE(buttonsOf(forms::frmFullToolbar().tlbFullScreen), nothing);
            QCOMPARE(forms::frmFullToolbar().Caption(), QStringLiteral("Tools(Ctl-T) 0:00/00:00"));
        }
        QCOMPARE(main().sbStatus.Panels(1).Text(), QString());
        QCOMPARE(main().sbStatus.Panels(2).Text(), QStringLiteral("00:00/00:00"));
        QCOMPARE(main().sldVideo.Value(), 0);
        QCOMPARE(main().sldVideo.SelStart(), 0);
        QVERIFY(!main().sldVideo.isEnabled());
        QVERIFY(!main().tmrMediaScroller.Enabled());
        QCOMPARE(main().cmdPList.Tag(), QStringLiteral("0"));
        QVERIFY(forms::frmPlaylist().isVisible());
        const playback::State &state = playback::state();
        QVERIFY(!state.loaded() && !state.playing() && !state.seekable());
        QCOMPARE(state.lengthMs(), 0);
        QCOMPARE(state.title(), QString());
    }

    void openVideoReplacesWhatIsOpen_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("element");
        QTest::addColumn<QString>("type");
        QTest::newRow("a name with a blank") << kLesson << "\"" + kLesson + "\""
                                             << "AviVideo";
        QTest::newRow("a plain name") << kOther << kOther << "MPEGVideo";
    }

    void openVideoReplacesWhatIsOpen()
    {
        QFETCH(QString, file);
        QFETCH(QString, element);
        QFETCH(QString, type);
        const QString picture = QString::number(main().picVideo.hWnd());
        f->recorder->clear();

        playback::OpenVideo(file, main().picVideo.hWnd());

        QCOMPARE(f->recorder->commands(),
                 (QStringList{"Stop movie", "Close movie",
                              "open " + element + " type " + type + " Alias movie parent " +
                                  picture + " Style 1073741824",
                              "set movie time format ms", "status movie length"}));
        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), file);
        QCOMPARE(QString::fromStdString(gMCI->AliasName()), QStringLiteral("movie"));
    }

    void moveVideoReopensUnderTheNewParentAtThePosition_data()
    {
        QTest::addColumn<bool>("intoScreener");
        QTest::addColumn<int>("position");
        QTest::newRow("into the screener") << true << 65000;
        QTest::newRow("back into the main window") << false << 120000;
        QTest::newRow("position unknown") << false << -1;
    }

    void moveVideoReopensUnderTheNewParentAtThePosition()
    {
        QFETCH(bool, intoScreener);
        QFETCH(int, position);
        playback::OpenVideo(kLesson, main().picVideo.hWnd());
        QWidget &picture = intoScreener ? static_cast<QWidget &>(forms::frmFullScreen().screener)
                                        : main().picVideo;
        if (intoScreener)
            forms::frmFullScreen().Show();
        const long long handle = toolkit::handleOf(&picture);
        const QRect frame = toolkit::windowRect(handle);
        f->recorder->clear();

        playback::MoveVideo(handle, position);

        QCOMPARE(f->recorder->commands(),
                 (QStringList{"Close movie",
                              "open \"" + kLesson + "\" type AviVideo Alias movie parent " +
                                  QString::number(handle) + " Style 1073741824",
                              "set movie time format ms", "status movie length",
                              QStringLiteral("put movie window at 0 0 %1 %2")
                                  .arg(frame.width() - 2)
                                  .arg(frame.height() - 4),
                              "seek movie to " + QString::number(position), "Play movie"}));
        QVERIFY(support::videoWidget(&picture));
    }
};

QTEST_MAIN(tst_PlaybackProcedures)
#include "tst_PlaybackProcedures.moc"

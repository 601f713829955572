// The windows on a real X server, with a real window manager (openbox, mutter or KWin, started
// by the suite as PELLIN_WINDOW_MANAGER names it) and without one: what the window manager decides
// about frames, sizes, buttons, stacking and full screen, the picture reaching the screen's
// corners, and the program ending on Exit.
#include "X11Probe.h"

#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "fullscreen/frmFullToolbar.h"
#include "mci/LibmpvEngine.h"
#include "mci/SimulatedMedia.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "support/Clips.h"
#include "support/CourseFolder.h"
#include "support/Files.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"
#include "toolkit/Units.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <optional>
#include <string>
#include <vector>

#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace modGlobals;

namespace
{

const QString kLesson = QStringLiteral("/course/video/lesson one.avi");
const QString kIntro = QStringLiteral("/course/video/intro.asf");
constexpr qint64 kLessonLength = 760000;
// A window is on the screen well before this even on a loaded machine; the wait ends at once
// when it is.
constexpr int kExposeMs = 20000;

// The window manager the suite runs under: openbox, mutter, kwin, or none.
QByteArray windowManagerName()
{
    const QByteArray name = qgetenv("PELLIN_WINDOW_MANAGER");
    return name.isEmpty() ? QByteArrayLiteral("none") : name;
}

bool withWindowManager()
{
    return windowManagerName() != "none";
}

// The command that starts the window manager in its X11 mode, taking the screen over.
std::vector<std::string> windowManagerCommand(const QByteArray &name)
{
    if (name == "openbox")
        return {"openbox", "--sm-disable"};
    if (name == "mutter")
        return {"mutter", "--x11", "--replace"};
    if (name == "kwin")
        return {"kwin_x11", "--replace"};
    return {};
}

xcb_window_t idOf(QWidget &window)
{
    return static_cast<xcb_window_t>(window.winId());
}

// The bare desktop's colour while the picture case runs: no bar of the test picture has it.
constexpr quint32 kDesktopColour = 0x3366cc;
// The close function of the Motif window manager hints.
constexpr quint32 kMotifClose = 0x20;

} // namespace

class tst_Desktop : public QObject
{
    Q_OBJECT

  private:
    std::optional<support::WindowFixture> f;
    X11Probe x;

    frmMain &main() { return forms::frmMain(); }
    frmPlaylist &playlist() { return forms::frmPlaylist(); }

    void showMain()
    {
        main().Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main(), kExposeMs));
        waitForFrame(main());
    }

    // The window manager frames a window when it maps it; the toolkit follows soon after.
    void waitForFrame(QWidget &window)
    {
        if (!withWindowManager())
            return;
        QTRY_VERIFY(!x.values(idOf(window), "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL).isEmpty());
        QTRY_VERIFY(sameRect(window.frameGeometry(), x.outerGeometry(idOf(window)), window));
        QTRY_VERIFY(sameRect(window.geometry(), x.geometry(idOf(window)), window));
    }

    // KWin makes the tools bar's client taller than the toolkit asked (see
    // outerSizesCountTheRealFrame): only its frame is waited for there.
    void waitForBarFrame(QWidget &bar)
    {
        if (windowManagerName() == "kwin")
            QTRY_VERIFY(!x.values(idOf(bar), "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL).isEmpty());
        else
            waitForFrame(bar);
    }

    // A rectangle of the toolkit's (in device-independent pixels) is the server's one.
    static bool sameRect(const QRect &toolkit, const QRect &server, const QWidget &window)
    {
        const qreal ratio = window.devicePixelRatioF();
        const auto near = [](qreal a, int b) { return qAbs(a - b) <= 1; };
        return near(server.x() / ratio, toolkit.x()) && near(server.y() / ratio, toolkit.y()) &&
               near(server.width() / ratio, toolkit.width()) &&
               near(server.height() / ratio, toolkit.height());
    }

    void playLesson()
    {
        playlist().lvPlaylist.findKey(kLesson)->setSelected(true);
        playlist().lvPlaylist_Click();
    }

    qsizetype stackIndex(QWidget &window) { return x.stacking().indexOf(idOf(window)); }

  private slots:
    void initTestCase()
    {
        QVERIFY(x.valid());
        QCOMPARE(x.windowManagerRunning(), withWindowManager());
    }

    void init()
    {
        f.emplace();
        // The fixture's reset leaves the audio output to the desktop; the suite plays silently.
        mci::setAudioOutput(QStringLiteral("null"));
        // The picture case plays a real clip on the real engine.
        if (QTest::currentTestFunction() != QLatin1String("videoReachesTheScreensCorners")) {
            f->simulateMedia().addFile(kLesson, kLessonLength, QSize(640, 480));
            f->media->addFile(kIntro, 12000, QSize(320, 240));
        }
        playlist().AddEntry(kIntro, "Introduction", "0:12");
        playlist().AddEntry(kLesson, "Lesson one", "12:40");
    }

    void cleanup() { f.reset(); }

    // The written outer sizes hold with the frame the window manager draws, and the written
    // client sizes too.
    void outerSizesCountTheRealFrame_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QSize>("outer");
        QTest::addColumn<QSize>("client");
        QTest::newRow("main window, large") << "main" << QSize(9735, 8730) << QSize();
        QTest::newRow("main window, small") << "small" << QSize(5610, 5150) << QSize();
        QTest::newRow("playlist") << "playlist" << QSize() << QSize(4515, 6030);
        QTest::newRow("tools bar") << "tools bar" << QSize() << QSize(2400, 360);
    }

    void outerSizesCountTheRealFrame()
    {
        QFETCH(QString, window);
        QFETCH(QSize, outer);
        QFETCH(QSize, client);
        showMain();
        toolkit::Form *form = &main();
        if (window == QLatin1String("small")) {
            main().applyVideoLayout(true);
        } else if (window == QLatin1String("playlist")) {
            main().cmdPList_Click();
            form = &playlist();
        } else if (window == QLatin1String("tools bar")) {
            if (windowManagerName() == "kwin")
                QSKIP("KWin keeps a decorated client at least as tall as its decoration's "
                      "borders, taller than the tools bar's written client");
            playLesson();
            main().tlbMain.click("full");
            form = &forms::frmFullToolbar();
        }
        QVERIFY(QTest::qWaitForWindowExposed(form, kExposeMs));
        waitForFrame(*form);

        const QRect frame = x.outerGeometry(idOf(*form));
        const QRect inner = x.geometry(idOf(*form));
        if (withWindowManager()) {
            const QList<quint32> extents =
                x.values(idOf(*form), "_NET_FRAME_EXTENTS", XCB_ATOM_CARDINAL);
            QCOMPARE(extents.size(), 4);
            QCOMPARE(frame.size(),
                     inner.size() + QSize(extents[0] + extents[1], extents[2] + extents[3]));
        }
        if (outer.isValid()) {
            QCOMPARE(QSize(form->Width(), form->Height()), outer);
            // The written outer size where the frame and the menu bar take no more than the
            // allowance; a taller frame grows the window by the difference.
            if (withWindowManager()) {
                const QSize taken =
                    frame.size() - inner.size() +
                    QSize(0, main().menuBar.isVisible() ? main().menuBar.height() : 0);
                const QSize growth(qMax(0, taken.width() - toolkit::kFrameWidthPixels),
                                   qMax(0, taken.height() - toolkit::kFrameHeightPixels));
                // The height and the width are set one after the other: the window manager may
                // still be taking the second when the window is first seen framed.
                QTRY_COMPARE(
                    x.outerGeometry(idOf(*form)).size(),
                    QSize(toolkit::toPixelsX(outer.width()), toolkit::toPixelsY(outer.height())) +
                        growth);
            }
            if (window != QLatin1String("main"))
                return;
            // Every control of the main window is whole inside its client area.
            const QRect area = main().client()->rect();
            for (QWidget *control :
                 main().client()->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
                if (!control->isVisibleTo(main().client()))
                    continue;
                QVERIFY2(area.contains(control->geometry()),
                         qPrintable(QStringLiteral("%1 at %2,%3 %4x%5 outside %6x%7")
                                        .arg(control->objectName())
                                        .arg(control->x())
                                        .arg(control->y())
                                        .arg(control->width())
                                        .arg(control->height())
                                        .arg(area.width())
                                        .arg(area.height())));
            }
            QVERIFY(main().client()->height() >=
                    toolkit::toPixelsY(outer.height()) - toolkit::kFrameHeightPixels);
        } else {
            QCOMPARE(QSize(form->ScaleWidth(), form->ScaleHeight()), client);
            QCOMPARE(form->client()->size(), QSize(toolkit::toPixelsX(client.width()),
                                                   toolkit::toPixelsY(client.height())));
            if (withWindowManager())
                QCOMPARE(
                    QSize(form->Width(), form->Height()),
                    QSize(toolkit::toTwipsX(frame.width()), toolkit::toTwipsY(frame.height())));
        }
    }

    // The playlist is centred on the screen by the frame the window manager really draws, known
    // before the window is first shown.
    void playlistIsCentredOnItsRealFrame()
    {
        if (!withWindowManager())
            QSKIP("nothing frames the window: the fixed allowance places it");
        showMain();
        main().cmdPList_Click();
        QVERIFY(QTest::qWaitForWindowExposed(&playlist(), kExposeMs));
        waitForFrame(playlist());
        const qreal ratio = playlist().devicePixelRatioF();
        const QRect frame = x.outerGeometry(idOf(playlist()));
        const QRect screen = playlist().screen()->geometry();
        if (windowManagerName() == "kwin")
            QEXPECT_FAIL("",
                         "KWin 5.27 leaves the frame request of a window not yet shown "
                         "unanswered: the fixed allowance places it",
                         Continue);
        const QPointF centre = QRectF(frame.x() / ratio, frame.y() / ratio, frame.width() / ratio,
                                      frame.height() / ratio)
                                   .center();
        QVERIFY2(qAbs(centre.x() - QRectF(screen).center().x()) <= 1 &&
                     qAbs(centre.y() - QRectF(screen).center().y()) <= 1,
                 qPrintable(QStringLiteral("frame %1,%2 %3x%4 on a %5x%6 screen")
                                .arg(frame.x())
                                .arg(frame.y())
                                .arg(frame.width())
                                .arg(frame.height())
                                .arg(screen.width())
                                .arg(screen.height())));
    }

    // A fixed window keeps its size whatever another program or the window manager asks.
    void mainWindowCannotBeResized()
    {
        if (!withWindowManager())
            QSKIP("without a window manager nobody but the program sizes a window");
        showMain();
        const QRect before = x.outerGeometry(idOf(main()));
        const QStringList actions = x.atomNames(idOf(main()), "_NET_WM_ALLOWED_ACTIONS");
        QVERIFY2(!actions.contains("_NET_WM_ACTION_RESIZE"), qPrintable(actions.join(' ')));
        QVERIFY(!actions.contains("_NET_WM_ACTION_MAXIMIZE_HORZ"));
        QVERIFY(!actions.contains("_NET_WM_ACTION_MAXIMIZE_VERT"));
        QVERIFY(actions.contains("_NET_WM_ACTION_MINIMIZE"));
        QVERIFY(actions.contains("_NET_WM_ACTION_CLOSE"));

        // A bigger size and a new place in one request: the place is taken, the size is not.
        x.requestGeometry(idOf(main()), QRect(before.topLeft() + QPoint(40, 30), QSize(900, 700)));
        QTRY_VERIFY(x.outerGeometry(idOf(main())).topLeft() != before.topLeft());
        QCOMPARE(x.outerGeometry(idOf(main())).size(), before.size());
        x.requestState(idOf(main()), "_NET_WM_STATE_MAXIMIZED_VERT", true);
        x.requestState(idOf(main()), "_NET_WM_STATE_MAXIMIZED_HORZ", true);
        x.requestState(idOf(main()), "_NET_WM_STATE_ABOVE", true);
        QTRY_VERIFY(x.atomNames(idOf(main()), "_NET_WM_STATE").contains("_NET_WM_STATE_ABOVE"));
        QCOMPARE(x.outerGeometry(idOf(main())).size(), before.size());
        QCOMPARE(QSize(main().Width(), main().Height()),
                 QSize(frmMain::kLargeWidth, frmMain::kLargeHeight));
    }

    // The tools bar closes but neither minimises, maximises nor resizes and stays out of the
    // taskbar; the playlist has no close button; both are transient for their owner.
    void windowsHaveTheWrittenButtons()
    {
        showMain();
        main().cmdPList_Click();
        QVERIFY(QTest::qWaitForWindowExposed(&playlist(), kExposeMs));
        waitForFrame(playlist());
        QCOMPARE(x.values(idOf(playlist()), "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW),
                 QList<quint32>{idOf(main())});
        playLesson();
        main().tlbMain.click("full");
        frmFullToolbar &bar = forms::frmFullToolbar();
        QVERIFY(QTest::qWaitForWindowExposed(&bar, kExposeMs));
        waitForBarFrame(bar);
        QCOMPARE(x.values(idOf(bar), "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW),
                 QList<quint32>{idOf(forms::frmFullScreen())});
        bar.tlbFullScreen.click("playlist");
        QVERIFY(QTest::qWaitForWindowExposed(&playlist(), kExposeMs));
        QCOMPARE(x.values(idOf(playlist()), "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW),
                 QList<quint32>{idOf(forms::frmFullScreen())});
        if (!withWindowManager())
            return;

        QTRY_VERIFY(!x.atomNames(idOf(bar), "_NET_WM_ALLOWED_ACTIONS").isEmpty());
        const QStringList bars = x.atomNames(idOf(bar), "_NET_WM_ALLOWED_ACTIONS");
        QVERIFY2(bars.contains("_NET_WM_ACTION_CLOSE"), qPrintable(bars.join(' ')));
        for (const char *absent : {"_NET_WM_ACTION_MINIMIZE", "_NET_WM_ACTION_MAXIMIZE_HORZ",
                                   "_NET_WM_ACTION_MAXIMIZE_VERT", "_NET_WM_ACTION_RESIZE"})
            QVERIFY2(!bars.contains(absent),
                     qPrintable(QStringLiteral("%1 in %2; type %3")
                                    .arg(absent, bars.join(' '),
                                         x.atomNames(idOf(bar), "_NET_WM_WINDOW_TYPE").join(' '))));
        QVERIFY(x.atomNames(idOf(bar), "_NET_WM_STATE").contains("_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(x.atomNames(idOf(forms::frmFullScreen()), "_NET_WM_STATE")
                    .contains("_NET_WM_STATE_SKIP_TASKBAR"));

        // The playlist asks for no close button; openbox keeps the close button of every
        // window whatever it is asked, so there the close box must do nothing.
        const QList<quint32> motif = x.values(idOf(playlist()), "_MOTIF_WM_HINTS", 0);
        QVERIFY(motif.size() >= 2);
        QCOMPARE(motif[1] & kMotifClose, 0u);
        QVERIFY(motif[1] != 0);
        // A window of the suite's own closed right after tells when the close has arrived.
        QWidget marker;
        marker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&marker, kExposeMs));
        x.closeBox(idOf(playlist()));
        x.closeBox(idOf(marker));
        QTRY_VERIFY(!marker.isVisible());
        QVERIFY(forms::frmPlaylistLoaded());
        QVERIFY(playlist().isVisible());
    }

    // Full screen covers the screen that holds the main window, frame and panels included, and
    // the picture area fills it but for the margin.
    void fullScreenCoversTheScreen()
    {
        showMain();
        const QSize outerBefore = x.outerGeometry(idOf(main())).size();
        playLesson();
        main().tlbMain.click("full");
        frmFullScreen &full = forms::frmFullScreen();
        QVERIFY(QTest::qWaitForWindowExposed(&full, kExposeMs));
        const QRect screen(QPoint(0, 0), x.screenSize());
        QTRY_COMPARE(x.outerGeometry(idOf(full)), screen);
        QTRY_COMPARE(full.frameGeometry(), screen);
        if (withWindowManager())
            QTRY_VERIFY(
                x.atomNames(idOf(full), "_NET_WM_STATE").contains("_NET_WM_STATE_FULLSCREEN"));
        QCOMPARE(full.screener.geometry(), QRect(2, 2, screen.width() - 5, screen.height() - 5));
        // The tools bar sits above it, where it was written to sit.
        frmFullToolbar &bar = forms::frmFullToolbar();
        QVERIFY(QTest::qWaitForWindowExposed(&bar, kExposeMs));
        QTRY_VERIFY(stackIndex(bar) > stackIndex(full));
        QCOMPARE(x.outerGeometry(idOf(bar)).topLeft(),
                 QPoint(toolkit::toPixelsX(6400), toolkit::toPixelsY(65)));

        // Back in the main window, hidden and shown again, the frame and the client are as
        // before: the frame's extents may be unknown for a moment after the window is mapped
        // again, which must not shrink the client to a made-up frame.
        const QSize clientBefore = main().client()->size();
        full.LeaveFullScreen();
        QVERIFY(QTest::qWaitForWindowExposed(&main(), kExposeMs));
        waitForFrame(main());
        QTRY_COMPARE(main().client()->size(), clientBefore);
        if (withWindowManager())
            QTRY_COMPARE(x.outerGeometry(idOf(main())).size(), outerBefore);
    }

    // Full screen and back five times: the main window comes back each time at exactly the
    // place and size it had, frame included.
    void fullScreenGivesThePlaceBack()
    {
        // openbox puts the window back a frame's corner off now and then, and KWin keeps Qt's
        // idea of the place behind the server's: only mutter's round trip holds so far.
        if (windowManagerName() != "mutter" && withWindowManager())
            QSKIP(
                "the place after full screen holds under mutter and without a window manager only");
        showMain();
        playLesson();
        main().Move(3000, 2400, main().Width(), main().Height());
        QTRY_COMPARE(x.outerGeometry(idOf(main())).topLeft(),
                     QPoint(toolkit::toPixelsX(3000), toolkit::toPixelsY(2400)));
        const QRect before = x.outerGeometry(idOf(main()));
        const QRect client = x.geometry(idOf(main()));
        for (int round = 1; round <= 5; ++round) {
            main().tlbMain.click("full");
            QVERIFY(QTest::qWaitForWindowExposed(&forms::frmFullScreen(), kExposeMs));
            forms::frmFullScreen().LeaveFullScreen();
            QVERIFY(QTest::qWaitForWindowExposed(&main(), kExposeMs));
            waitForFrame(main());
            QTRY_COMPARE(x.outerGeometry(idOf(main())), before);
            QTRY_COMPARE(x.geometry(idOf(main())), client);
        }
        QCOMPARE(QPoint(main().Left(), main().Top()), QPoint(3000, 2400));
    }

    // The keys a student presses reach the window on the screen: Esc typed on the keyboard
    // leaves full screen, although the main window that had the focus was hidden on the way in,
    // and back in the main window F11 enters it again.
    void fullScreenTakesTheKeys()
    {
        showMain();
        playLesson();
        ActivateWindow(main().hWnd());
        QTRY_COMPARE(QApplication::activeWindow(), &main());
        main().tlbMain.click("full");
        frmFullScreen &full = forms::frmFullScreen();
        QVERIFY(QTest::qWaitForWindowExposed(&full, kExposeMs));
        QTRY_COMPARE(QApplication::activeWindow(), &full);
        // Qt counts a window active on the window manager's word; the key goes where the X
        // server has put the focus, which a loaded machine may do a moment later.
        QTRY_COMPARE(x.inputFocus(), idOf(full));
        QCOMPARE(QProcess::execute("xdotool", {"key", "Escape"}), 0);
        QTRY_VERIFY(!gFullScreen);
        QVERIFY(!forms::frmFullScreenLoaded());
        QTRY_COMPARE(QApplication::activeWindow(), &main());
        QTRY_COMPARE(x.inputFocus(), idOf(main()));
        QCOMPARE(QProcess::execute("xdotool", {"key", "F11"}), 0);
        QTRY_VERIFY(gFullScreen);
        forms::frmFullScreen().LeaveFullScreen();
    }

    // Ctrl+T typed in the tools bar hides it, and the keyboard is the full-screen window's at
    // once: the next Ctrl+T shows the bar again, Esc leaves full screen.
    void fullScreenKeepsTheKeysWhenTheBarHides()
    {
        showMain();
        playLesson();
        main().tlbMain.click("full");
        frmFullScreen &full = forms::frmFullScreen();
        frmFullToolbar &bar = forms::frmFullToolbar();
        QVERIFY(QTest::qWaitForWindowExposed(&bar, kExposeMs));
        waitForBarFrame(bar);
        ActivateWindow(bar.hWnd());
        QTRY_COMPARE(x.inputFocus(), idOf(bar));
        QCOMPARE(QProcess::execute("xdotool", {"key", "ctrl+t"}), 0);
        QTRY_VERIFY(!bar.isVisible());
        QTRY_COMPARE(x.inputFocus(), idOf(full));
        QCOMPARE(QProcess::execute("xdotool", {"key", "ctrl+t"}), 0);
        QTRY_VERIFY(bar.isVisible());
        QCOMPARE(QProcess::execute("xdotool", {"key", "Escape"}), 0);
        QTRY_VERIFY(!gFullScreen);
    }

    // A message box names the window the student works in as its owner, and the window manager
    // keeps it above that window.
    void messageBoxStaysAboveItsOwner_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::newRow("main window") << "main";
        QTest::newRow("playlist") << "playlist";
    }

    void messageBoxStaysAboveItsOwner()
    {
        QFETCH(QString, owner);
        showMain();
        main().cmdPList_Click();
        QVERIFY(QTest::qWaitForWindowExposed(&playlist(), kExposeMs));
        waitForFrame(playlist());
        QWidget &window = owner == QLatin1String("main") ? static_cast<QWidget &>(main())
                                                         : static_cast<QWidget &>(playlist());
        ActivateWindow(static_cast<toolkit::Form &>(window).hWnd());
        QTRY_COMPARE(QApplication::activeWindow(), &window);
        const std::unique_ptr<QMessageBox> box =
            toolkit::makeMessageBox({QStringLiteral("A question"), toolkit::vbOKOnly,
                                     QStringLiteral("Vorlund - IT Certification Videos")});
        box->setWindowModality(Qt::ApplicationModal);
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get(), kExposeMs));
        QCOMPARE(x.values(idOf(*box), "WM_TRANSIENT_FOR", XCB_ATOM_WINDOW),
                 QList<quint32>{idOf(window)});
        QTRY_VERIFY(stackIndex(*box) >= 0 || !withWindowManager());
        QTRY_VERIFY2(
            stackIndex(*box) > stackIndex(window),
            qPrintable(
                QStringLiteral("box %1, owner %2").arg(stackIndex(*box)).arg(stackIndex(window))));
        box->accept();
    }

    // Typed on the keyboard, the first Space after a jump pauses, as a click on "play" would,
    // and the next one plays on.
    void spaceAfterAJumpPauses_data()
    {
        QTest::addColumn<QString>("jump");
        QTest::newRow("Left") << "Left";
        QTest::newRow("Right") << "Right";
    }

    void spaceAfterAJumpPauses()
    {
        QFETCH(QString, jump);
        showMain();
        playLesson();
        ActivateWindow(main().hWnd());
        QTRY_COMPARE(QApplication::activeWindow(), &main());
        toolkit::ToolbarButton &play = main().tlbMain.Buttons("play");
        QCOMPARE(play.Image(), QStringLiteral("pause"));
        f->media->advance(65000);
        const std::int32_t before = gMCI->GetCurrentMultimediaPos();
        QCOMPARE(QProcess::execute("xdotool", {"key", jump}), 0);
        QTRY_VERIFY(gMCI->GetCurrentMultimediaPos() != before);
        QCOMPARE(QProcess::execute("xdotool", {"key", "space"}), 0);
        QTRY_COMPARE(play.Image(), QStringLiteral("play"));
        QVERIFY(gMCI->Paused());
        QCOMPARE(QProcess::execute("xdotool", {"key", "space"}), 0);
        QTRY_COMPARE(play.Image(), QStringLiteral("pause"));
        QVERIFY(!gMCI->Paused());
    }

    // Two real clicks on a playlist row: the first plays it and hides the playlist, the second
    // lands on the video beneath and makes no double-click of it.
    void doubleClickOnARowPlaysIt_data()
    {
        QTest::addColumn<int>("gapMs");
        QTest::newRow("60 ms apart") << 60;
        QTest::newRow("200 ms apart") << 200;
        QTest::newRow("350 ms apart") << 350;
    }

    void doubleClickOnARowPlaysIt()
    {
        QFETCH(int, gapMs);
        showMain();
        main().cmdPList_Click();
        QVERIFY(QTest::qWaitForWindowExposed(&playlist(), kExposeMs));
        waitForFrame(playlist());
        ActivateWindow(playlist().hWnd());
        QTRY_COMPARE(QApplication::activeWindow(), &playlist());
        toolkit::ListView &rows = playlist().lvPlaylist;
        const auto rowOnScreen = [&] {
            return rows.viewport()->mapToGlobal(
                rows.visualRect(rows.model()->index(1, 0)).center()); // "Lesson one"
        };
        // The row sits over the middle of the video, where the second click lands.
        const QPoint video = main().picVideo.mapToGlobal(main().picVideo.rect().center());
        const QPoint shift = video - rowOnScreen();
        playlist().Move(playlist().Left() + toolkit::toTwipsX(shift.x()),
                        playlist().Top() + toolkit::toTwipsY(shift.y()), playlist().Width(),
                        playlist().Height());
        QTRY_VERIFY((rowOnScreen() - video).manhattanLength() <= 2);
        const QPoint row = rowOnScreen();
        QCOMPARE(QProcess::execute("xdotool", {"mousemove", QString::number(row.x()),
                                               QString::number(row.y()), "click", "--repeat", "2",
                                               "--delay", QString::number(gapMs), "1"}),
                 0);
        QTRY_COMPARE(QString::fromStdString(gMCI->LoadedFilename()).toLower(), kLesson.toLower());
        // A click on a window of the suite's own, made after both: once it has arrived, so
        // has everything the two clicks did.
        QPushButton marker(QStringLiteral("marker"));
        marker.setWindowFlags(Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
        marker.setGeometry(QRect(QPoint(x.screenSize().width() - 60, 0), QSize(60, 30)));
        QSignalSpy clicked(&marker, &QPushButton::clicked);
        marker.show();
        QVERIFY(QTest::qWaitForWindowExposed(&marker, kExposeMs));
        const QPoint centre = marker.mapToGlobal(marker.rect().center());
        QCOMPARE(QProcess::execute("xdotool", {"mousemove", QString::number(centre.x()),
                                               QString::number(centre.y()), "click", "1"}),
                 0);
        QTRY_COMPARE(clicked.count(), 1);
        QVERIFY(!gFullScreen);
        QVERIFY(!forms::frmFullScreenLoaded());
        QVERIFY(!playlist().isVisible());
    }

    // Edge to edge: the video's pixels reach the neighbourhood of every corner of the screen.
    void videoReachesTheScreensCorners()
    {
        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        QString failure;
        const QString clip = clips::make(folder.path(), clips::format("avi-mpeg4-mp3"),
                                         {QSize(320, 240), 20, false}, &failure);
        QVERIFY2(!clip.isEmpty(), qPrintable(failure));
        playlist().lvPlaylist.Clear();
        playlist().AddEntry(clip, "Clip", "0:20");
        showMain();
        playlist().lvPlaylist.findKey(clip)->setSelected(true);
        playlist().lvPlaylist_Click();
        main().tlbMain.click("full");
        frmFullScreen &full = forms::frmFullScreen();
        QVERIFY(QTest::qWaitForWindowExposed(&full, kExposeMs));
        // The tools bar would cover the top; it is hidden as Ctrl+T hides it.
        QTest::keyClick(&forms::frmFullToolbar(), Qt::Key_T, Qt::ControlModifier);
        const QColor background = full.palette().color(QPalette::Window);
        const QColor desktop = QColor::fromRgb(kDesktopColour);
        x.paintDesktop(kDesktopColour);
        const QSize screen = x.screenSize();
        const QList<QPoint> corners{{10, 10},
                                    {screen.width() - 11, 10},
                                    {10, screen.height() - 11},
                                    {screen.width() - 11, screen.height() - 11}};
        QImage shot;
        const auto cornersShowPicture = [&] {
            shot = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
            for (const QPoint &corner : corners)
                if (shot.pixelColor(corner) == background || shot.pixelColor(corner) == desktop)
                    return false;
            return true;
        };
        const bool shown = QTest::qWaitFor(cornersShowPicture, 15000);
        if (!shown)
            shot.save(QCoreApplication::applicationDirPath() + QStringLiteral("/corners.png"));
        x.paintDesktop(0);
        QVERIFY2(shown, "the screen is in corners.png beside the suite");
    }

    // The caption as written, and the position readable inside the bar whatever the window
    // manager's title font cuts: every line of it fits, right of the six buttons.
    void toolsBarShowsThePosition_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("position");
        QTest::newRow("from the position timer") << "Tools(Ctl-T) 1:05/12:40"
                                                 << "1:05/12:40";
        QTest::newRow("a long video") << "Tools(Ctl-T) 62:05/120:00"
                                      << "62:05/120:00";
        QTest::newRow("after stop") << "Tools(Ctl-T) 0:00/00:00"
                                    << "0:00/00:00";
        QTest::newRow("at load") << "Tools (Ctrl-T)"
                                 << "";
    }

    void toolsBarShowsThePosition()
    {
        QFETCH(QString, caption);
        QFETCH(QString, position);
        showMain();
        playLesson();
        f->media->advance(65000);
        main().tlbMain.click("full");
        frmFullToolbar &bar = forms::frmFullToolbar();
        QVERIFY(QTest::qWaitForWindowExposed(&bar, kExposeMs));
        main().tmrMediaScroller.tick();
        QCOMPARE(bar.Caption(), QStringLiteral("Tools(Ctl-T) 1:05/12:40"));
        if (caption != bar.Caption())
            bar.setCaption(caption);

        QLabel &label = bar.lblPosition;
        QCOMPARE(label.text().replace(u'\n', u'/'), position);
        const QFontMetrics metrics(label.font());
        const QStringList lines = label.text().split(u'\n');
        for (const QString &line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= label.contentsRect().width(),
                     qPrintable(line));
        QVERIFY(metrics.height() * lines.size() <= label.contentsRect().height());
        QVERIFY(label.font().pointSizeF() >= 6.75);
        QVERIFY(bar.client()->rect().contains(label.geometry()));
        for (const char *key : {"normal", "play", "stop", "rewind", "forward", "playlist"}) {
            const QWidget *button =
                bar.tlbFullScreen.widgetForAction(&bar.tlbFullScreen.Buttons(key).action());
            QVERIFY2(button && button->isVisible(), key);
            QVERIFY(bar.tlbFullScreen.mapTo(bar.client(), button->geometry().topRight()).x() <
                    label.geometry().left());
        }
        QCOMPARE(QSize(bar.ScaleWidth(), bar.ScaleHeight()), QSize(2400, 360));
    }

    // Both ways out end the program with status 0, and the carry-over file goes with it.
    void exitEndsTheProgram_data()
    {
        QTest::addColumn<bool>("menu");
        QTest::newRow("File > Exit") << true;
        QTest::newRow("close box") << false;
    }

    void exitEndsTheProgram()
    {
        QFETCH(bool, menu);
        QTemporaryDir home;
        QVERIFY(home.isValid());
        const support::CourseFolder course(home.path());
        course.writeIndex({"\\m1.avi;Module 1;0:04"});
        const QString program = course.bin() + "/PellinPlayer";
        QVERIFY(QFile::copy(QStringLiteral(PELLIN_PLAYER), program));
        QVERIFY(QFile::setPermissions(program, QFile::permissions(program) | QFile::ExeOwner));
        // A PDF viewer on the path answers the start-up's Reader question.
        QVERIFY(QDir().mkpath(home.filePath("tools")));
        QVERIFY(support::writeFile(home.filePath("tools/mupdf"), "#!/bin/sh\nexit 0\n"));
        QVERIFY(QFile::setPermissions(home.filePath("tools/mupdf"),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        // A carry-over file left behind as by a run that ended abruptly.
        const QString runtime = home.filePath("runtime");
        QVERIFY(QDir().mkpath(runtime));
        QVERIFY(
            QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        QVERIFY(support::writeFile(runtime + "/tmpPlist.txt", "/old/x.avi;Old;1:00\r\n"));

        QProcess player;
        QProcessEnvironment environment;
        for (const char *name : {"DISPLAY", "XAUTHORITY"})
            if (qEnvironmentVariableIsSet(name))
                environment.insert(name, qEnvironmentVariable(name));
        environment.insert("HOME", home.path());
        environment.insert("PATH", home.filePath("tools") + ":/usr/bin:/bin");
        environment.insert("XDG_RUNTIME_DIR", runtime);
        player.setProcessEnvironment(environment);
        player.setProcessChannelMode(QProcess::ForwardedChannels);
        player.start(program, {});
        QVERIFY(player.waitForStarted());
        xcb_window_t mainWindow = 0;
        QTRY_VERIFY_WITH_TIMEOUT((mainWindow = x.findWindow("Vorlund - IT Certification Videos -",
                                                            player.processId())) != 0,
                                 30000);
        // The start-up is over once its timer has shown the playlist, and the window manager
        // has taken it in (WM_STATE) and given it the focus it gives a new window: a focus asked
        // for before then goes to the playlist.
        xcb_window_t playlistWindow = 0;
        QTRY_VERIFY_WITH_TIMEOUT(
            (playlistWindow = x.findWindow("Pellin Playlist", player.processId())) != 0, 30000);
        if (withWindowManager())
            QTRY_COMPARE_WITH_TIMEOUT(x.values(playlistWindow, "WM_STATE", 0).value(0), 1u,
                                      kExposeMs);

        if (menu) {
            const QString id = QString::number(mainWindow);
            // A window manager gives the focus on the desktop's own request (_NET_ACTIVE_WINDOW,
            // as a taskbar asks); without one the focus is set directly. The keys are typed once
            // the X server has put the focus there.
            QCOMPARE(QProcess::execute(
                         "xdotool", {withWindowManager() ? "windowactivate" : "windowfocus", id}),
                     0);
            QTRY_COMPARE_WITH_TIMEOUT(x.inputFocus(), mainWindow, kExposeMs);
            if (withWindowManager())
                QTRY_COMPARE_WITH_TIMEOUT(
                    x.values(x.root(), "_NET_ACTIVE_WINDOW", XCB_ATOM_WINDOW).value(0), mainWindow,
                    kExposeMs);
            QCOMPARE(QProcess::execute("xdotool", {"key", "--clearmodifiers", "alt+f"}), 0);
            QCOMPARE(QProcess::execute("xdotool", {"key", "--clearmodifiers", "e"}), 0);
        } else {
            x.closeBox(mainWindow);
        }
        const bool ended = player.waitForFinished(30000);
        if (!ended)
            player.kill();
        QVERIFY2(ended, "the program still runs with every window gone");
        QCOMPARE(player.exitStatus(), QProcess::NormalExit);
        QCOMPARE(player.exitCode(), 0);
        QVERIFY(!QFile::exists(runtime + "/tmpPlist.txt"));
    }

    // After play and stop, and after a menu of the main window was opened, the playlist shown
    // is above the main window, with and without Always on Top.
    void playlistStaysAboveTheMainWindow_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<bool>("onTop");
        for (const bool onTop : {false, true}) {
            const char *suffix = onTop ? ", Always on Top" : "";
            QTest::addRow("play and stop%s", suffix) << "stop" << onTop;
            QTest::addRow("play to the end%s", suffix) << "end" << onTop;
            QTest::addRow("menu opened%s", suffix) << "menu" << onTop;
        }
    }

    void playlistStaysAboveTheMainWindow()
    {
        QFETCH(QString, action);
        QFETCH(bool, onTop);
        showMain();
        if (onTop)
            main().mnuOnTop_Click();
        main().cmdPList_Click();
        QVERIFY(QTest::qWaitForWindowExposed(&playlist(), kExposeMs));
        waitForFrame(playlist());
        if (action == QLatin1String("menu")) {
            if (windowManagerName() == "mutter")
                QSKIP("a click sent by xdotool on the menu bar opens no menu under mutter here");
            // A click on the main window's menu bar, as the student makes it: the window
            // manager raises the main window, and the menu opens.
            QWidget *menuBar = &main().menuBar;
            const QPoint file = menuBar->mapToGlobal(QPoint(12, menuBar->height() / 2));
            QProcess::execute("xdotool", {"mousemove", QString::number(file.x()),
                                          QString::number(file.y()), "click", "1"});
            QTRY_VERIFY(QApplication::activePopupWidget());
            QProcess::execute("xdotool", {"key", "Escape"});
            QTRY_VERIFY(!QApplication::activePopupWidget());
        } else {
            playLesson();
            QTRY_VERIFY(!playlist().isVisible());
            // A lesson plays for minutes: the playlist is shown again once the window manager
            // has let the hidden one go, not while it is still taking in the unmap.
            if (withWindowManager())
                QTRY_VERIFY(stackIndex(playlist()) < 0);
            if (action == QLatin1String("stop")) {
                main().tlbMain.click("stop");
            } else {
                f->media->advance(kLessonLength);
                main().tmrMediaScroller.tick();
            }
        }
        QVERIFY(playlist().isVisible());
        QTRY_VERIFY(stackIndex(playlist()) >= 0);
        QTRY_VERIFY2(stackIndex(playlist()) > stackIndex(main()),
                     qPrintable(QStringLiteral("playlist %1, main %2")
                                    .arg(stackIndex(playlist()))
                                    .arg(stackIndex(main()))));
    }
};

int main(int argc, char **argv)
{
    // The window manager is there before the program's first window, as on a desktop.
    pid_t windowManager = 0;
    const QByteArray name = windowManagerName();
    if (withWindowManager()) {
        std::vector<std::string> command = windowManagerCommand(name);
        if (command.empty()) {
            std::fprintf(stderr, "unknown window manager %s\n", name.constData());
            return 1;
        }
        // KWin draws the Breeze decoration, as Plasma does, and leaves compositing off on the
        // virtual screen; its configuration lives in a folder of the suite's own.
        const QTemporaryDir configuration;
        if (name == "kwin") {
            QFile kwinrc(configuration.filePath(QStringLiteral("kwinrc")));
            if (!kwinrc.open(QIODevice::WriteOnly) ||
                kwinrc.write("[org.kde.kdecoration2]\nlibrary=org.kde.breeze\ntheme=Breeze\n\n"
                             "[Compositing]\nEnabled=false\n") < 0) {
                std::fprintf(stderr, "no configuration folder for KWin\n");
                return 1;
            }
            kwinrc.close();
            qputenv("XDG_CONFIG_HOME", QFile::encodeName(configuration.path()));
        }
        std::vector<char *> arguments;
        for (std::string &argument : command)
            arguments.push_back(argument.data());
        arguments.push_back(nullptr);
        if (posix_spawnp(&windowManager, arguments[0], nullptr, nullptr, arguments.data(),
                         environ) != 0) {
            std::fprintf(stderr, "%s could not be started\n", arguments[0]);
            return 1;
        }
        X11Probe probe;
        while (probe.valid() && !probe.windowManagerRunning()) {
            if (waitpid(windowManager, nullptr, WNOHANG) == windowManager) {
                std::fprintf(stderr, "%s ended before it managed the screen\n", arguments[0]);
                return 1;
            }
            usleep(20000);
        }
        if (probe.valid() && !probe.windowManagerFramesWindows(60000)) {
            std::fprintf(stderr, "%s framed no window within a minute\n", arguments[0]);
            return 1;
        }
    }
    int status = 0;
    {
        QApplication app(argc, argv);
        tst_Desktop suite;
        status = QTest::qExec(&suite, argc, argv);
    }
    if (windowManager) {
        kill(windowManager, SIGTERM);
        waitpid(windowManager, nullptr, 0);
    }
    return status;
}

#include "tst_Desktop.moc"

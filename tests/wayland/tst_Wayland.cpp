// The windows inside a real Wayland compositor (weston, started around the suite by
// weston-session.sh): with Xwayland beside it they run on the X display, as on a GNOME or
// Plasma Wayland session; with Wayland alone, natively. Either way the player plays, goes full
// screen and back, keeps its fixed windows fixed, keeps a box above the window it belongs to and
// says nothing on the terminal about what Wayland does not offer. Input is sent in-process: the
// headless compositor has no keyboard.
#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "fullscreen/frmFullToolbar.h"
#include "mci/LibmpvEngine.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "support/Clips.h"
#include "support/VideoWidget.h"
#include "support/WindowFixture.h"
#include "toolkit/DisplayPlatform.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <optional>

using namespace modGlobals;

namespace
{

constexpr int kExposeMs = 20000;

// What the toolkit and the platform plug-in say on the terminal while the suite runs.
QStringList &terminalLines()
{
    static QStringList lines;
    return lines;
}

void keepTerminalLine(QtMsgType type, const QMessageLogContext &, const QString &text)
{
    if (type != QtDebugMsg && type != QtInfoMsg)
        terminalLines() << text;
    std::fprintf(stderr, "%s\n", qPrintable(text));
}

// The platform the session should have chosen: the X display where Xwayland is there.
QString expectedPlatform()
{
    return qEnvironmentVariableIsEmpty("DISPLAY") ? QStringLiteral("wayland")
                                                  : QStringLiteral("xcb");
}

} // namespace

class tst_Wayland : public QObject
{
    Q_OBJECT

    std::optional<support::WindowFixture> f;
    QTemporaryDir clipFolder;
    QString clip;

    frmMain &main() { return forms::frmMain(); }
    frmPlaylist &playlist() { return forms::frmPlaylist(); }

    void showMain()
    {
        main().Show();
        QVERIFY(QTest::qWaitForWindowExposed(&main(), kExposeMs));
    }

    void playClip()
    {
        playlist().lvPlaylist.findKey(clip)->setSelected(true);
        playlist().lvPlaylist_Click();
    }

    // The picture area shows frames of the clip, one after another.
    void picturePlays()
    {
        QWidget *video = nullptr;
        QTRY_VERIFY_WITH_TIMEOUT((video = support::videoWidget()) != nullptr, kExposeMs);
        int renders = 0;
        QTRY_VERIFY_WITH_TIMEOUT((renders = video->property("renders").toInt()) > 0, kExposeMs);
        QTRY_VERIFY_WITH_TIMEOUT(video->property("renders").toInt() > renders + 5, kExposeMs);
        // The window is given an opaque picture: in a window with an alpha channel (every
        // window on Wayland) a transparent one shows as a white area.
        QWidget *window = video->window();
        const QImage shown = window->grab().toImage();
        const QPoint centre = video->mapTo(window, video->rect().center());
        QCOMPARE(shown.pixelColor(centre * shown.devicePixelRatio()).alpha(), 255);
    }

  private slots:
    void initTestCase()
    {
        QVERIFY(clipFolder.isValid());
        QString failure;
        clip = clips::make(clipFolder.path(), clips::format("avi-mpeg4-mp3"),
                           {QSize(320, 240), 20, false}, &failure);
        QVERIFY2(!clip.isEmpty(), qPrintable(failure));
    }

    void init()
    {
        f.emplace();
        mci::setAudioOutput(QStringLiteral("null"));
        playlist().AddEntry(clip, "Clip", "0:20");
        terminalLines().clear();
    }

    void cleanup() { f.reset(); }

    // On a Wayland session with an X display the windows are X windows of that display, so that
    // the written places, stacking and full screen hold; with Wayland alone they are Wayland's.
    void platformIsChosen()
    {
        QCOMPARE(QGuiApplication::platformName(), expectedPlatform());
        showMain();
        // The X connection the toolkit tells the window manager through is there on X alone.
        const auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        QCOMPARE(x11 && x11->connection(), expectedPlatform() == QLatin1String("xcb"));
    }

    // A clip plays in the main window, full screen takes it over and gives it back (F11 in,
    // Esc out, as typed), and it plays on in each.
    void playsAndGoesFullScreen()
    {
        showMain();
        const QSize mainSize = main().size();
        playClip();
        picturePlays();
        if (QTest::currentTestFailed())
            return;
        QTest::keyClick(&main(), Qt::Key_F11);
        QTRY_VERIFY(gFullScreen);
        frmFullScreen &full = forms::frmFullScreen();
        QVERIFY(QTest::qWaitForWindowExposed(&full, kExposeMs));
        QTRY_VERIFY(full.windowState() & Qt::WindowFullScreen);
        QTRY_COMPARE(full.size(), full.screen()->size());
        picturePlays();
        if (QTest::currentTestFailed())
            return;
        QTest::keyClick(&full, Qt::Key_Escape);
        QTRY_VERIFY(!gFullScreen);
        QVERIFY(QTest::qWaitForWindowExposed(&main(), kExposeMs));
        QVERIFY(!(main().windowState() & Qt::WindowFullScreen));
        QTRY_COMPARE(main().size(), mainSize);
        picturePlays();
        if (QTest::currentTestFailed())
            return;
        QVERIFY2(terminalLines().isEmpty(), qPrintable(terminalLines().join('\n')));
    }

    // The fixed windows offer no maximise, and one asked for anyway (Qt's own title bar on
    // Wayland draws the button) stays at its size.
    void fixedWindowsAreNotMaximised_data()
    {
        QTest::addColumn<QString>("window");
        QTest::newRow("main window") << "main";
        QTest::newRow("tools bar") << "tools bar";
    }

    void fixedWindowsAreNotMaximised()
    {
        QFETCH(QString, window);
        showMain();
        QWidget *form = &main();
        if (window == QLatin1String("tools bar")) {
            playClip();
            QTest::keyClick(&main(), Qt::Key_F11);
            QTRY_VERIFY(gFullScreen);
            form = &forms::frmFullToolbar();
        }
        QVERIFY(QTest::qWaitForWindowExposed(form, kExposeMs));
        QVERIFY(!(form->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(form->minimumSize(), form->maximumSize());
        const QSize size = form->size();
        form->windowHandle()->setWindowStates(Qt::WindowMaximized);
        QTRY_VERIFY(!(form->windowHandle()->windowStates() & Qt::WindowMaximized));
        QTRY_VERIFY(!(form->windowState() & Qt::WindowMaximized));
        QTRY_COMPARE(form->size(), size);
        if (gFullScreen)
            forms::frmFullScreen().LeaveFullScreen();
    }

    // The position is readable inside the tools bar, whoever draws its title bar (Qt itself on
    // Wayland, where the caption is cut short by the bar's width).
    void toolsBarShowsThePosition()
    {
        showMain();
        playClip();
        picturePlays();
        if (QTest::currentTestFailed())
            return;
        QTest::keyClick(&main(), Qt::Key_F11);
        QTRY_VERIFY(gFullScreen);
        frmFullToolbar &bar = forms::frmFullToolbar();
        QVERIFY(QTest::qWaitForWindowExposed(&bar, kExposeMs));
        main().tmrMediaScroller.tick();
        const QLabel &label = bar.lblPosition;
        QVERIFY(label.isVisible());
        QVERIFY2(label.text().contains(u'/') || label.text().contains(u'\n'),
                 qPrintable(label.text()));
        const QFontMetrics metrics(label.font());
        const QStringList lines = label.text().split(u'\n');
        for (const QString &line : lines)
            QVERIFY2(metrics.horizontalAdvance(line) <= label.contentsRect().width(),
                     qPrintable(line));
        QVERIFY(metrics.height() * lines.size() <= label.contentsRect().height());
        QVERIFY(bar.client()->rect().contains(label.geometry()));
        forms::frmFullScreen().LeaveFullScreen();
    }

    // A box shown while the playlist is up belongs to a window of the player, so the window
    // system keeps it above (on Wayland, xdg_toplevel.set_parent).
    void boxBelongsToAWindow()
    {
        showMain();
        playlist().Show(&main());
        QVERIFY(QTest::qWaitForWindowExposed(&playlist(), kExposeMs));
        toolkit::setMessageBoxHandler({});
        const QWidget *active = QApplication::activeWindow();
        QWindow *parent = nullptr;
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QTRY_VERIFY(QApplication::activeModalWidget());
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box && box->windowHandle());
            QVERIFY(QTest::qWaitForWindowExposed(box, kExposeMs));
            parent = box->windowHandle()->transientParent();
            seen = true;
            box->accept();
        });
        toolkit::MsgBox(QStringLiteral("A box"), toolkit::vbOKOnly, QStringLiteral("Box"));
        QVERIFY(seen);
        QVERIFY(parent);
        // Without a keyboard nothing is active: the playlist, shown last, has the box then.
        QCOMPARE(parent, active ? active->windowHandle() : playlist().windowHandle());
    }

    // What Wayland does not offer (placing, activating, Always on Top) is no box and no line on
    // the terminal.
    void missingWaylandFeaturesStayQuiet()
    {
        showMain();
        main().Move(1200, 1200, main().Width(), main().Height());
        ActivateWindow(main().hWnd());
        main().mnuOnTop_Click();
        main().mnuOnTop_Click();
        playlist().Show(&main());
        QVERIFY(QTest::qWaitForWindowExposed(&playlist(), kExposeMs));
        ActivateWindow(playlist().hWnd());
        QTest::qWait(300);
        QVERIFY(f->boxes.empty());
        QVERIFY2(terminalLines().isEmpty(), qPrintable(terminalLines().join('\n')));
        // The position reads back as the program wrote it, whatever the compositor did.
        QCOMPARE(main().Left(), 1200);
        QCOMPARE(main().Top(), 1200);
    }
};

int main(int argc, char **argv)
{
    // As the player does before its application object exists.
    const toolkit::DisplayPlatformChoice platform;
    QApplication app(argc, argv);
    platform.applicationMade();
    qInstallMessageHandler(keepTerminalLine);
    tst_Wayland suite;
    return QTest::qExec(&suite, argc, argv);
}

#include "tst_Wayland.moc"

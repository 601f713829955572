// Entering full screen and leaving it again on a real clip played by libmpv in a real X server:
// each direction from the key or button to the first paint of the video in the other window,
// against reloading the same clip at the same position on a warm libmpv core
// (`loadfile <file> replace start=<position>`) until its frame is painted in a widget of the same
// size as that window's video.

#include "BenchSupport.h"
#include "PlayerBench.h"
#include "RawEngine.h"
#include "fullscreen/frmFullScreen.h"

#include <QScreen>
#include <QTemporaryDir>

#include <vector>

using namespace modGlobals;

namespace
{

constexpr int Runs = 15;
constexpr int PaintTimeoutMs = 10000;

// Notes when a device's video widget paints a picture inside a given window.
class PaintWatch final : public QObject
{
  public:
    QWidget *window = nullptr;
    bool painted = false;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || watched->objectName() != QLatin1String("mciVideo"))
            return false;
        auto *video = static_cast<QWidget *>(watched);
        if (video->window() == window && video->testAttribute(Qt::WA_OpaquePaintEvent))
            painted = true;
        return false;
    }
};

double untilPainted(PaintWatch &watch, QWidget *window, const std::function<void()> &action)
{
    watch.window = window;
    watch.painted = false;
    QElapsedTimer timer;
    timer.start();
    action();
    while (!watch.painted && timer.elapsed() < PaintTimeoutMs)
        QApplication::processEvents();
    return watch.painted ? bench::elapsedMs(timer) : -1;
}

// A warm core with the clip loaded and playing in a widget of the given size.
struct WarmReference {
    bench::RawPicture picture;
    std::unique_ptr<bench::RawCore> core;

    WarmReference(const QByteArray &clip, QSize size)
    {
        picture.resize(size);
        picture.show();
        core = std::make_unique<bench::RawCore>(picture);
        core->loadUntilPainted(clip, 0);
    }

    // Stays paused between the runs, so that it does not take the processor from ours.
    double reloadMs(const QByteArray &clip, double seconds)
    {
        QElapsedTimer timer;
        timer.start();
        const bool painted = core->loadUntilPainted(clip, seconds);
        return painted ? bench::elapsedMs(timer) : -1;
    }
};

} // namespace

int main(int argc, char **argv)
{
    bench::ensureXServer(argv[0], "fullscreen-switch");
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip.avi"));
    if (!bench::makePlayerClip(clip, 10)) {
        std::fprintf(stderr, "fullscreen-switch: could not make the clip with ffmpeg\n");
        return 1;
    }
    bench::loadPlayer(clip, "fullscreen-switch");
    frmMain &main = forms::frmMain();
    forms::frmPlaylist().lvPlaylist_Click();
    main.tmrMediaScroller.setEnabled(false);
    bench::runEventLoop(300);
    PaintWatch watch;
    app.installEventFilter(&watch);

    const QSize screen = main.screen()->size();
    WarmReference full(QFile::encodeName(clip), screen - QSize(5, 5));
    WarmReference windowed(QFile::encodeName(clip), main.picVideo.size());

    std::vector<double> enter;
    std::vector<double> leave;
    std::vector<double> rawEnter;
    std::vector<double> rawLeave;
    for (int run = 0; run <= Runs; ++run) {
        // Back near the start now and then, so that no switch lands at the clip's end.
        gMCI->MoveMultimedia(1000 + 300 * (run % 5));
        bench::runEventLoop(200);
        const double entered =
            untilPainted(watch, &forms::frmFullScreen(), [&main] { main.EnterFullScreen(); });
        bench::runEventLoop(200);
        const double left = untilPainted(watch, &main, [] {
            int esc = 27;
            forms::frmFullScreen().screener_KeyPress(esc);
        });
        const double seconds = (1000 + 300 * (run % 5)) / 1000.0;
        const double rawEntered = full.reloadMs(QFile::encodeName(clip), seconds + 0.2);
        const double rawLeft = windowed.reloadMs(QFile::encodeName(clip), seconds + 0.4);
        if (entered < 0 || left < 0 || rawEntered < 0 || rawLeft < 0 || gFullScreen ||
            gMCI->TotalTime() <= 0) {
            std::fprintf(
                stderr,
                "fullscreen-switch: the video did not reach the screen (%.1f %.1f %.1f %.1f %d)\n",
                entered, left, rawEntered, rawLeft, int(gFullScreen));
            return 1;
        }
        if (run == 0)
            continue; // warms the caches of both sides
        enter.push_back(entered);
        leave.push_back(left);
        rawEnter.push_back(rawEntered);
        rawLeave.push_back(rawLeft);
    }
    bench::printRatio("fullscreen-switch-enter", bench::median(enter), bench::median(rawEnter),
                      "loadfile replace start= on a warm core, full-screen size");
    bench::printRatio("fullscreen-switch-leave", bench::median(leave), bench::median(rawLeave),
                      "loadfile replace start= on a warm core, main window size");
    return 0;
}

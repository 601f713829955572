// Entering full screen and leaving it again on a real clip played by libmpv in a real X server:
// each direction from the key or button to the first paint of the video in the other window,
// against a raw libmpv video widget, rendering the same clip, moved into a newly made full-screen
// window and back into a window of the main window's video size, to its first paint there.

#include "BenchSupport.h"
#include "PlayerBench.h"
#include "RawEngine.h"
#include "fullscreen/frmFullScreen.h"

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

// A rendering raw video widget moved as a player of its own would move it: into a newly made
// full-screen window, and back into a window of the main window's size, each time to its first
// paint there. The clip plays only while it is measured, so that it does not take the processor
// from ours.
class ReparentReference
{
  public:
    ReparentReference(const QByteArray &clip, QSize videoSize)
    {
        mWindowed.resize(videoSize);
        mPicture.installEventFilter(&mWatch);
        mPicture.setParent(&mWindowed);
        mPicture.resize(videoSize);
        mWindowed.show();
        mCore = std::make_unique<bench::RawCore>(mPicture);
        mReady = mCore->ready() && mCore->loadUntilPainted(clip, 0);
        mCore->renderOnUpdate();
    }

    ~ReparentReference() { mPicture.setParent(nullptr); }

    bool ready() const { return mReady; }

    // Plays on from `seconds`, or pauses.
    void play(bool playing, double seconds = 0)
    {
        if (playing)
            mCore->command({"seek", std::to_string(seconds), "absolute"});
        mCore->setProperty("pause", playing ? "no" : "yes");
    }

    double enterMs()
    {
        QElapsedTimer timer;
        timer.start();
        mFull = std::make_unique<QWidget>();
        mPicture.setParent(mFull.get());
        mFull->showFullScreen();
        mPicture.resize(mFull->size());
        mPicture.show();
        return untilPicturePainted(timer);
    }

    double leaveMs()
    {
        QElapsedTimer timer;
        timer.start();
        mPicture.setParent(&mWindowed);
        mPicture.resize(mWindowed.size());
        mPicture.show();
        mFull.reset();
        return untilPicturePainted(timer);
    }

  private:
    double untilPicturePainted(const QElapsedTimer &timer)
    {
        const int paintsBefore = mPaints;
        while (mPaints == paintsBefore && timer.elapsed() < PaintTimeoutMs)
            QApplication::processEvents();
        return mPaints > paintsBefore ? bench::elapsedMs(timer) : -1;
    }

    // Counts the picture's paints.
    class Paints final : public QObject
    {
      public:
        explicit Paints(int &count) : mCount(count) {}

      protected:
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++mCount;
            return false;
        }

      private:
        int &mCount;
    };

    int mPaints = 0;
    QWidget mWindowed;
    bench::RawPicture mPicture;
    Paints mWatch{mPaints};
    std::unique_ptr<QWidget> mFull;
    std::unique_ptr<bench::RawCore> mCore;
    bool mReady = false;
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

    ReparentReference raw(QFile::encodeName(clip), main.picVideo.size());
    if (!raw.ready()) {
        std::fprintf(stderr, "fullscreen-switch: the raw core did not play the clip\n");
        return 1;
    }
    raw.play(false);

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
        raw.play(true, (1000 + 300 * (run % 5)) / 1000.0);
        bench::runEventLoop(200);
        const double rawEntered = raw.enterMs();
        bench::runEventLoop(200);
        const double rawLeft = raw.leaveMs();
        raw.play(false);
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
    bool within = bench::printRatio(
        "fullscreen-switch-enter", bench::median(enter), bench::median(rawEnter),
        "raw libmpv widget moved into a new full-screen window, to its first paint", 1.2);
    within &= bench::printRatio(
        "fullscreen-switch-leave", bench::median(leave), bench::median(rawLeave),
        "raw libmpv widget moved back into a main-size window, to its first paint", 1.2);
    return within ? 0 : bench::OverLimit;
}

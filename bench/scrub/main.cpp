// Dragging the position slider of the whole player while a 640x480 clip plays, in an X server:
// 120 slider events 16 ms apart sweep the thumb across the clip. Figures: the time per distinct
// frame painted during the drag, against a libmpv core that played the same clip in a widget of
// the same size, paused for the drag and sent an exact seek to the same places at the same moments
// (as a player of its own sends them); on both sides only the paints that show a newly rendered
// frame count. And the median time the GUI thread spends in one slider event, under its limit.

#include "BenchSupport.h"
#include "PlayerBench.h"
#include "RawEngine.h"

#include <QHash>
#include <QTemporaryDir>
#include <QVariant>

#include <vector>

using namespace modGlobals;

namespace
{

constexpr int Runs = 5;
constexpr int Events = 120;
constexpr int EventGapMs = 16;
// A slider event that holds the GUI thread for a frame period at 60 Hz makes the drag stutter.
constexpr double BlockLimitMs = 16;

// Counts the paints of a device's video widget that show a frame rendered since its paint before
// (the widget counts its renders).
class PaintCount final : public QObject
{
  public:
    int paints = 0;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || watched->objectName() != QLatin1String("mciVideo"))
            return false;
        const int renders = watched->property("renders").toInt();
        if (renders != mPaintedRender.value(watched)) {
            ++paints;
            mPaintedRender.insert(watched, renders);
        }
        return false;
    }

  private:
    QHash<QObject *, int> mPaintedRender;
};

// Where the thumb stands at event `i`: a sweep from a tenth of the clip to nine tenths.
int thumbAt(int i, int length)
{
    return length / 10 + int(double(i) / (Events - 1) * (length * 8 / 10));
}

// Runs `each` for every event, 16 ms apart on the event loop; returns the drag's duration.
double drag(const std::function<void(int)> &each)
{
    QEventLoop loop;
    QTimer ticks;
    int event = 0;
    QElapsedTimer timer;
    QObject::connect(&ticks, &QTimer::timeout, &loop, [&] {
        each(event);
        if (++event == Events) {
            ticks.stop();
            loop.quit();
        }
    });
    ticks.setTimerType(Qt::PreciseTimer);
    ticks.start(EventGapMs);
    timer.start();
    loop.exec();
    return bench::elapsedMs(timer);
}

struct Scrub {
    double msPerFrame = -1;
    std::vector<double> blocks;
};

Scrub oursOnce(PaintCount &count)
{
    frmMain &main = forms::frmMain();
    forms::frmPlaylist().lvPlaylist_Click();
    main.tmrMediaScroller.setEnabled(false);
    bench::runEventLoop(500);
    const int length = main.sldVideo.Max();
    Scrub scrub;
    count.paints = 0;
    const double ms = drag([&](int i) {
        main.sldVideo.setValue(thumbAt(i, length));
        QElapsedTimer blocked;
        blocked.start();
        main.sldVideo_Scroll();
        scrub.blocks.push_back(bench::elapsedMs(blocked));
    });
    if (count.paints > 0)
        scrub.msPerFrame = ms / count.paints;
    main.tmrMediaScroller.setEnabled(false);
    return scrub;
}

double referenceOnce(const QByteArray &clip, QSize size, int length)
{
    bench::RawPicture picture;
    picture.resize(size);
    picture.show();
    bench::RawCore core(picture);
    if (!core.ready() || !core.loadUntilPainted(clip, 0))
        return -1;
    core.setProperty("pause", "no");
    core.renderOnUpdate();
    bench::runEventLoop(500);
    // A player pauses while the thumb is dragged, so that each seek shows its frame at once.
    core.setProperty("pause", "yes");
    picture.newFramesPainted = 0;
    const double ms = drag([&](int i) {
        core.drainEvents();
        core.command({"seek", std::to_string(thumbAt(i, length) / 1000.0), "absolute+exact"},
                     quint64(i + 1));
    });
    const int frames = picture.newFramesPainted;
    return frames > 0 ? ms / frames : -1;
}

} // namespace

int main(int argc, char **argv)
{
    bench::ensureXServer(argv[0], "scrub");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip-640x480.avi"));
    if (!bench::makePlayerClip(clip, 10)) {
        std::fprintf(stderr, "scrub: could not make the clip with ffmpeg\n");
        return 1;
    }
    bench::loadPlayer(clip, "scrub");
    PaintCount count;
    app.installEventFilter(&count);

    std::vector<double> ours;
    std::vector<double> reference;
    std::vector<double> blocks;
    for (int run = 0; run < Runs; ++run) {
        const Scrub scrub = oursOnce(count);
        const int length = forms::frmMain().sldVideo.Max();
        const double raw =
            referenceOnce(QFile::encodeName(clip), forms::frmMain().picVideo.size(), length);
        if (scrub.msPerFrame < 0 || raw < 0) {
            std::fprintf(stderr, "scrub: no picture was painted while dragging\n");
            return 1;
        }
        ours.push_back(scrub.msPerFrame);
        reference.push_back(raw);
        blocks.insert(blocks.end(), scrub.blocks.begin(), scrub.blocks.end());
    }
    bool within = bench::printRatio(
        "scrub", bench::median(ours), bench::median(reference),
        "ms per new frame painted, paused libmpv core sent exact seeks the same way", 1.0);
    const QByteArray what = "median GUI-thread time per slider event, " +
                            QByteArray::number(qsizetype(blocks.size())) + " events";
    within &= bench::printLimited("scrub-block", bench::median(blocks), "ms", BlockLimitMs,
                                  what.constData());
    return within ? 0 : bench::OverLimit;
}

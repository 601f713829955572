// A click on a playlist entry while another video plays, until the first frame of the new 640x480
// clip is painted, through the whole player on the real engine in an X server; against a warm
// libmpv core that has just played the other clip loading the same clip in its place
// (`loadfile replace`) and painting its first frame, in a widget of the same size.

#include "BenchSupport.h"
#include "PlayerBench.h"
#include "RawEngine.h"
#include "support/VideoWidget.h"

#include <QPointer>
#include <QTemporaryDir>

#include <vector>

using namespace modGlobals;

namespace
{

constexpr int Runs = 15;
constexpr int PaintTimeoutMs = 10000;

// Notes when a device's video widget other than the one already playing paints a picture (it
// paints opaquely once it holds one).
class PaintWatch final : public QObject
{
  public:
    bool painted = false;
    QPointer<QObject> playing;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("mciVideo") &&
            watched != playing &&
            static_cast<QWidget *>(watched)->testAttribute(Qt::WA_OpaquePaintEvent))
            painted = true;
        return false;
    }
};

double clickMs(PaintWatch &watch, const QString &clip)
{
    frmPlaylist &playlist = forms::frmPlaylist();
    playlist.lvPlaylist.findKey(clip)->setSelected(true);
    watch.playing = support::videoWidget(&forms::frmMain().picVideo);
    watch.painted = false;
    QElapsedTimer timer;
    timer.start();
    playlist.lvPlaylist_Click();
    while (!watch.painted && timer.elapsed() < PaintTimeoutMs)
        QApplication::processEvents();
    const double ms = bench::elapsedMs(timer);
    forms::frmMain().tmrMediaScroller.setEnabled(false);
    const bool playing = watch.painted && gMCI->LoadedFilename() == clip.toStdString();
    // The video plays on for a moment, as the student watches before the next click.
    bench::runEventLoop(150);
    return playing ? ms : -1;
}

// The same on the warm core: the new clip plays for the same moment and then waits, paused, so
// that it does not take the processor from the player.
double rawOpenMs(bench::WarmRawPlayer &raw, const QString &clip, QSize size)
{
    raw.resize(size);
    bench::runEventLoop(50);
    const double ms = raw.openMs(QFile::encodeName(clip));
    raw.playFor(150);
    raw.pause();
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    bench::ensureXServer(argv[0], "click-to-frame");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QStringList clips{dir.filePath(QStringLiteral("lesson-1.avi")),
                            dir.filePath(QStringLiteral("lesson-2.avi"))};
    for (const QString &clip : clips) {
        if (!bench::makePlayerClip(clip, 4)) {
            std::fprintf(stderr, "click-to-frame: could not make the clip with ffmpeg\n");
            return 1;
        }
    }
    bench::loadPlayer(clips.front(), "click-to-frame");
    forms::frmPlaylist().AddEntry(clips.back(), QStringLiteral("Lesson 2"), QStringLiteral("0:04"));
    PaintWatch watch;
    app.installEventFilter(&watch);
    bench::WarmRawPlayer raw(forms::frmMain().picVideo.size());
    if (!raw.ready()) {
        std::fprintf(stderr, "click-to-frame: libmpv did not start\n");
        return 1;
    }

    std::vector<double> ours;
    std::vector<double> reference;
    for (int run = 0; run <= Runs; ++run) {
        const double click = clickMs(watch, clips.at(run % 2));
        const QSize area = forms::frmMain().picVideo.size();
        const double warm = rawOpenMs(raw, clips.at(run % 2), area);
        if (click < 0 || warm < 0) {
            std::fprintf(stderr, "click-to-frame: the clip did not reach the screen\n");
            return 1;
        }
        if (run == 0)
            continue; // the first click also lays the window out and hides the playlist
        ours.push_back(click);
        reference.push_back(warm);
    }
    const bool within = bench::printRatio(
        "click-to-frame", bench::median(ours), bench::median(reference),
        "warm libmpv core after the other clip, loadfile replace to first frame painted", 1.2);
    return within ? 0 : bench::OverLimit;
}

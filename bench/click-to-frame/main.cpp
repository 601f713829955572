// A click on a playlist entry until the first frame of its 640x480 clip is on screen, through the
// whole player on the real engine in an X server, against opening, placing and playing the same
// clip in the same video area through the media command layer.

#include "BenchSupport.h"
#include "PlayerBench.h"
#include "mci/Transport.h"
#include "toolkit/WindowHandles.h"

#include <QTemporaryDir>

#include <string>
#include <vector>

using namespace modGlobals;

namespace
{

constexpr int Runs = 11;
constexpr int PaintTimeoutMs = 10000;

// Notes when the device's video widget paints.
class PaintWatch final : public QObject
{
  public:
    bool painted = false;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("mciVideo"))
            painted = true;
        return false;
    }
};

std::string command(const std::string &text)
{
    std::string reply;
    const unsigned code = mci::transport().send(text, reply, 128);
    return code == 0 ? reply : std::string("error");
}

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Waits for the paint and returns the time since `timer` started, or -1.
double untilPainted(PaintWatch &watch, const QElapsedTimer &timer)
{
    while (!watch.painted && timer.elapsed() < PaintTimeoutMs)
        QApplication::processEvents();
    return watch.painted ? bench::elapsedMs(timer) : -1;
}

double clickMs(PaintWatch &watch)
{
    frmMain &main = forms::frmMain();
    watch.painted = false;
    QElapsedTimer timer;
    timer.start();
    forms::frmPlaylist().lvPlaylist_Click();
    const double ms = untilPainted(watch, timer);
    main.tmrMediaScroller.setEnabled(false);
    const bool playing = gMCI->TotalTime() > 0;
    gMCI->StopMultimedia();
    gMCI->CloseMultimedia();
    settle();
    return playing ? ms : -1;
}

double rawOpenMs(PaintWatch &watch, const QString &clip)
{
    toolkit::PictureBox &picture = forms::frmMain().picVideo;
    const long long handle = picture.hWnd();
    watch.painted = false;
    QElapsedTimer timer;
    timer.start();
    const std::string opened =
        command("open \"" + clip.toStdString() + "\" type AviVideo alias reference parent " +
                std::to_string(handle) + " style 1073741824");
    command("put reference window at 0 0 " + std::to_string(picture.width() - 2) + " " +
            std::to_string(picture.height() - 4));
    command("play reference from 0");
    const double ms = untilPainted(watch, timer);
    command("close reference");
    settle();
    return opened == "error" ? -1 : ms;
}

} // namespace

int main(int argc, char **argv)
{
    bench::ensureXServer(argv[0], "click-to-frame");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip-640x480.avi"));
    if (!bench::makePlayerClip(clip, 4)) {
        std::fprintf(stderr, "click-to-frame: could not make the clip with ffmpeg\n");
        return 1;
    }
    bench::loadPlayer(clip, "click-to-frame");
    PaintWatch watch;
    app.installEventFilter(&watch);

    std::vector<double> ours;
    std::vector<double> reference;
    for (int run = 0; run <= Runs; ++run) {
        const double click = clickMs(watch);
        const double raw = rawOpenMs(watch, clip);
        if (click < 0 || raw < 0) {
            std::fprintf(stderr, "click-to-frame: the clip did not reach the screen\n");
            return 1;
        }
        if (run == 0)
            continue; // the first click also lays the window out and hides the playlist
        ours.push_back(click);
        reference.push_back(raw);
    }
    bench::printRatio("click-to-frame", bench::median(ours), bench::median(reference), "raw open");
    return 0;
}

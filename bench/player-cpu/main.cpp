// The whole player playing a 640x480 clip for 10 s: the main and playlist windows shown, the clip
// started by a playlist click and played with the position timer running on the event loop
// until the timer stops it at the end, against the mpv command drawing the same clip with X11
// output. Figures are CPU seconds (user + system) per playback, and the resident memory of the
// player while it plays.

#include "BenchSupport.h"
#include "PlayerBench.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <vector>

using namespace modGlobals;

namespace
{

constexpr int Runs = 3;
constexpr int Seconds = 10;

// One playback from the click to the stop at the end; CPU seconds, or -1.
double oursOnce(long &rss)
{
    const double before = bench::cpuSeconds(RUSAGE_SELF);
    forms::frmPlaylist().lvPlaylist_Click();
    if (gMCI->TotalTime() <= 0)
        return -1;
    bench::runEventLoop(Seconds * 1000 / 2);
    rss = std::max(rss, bench::residentMiB());
    bench::runEventLoop(Seconds * 3000, [] { return gMCI->LoadedFilename().empty(); });
    const double cpu = bench::cpuSeconds(RUSAGE_SELF) - before;
    // The timer's stop leaves the device open at the start for the next click.
    gMCI->CloseMultimedia();
    forms::frmPlaylist().lvPlaylist.Item(1).setSelected(true);
    bench::runEventLoop(200);
    return cpu;
}

} // namespace

int main(int argc, char **argv)
{
    bench::ensureXServer(argv[0], "player-cpu");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip-640x480.avi"));
    if (!bench::makePlayerClip(clip, Seconds)) {
        std::fprintf(stderr, "player-cpu: could not make the clip with ffmpeg\n");
        return 1;
    }
    bench::loadPlayer(clip, "player-cpu");
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));

    std::vector<double> ours;
    std::vector<double> reference;
    long rss = -1;
    for (int run = 0; run < Runs; ++run) {
        const double cpu = oursOnce(rss);
        if (cpu < 0) {
            std::fprintf(stderr, "player-cpu: the clip did not play\n");
            return 1;
        }
        ours.push_back(cpu);
        if (!mpv.isEmpty())
            reference.push_back(bench::mpvCpuSeconds(mpv, clip));
    }
    const double oursMedian = bench::median(ours);
    if (mpv.isEmpty()) {
        std::printf("player-cpu: ours %.2f s CPU (reference: mpv is not installed)\n", oursMedian);
    } else {
        const double referenceMedian = bench::median(reference);
        std::printf("player-cpu: %.2fx (ours %.2f s vs reference %.2f s CPU, mpv --vo=x11 "
                    "--ao=null, 640x480 10 s)\n",
                    referenceMedian > 0 ? oursMedian / referenceMedian : 0.0, oursMedian,
                    referenceMedian);
    }
    std::printf("player-cpu-rss: %ld MiB\n", rss);
    return 0;
}

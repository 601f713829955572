// The whole player playing a 640x480 clip of 10 s: the main and playlist windows shown, the clip
// started by a playlist click and played with the position timer running on the event loop,
// against the mpv command drawing the same clip with X11 output. The figures are CPU seconds
// (user + system) over the same steady window of the clip on both sides, from its second 2 to
// its second 8 (the start of either process and the open of the file left out), with no frame
// dropped or late on either side; and the resident memory of the player while it plays.

#include "BenchSupport.h"
#include "FrameWatch.h"
#include "PlayerBench.h"

#include <QStandardPaths>
#include <QTemporaryDir>

#include <vector>

using namespace modGlobals;

namespace
{

constexpr int Runs = 3;
constexpr int Seconds = 10;

// One playback from the click, measured over the steady window; cpuSeconds -1 when the clip did
// not play through it.
bench::SteadyPlayback oursOnce(bench::FrameWatch &frames, long &rss)
{
    bench::SteadyPlayback playback;
    forms::frmPlaylist().lvPlaylist_Click();
    if (gMCI->TotalTime() <= 0)
        return playback;
    double before = -1;
    bench::runEventLoop(Seconds * 3000, [&] {
        const double position = gMCI->GetCurrentMultimediaPos();
        if (before < 0 && position >= bench::SteadyFrom * 1000) {
            before = bench::cpuSeconds(RUSAGE_SELF);
            frames.start(position);
        }
        if (before < 0 || position < bench::SteadyTo * 1000)
            return gMCI->LoadedFilename().empty();
        playback.cpuSeconds = bench::cpuSeconds(RUSAGE_SELF) - before;
        frames.stop(position, playback);
        return true;
    });
    rss = std::max(rss, bench::residentMiB());
    gMCI->CloseMultimedia();
    forms::frmPlaylist().lvPlaylist.Item(1).setSelected(true);
    bench::runEventLoop(200);
    return playback;
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
    if (mpv.isEmpty()) {
        std::fprintf(stderr, "player-cpu: the reference needs the mpv command\n");
        return 1;
    }
    bench::FrameWatch frames(25);
    app.installEventFilter(&frames);
    const QString script = dir.filePath(QStringLiteral("steady.lua"));

    std::vector<bench::SteadyPlayback> ours;
    std::vector<bench::SteadyPlayback> reference;
    long rss = -1;
    for (int run = 0; run < Runs; ++run) {
        const bench::SteadyPlayback playback = oursOnce(frames, rss);
        if (playback.cpuSeconds < 0) {
            std::fprintf(stderr, "player-cpu: the clip did not play through the window\n");
            return 1;
        }
        ours.push_back(playback);
        reference.push_back(bench::mpvSteadyPlayback(mpv, clip, script));
    }
    const bool within =
        bench::printCpuRatio("player-cpu", bench::combined(ours), bench::combined(reference), 1.0);
    std::printf("player-cpu-rss: %ld MiB\n", rss);
    return within ? 0 : bench::OverLimit;
}

// The whole player paused: the main and playlist windows shown, a 640x480 clip started by a
// playlist click, played for a second and paused with the play button, then left alone for 10 s
// with the position timer running on the event loop. The figure is the player's CPU time over
// those 10 s as a share of one core; a paused player should use next to none.

#include "PlayerBench.h"

#include <QTemporaryDir>

using namespace modGlobals;

namespace
{

constexpr int PausedMs = 10000;

} // namespace

int main(int argc, char **argv)
{
    bench::ensureXServer(argv[0], "paused-cpu");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip-640x480.avi"));
    if (!bench::makePlayerClip(clip, 20)) {
        std::fprintf(stderr, "paused-cpu: could not make the clip with ffmpeg\n");
        return 1;
    }
    bench::loadPlayer(clip, "paused-cpu");
    forms::frmPlaylist().lvPlaylist_Click();
    if (gMCI->TotalTime() <= 0) {
        std::fprintf(stderr, "paused-cpu: the clip did not play\n");
        return 1;
    }
    bench::runEventLoop(1000);
    frmMain &main = forms::frmMain();
    main.tlbMain_ButtonClick(main.tlbMain.Buttons("play"));
    if (!gMCI->Paused()) {
        std::fprintf(stderr, "paused-cpu: the play button did not pause\n");
        return 1;
    }
    // What the pause itself sets off is not part of the figure.
    bench::runEventLoop(200);

    QElapsedTimer wall;
    wall.start();
    const double before = bench::cpuSeconds(RUSAGE_SELF);
    bench::runEventLoop(PausedMs);
    const double cpu = bench::cpuSeconds(RUSAGE_SELF) - before;
    const double percent = 100.0 * cpu / (double(wall.nsecsElapsed()) / 1e9);
    const QByteArray what = QByteArray::number(cpu, 'f', 2) + " s CPU in " +
                            QByteArray::number(double(wall.nsecsElapsed()) / 1e9, 'f', 1) +
                            " s paused, 640x480";
    const bool within =
        bench::printLimited("paused-cpu", percent, "% of a core", 0.5, what.constData());
    return within ? 0 : bench::OverLimit;
}

// From process start to the main window's first frame on an X server: the player, started as the
// course disc starts it (a course beside it), against a trivial Qt program that shows one window.
// Both are real processes; the moment of the frame is Qt's own record of flushing the window to
// the screen (the qt.widgets.painting log), read as it comes. The player's figure includes the
// loading of every library it links before main().

#include "BenchSupport.h"
#include "ProcessFrame.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace
{

constexpr int Runs = 9;

} // namespace

int main(int argc, char **argv)
{
    bench::ensureXServer(argv[0], "first-frame");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QString player;
    if (!bench::makeCourseBeside(dir.path(), 10, QStringLiteral(PLAYER), player)) {
        std::fprintf(stderr, "first-frame: cannot write the course folder\n");
        return 1;
    }
    const QString tools = dir.path() + "/tools";

    std::vector<double> ours;
    std::vector<double> reference;
    for (int run = 0; run <= Runs; ++run) {
        const double started = bench::firstFrameMs(player, QStringLiteral("frmMain"), tools);
        const double trivial =
            bench::firstFrameMs(QStringLiteral(WINDOW), QStringLiteral("trivial"), tools);
        if (started < 0 || trivial < 0) {
            std::fprintf(stderr, "first-frame: no first frame from %s\n",
                         started < 0 ? "the player" : "the trivial window");
            return 1;
        }
        if (run == 0)
            continue; // the first start of each also reads the libraries from the disk
        ours.push_back(started);
        reference.push_back(trivial);
    }
    const bool within =
        bench::printRatio("first-frame", bench::median(ours), bench::median(reference),
                          "a trivial Qt window program, process start to first frame", 1.5);
    return within ? 0 : bench::OverLimit;
}

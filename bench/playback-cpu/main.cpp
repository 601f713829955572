// Playing a 640x480 clip for 10 s in a shown window through the media command layer, against
// the mpv command drawing the same clip with X11 output. Figures are CPU seconds (user + system)
// per playback; also the resident memory of the process while it plays.

#include "BenchSupport.h"
#include "mci/LibmpvEngine.h"
#include "mci/Transport.h"
#include "support/Clips.h"
#include "toolkit/WindowHandles.h"

#include <QApplication>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <string>

namespace
{

constexpr int Runs = 3;

std::string command(const std::string &text)
{
    std::string reply;
    mci::transport().send(text, reply, 128);
    return reply;
}

// One playback through the layer; returns CPU seconds, or -1.
double oursOnce(const QString &clip, long &rss)
{
    QWidget window;
    window.resize(660, 500);
    QWidget picture(&window);
    picture.setGeometry(10, 10, 640, 480);
    window.show();
    QApplication::processEvents();
    const double before = bench::cpuSeconds(RUSAGE_SELF);
    const std::string open = "open \"" + clip.toStdString() +
                             "\" type AviVideo alias movie parent " +
                             std::to_string(toolkit::handleOf(&picture)) + " style 1073741824";
    if (command(open).empty())
        return -1;
    command("put movie window at 0 0 640 480");
    command("play movie from 0");
    QElapsedTimer timer;
    timer.start();
    while (command("status movie mode") == "playing" && timer.elapsed() < 30000) {
        QApplication::processEvents(QEventLoop::AllEvents, 50);
        usleep(20000);
        if (timer.elapsed() > 5000 && rss < 0)
            rss = bench::residentMiB();
    }
    command("close movie");
    return bench::cpuSeconds(RUSAGE_SELF) - before;
}

// One playback by the mpv command; returns CPU seconds, or -1.
} // namespace

int main(int argc, char *argv[])
{
    bench::ensureXServer(argv[0], "playback-cpu");
    QApplication app(argc, argv);
    mci::setAudioOutput(QStringLiteral("null"));
    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip-640x480.avi"));
    if (!clips::makeAt(clip, clips::format("avi-mpeg4-mp3"), {QSize(640, 480), 10})) {
        std::fprintf(stderr, "playback-cpu: could not make the clip with ffmpeg\n");
        return 1;
    }
    std::vector<double> ours;
    std::vector<double> reference;
    long rss = -1;
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    for (int run = 0; run < Runs; ++run) {
        const double cpu = oursOnce(clip, rss);
        if (cpu < 0) {
            std::fprintf(stderr, "playback-cpu: the clip did not open\n");
            return 1;
        }
        ours.push_back(cpu);
        if (!mpv.isEmpty())
            reference.push_back(bench::mpvCpuSeconds(mpv, clip));
    }
    const double oursMedian = bench::median(ours);
    if (mpv.isEmpty()) {
        std::printf("playback-cpu: ours %.2f s CPU (reference: mpv is not installed)\n",
                    oursMedian);
    } else {
        const double referenceMedian = bench::median(reference);
        std::printf("playback-cpu: %.2fx (ours %.2f s vs reference %.2f s CPU, mpv --vo=x11 "
                    "--ao=null, 640x480 10 s)\n",
                    referenceMedian > 0 ? oursMedian / referenceMedian : 0.0, oursMedian,
                    referenceMedian);
    }
    std::printf("open-rss: %ld MiB (a 640x480 clip playing through the layer)\n", rss);
    return 0;
}

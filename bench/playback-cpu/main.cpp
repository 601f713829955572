// Playing a 640x480 clip in a shown window through the media command layer, against the mpv
// command drawing the same clip with X11 output. The figures are CPU seconds (user + system) over
// the same steady window of the clip on both sides, from its second 2 to its second 8 (the start
// of either process and the open of the file left out), with no frame dropped or late on either
// side; also the resident memory of the process while it plays.

#include "BenchSupport.h"
#include "FrameWatch.h"
#include "mci/LibmpvEngine.h"
#include "mci/Transport.h"
#include "support/Clips.h"
#include "toolkit/WindowHandles.h"

#include <QApplication>
#include <QEventLoop>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <functional>
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

// Runs the event loop, asking the device for its position every 20 ms, until `done` answers
// true for it or 30 s have passed; false then.
bool playUntil(const std::function<bool(double positionMs)> &done)
{
    QEventLoop loop;
    QTimer poll;
    bool reached = false;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (command("status movie mode") != "playing") {
            loop.quit();
            return;
        }
        if (done(std::stod("0" + command("status movie position")))) {
            reached = true;
            loop.quit();
        }
    });
    QTimer::singleShot(30000, &loop, &QEventLoop::quit);
    poll.start(20);
    loop.exec();
    return reached;
}

// One playback through the layer, measured over the steady window; cpuSeconds -1 when the clip
// did not open or play through the window.
bench::SteadyPlayback oursOnce(const QString &clip, long &rss)
{
    QWidget window;
    window.resize(660, 500);
    QWidget picture(&window);
    picture.setGeometry(10, 10, 640, 480);
    window.show();
    QApplication::processEvents();
    bench::FrameWatch frames(25);
    QApplication::instance()->installEventFilter(&frames);
    const std::string open = "open \"" + clip.toStdString() +
                             "\" type AviVideo alias movie parent " +
                             std::to_string(toolkit::handleOf(&picture)) + " style 1073741824";
    bench::SteadyPlayback playback;
    if (command(open).empty())
        return playback;
    command("set movie time format milliseconds");
    command("put movie window at 0 0 640 480");
    command("play movie from 0");
    double before = -1;
    const bool steady = playUntil([&](double position) {
        if (before < 0 && position >= bench::SteadyFrom * 1000) {
            before = bench::cpuSeconds(RUSAGE_SELF);
            frames.start(position);
        }
        if (before < 0 || position < bench::SteadyTo * 1000)
            return false;
        playback.cpuSeconds = bench::cpuSeconds(RUSAGE_SELF) - before;
        frames.stop(position, playback);
        return true;
    });
    rss = bench::residentMiB();
    command("close movie");
    if (!steady)
        playback.cpuSeconds = -1;
    return playback;
}

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
    std::vector<bench::SteadyPlayback> ours;
    std::vector<bench::SteadyPlayback> reference;
    long rss = -1;
    const QString mpv = QStandardPaths::findExecutable(QStringLiteral("mpv"));
    if (mpv.isEmpty()) {
        std::fprintf(stderr, "playback-cpu: the reference needs the mpv command\n");
        return 1;
    }
    const QString script = dir.filePath(QStringLiteral("steady.lua"));
    for (int run = 0; run < Runs; ++run) {
        const bench::SteadyPlayback playback = oursOnce(clip, rss);
        if (playback.cpuSeconds < 0) {
            std::fprintf(stderr, "playback-cpu: the clip did not play through the window\n");
            return 1;
        }
        ours.push_back(playback);
        reference.push_back(bench::mpvSteadyPlayback(mpv, clip, script));
    }
    const bool within = bench::printCpuRatio("playback-cpu", bench::combined(ours),
                                             bench::combined(reference), 1.0);
    std::printf("open-rss: %ld MiB (a 640x480 clip playing through the layer)\n", rss);
    return within ? 0 : bench::OverLimit;
}

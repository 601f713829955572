#pragma once

// Small pieces the benchmarks share: the median, the report line, the X server, CPU time and
// memory. Their clips come from the project's one clip maker (support/Clips.h).

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QString>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench
{

inline double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

inline double elapsedMs(const QElapsedTimer &timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

inline void printRatio(const char *name, double ours, double reference, const char *what)
{
    std::printf("%s: %.2fx (ours %.1f ms vs reference %.1f ms, %s)\n", name,
                reference > 0 ? ours / reference : 0.0, ours, reference, what);
    std::fflush(stdout);
}

// The figures need a real X server: when there is none the program runs itself again under
// xvfb-run. Returns only when the caller is to go on.
inline void ensureXServer(char *program, const char *name)
{
    if (!qEnvironmentVariableIsEmpty("DISPLAY") ||
        !qEnvironmentVariableIsEmpty("PELLIN_BENCH_NESTED"))
        return;
    setenv("PELLIN_BENCH_NESTED", "1", 1);
    execlp("xvfb-run", "xvfb-run", "-a", "-s", "-screen 0 1024x768x24", program, nullptr);
    std::fprintf(stderr, "%s: xvfb-run is missing\n", name);
    std::exit(1);
}

// CPU seconds (user + system) of this process or of its finished children.
inline double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

inline long residentMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toLong() / 1024;
    return -1;
}

// CPU seconds the mpv command spends playing the clip with its own X11 output and no sound: the
// reference of the CPU figures.
inline double mpvCpuSeconds(const QString &mpv, const QString &clip)
{
    const double before = cpuSeconds(RUSAGE_CHILDREN);
    QProcess player;
    player.start(mpv, {"--no-config", "--really-quiet", "--vo=x11", "--ao=null",
                       "--geometry=640x480", clip});
    if (!player.waitForFinished(60000) || player.exitCode() != 0)
        return -1;
    return cpuSeconds(RUSAGE_CHILDREN) - before;
}

} // namespace bench

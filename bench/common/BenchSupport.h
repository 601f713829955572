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

// A program one of whose figures passed its limit ends with this status; bench/run reports it.
constexpr int OverLimit = 3;

inline const char *overMark(bool within)
{
    return within ? "" : " OVER THE LIMIT";
}

// Prints a ratio line with the ratio it must stay under; false when it does not.
inline bool printRatio(const char *name, double ours, double reference, const char *what,
                       double limit)
{
    const double ratio = reference > 0 ? ours / reference : 0.0;
    const bool within = reference > 0 && ratio < limit;
    std::printf("%s: %.2fx (ours %.1f ms vs reference %.1f ms, %s; limit %.2fx)%s\n", name, ratio,
                ours, reference, what, limit, overMark(within));
    std::fflush(stdout);
    return within;
}

// Prints an absolute figure with the value it must stay under; false when it does not.
inline bool printLimited(const char *name, double value, const char *unit, double limit,
                         const char *what)
{
    const bool within = value >= 0 && value < limit;
    std::printf("%s: %.2f %s (%s; limit %.2f %s)%s\n", name, value, unit, what, limit, unit,
                overMark(within));
    std::fflush(stdout);
    return within;
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

// CPU seconds (user + system, every thread) process `pid` has used so far; -1 when it is gone.
inline double processCpuSeconds(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The fields after the command name, which is in parentheses and may hold blanks: utime and
    // stime are the 14th and 15th fields of the line.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13)
        return -1;
    return double(fields.at(11).toLongLong() + fields.at(12).toLongLong()) /
           double(sysconf(_SC_CLK_TCK));
}

// What a playback did over its steady window, from one position of the clip to a later one:
// no process start, no file open, no end.
struct SteadyPlayback {
    double cpuSeconds = -1;
    int dropped = -1; // frames the decoder or the output skipped
    int delayed = -1; // frames shown later than their time
};

// The steady window, in seconds of the clip, that both sides of a CPU figure are measured over.
constexpr double SteadyFrom = 2.0;
constexpr double SteadyTo = 8.0;

// The mpv command playing `clip` with its own X11 output and no sound: the reference of the CPU
// figures. A script of its own tells the moments the window starts and ends, and the frame
// counts at its end, on standard output; the CPU time of the process is read at those moments.
inline SteadyPlayback mpvSteadyPlayback(const QString &mpv, const QString &clip,
                                        const QString &scriptPath)
{
    QFile script(scriptPath);
    if (!script.exists()) {
        if (!script.open(QIODevice::WriteOnly))
            return {};
        script.write(R"(local from = tonumber(mp.get_opt("steady-from"))
local to = tonumber(mp.get_opt("steady-to"))
local started = false
local function count(name) return mp.get_property_number(name, -1) end
mp.add_periodic_timer(0.02, function()
  local at = mp.get_property_number("time-pos", 0)
  if not started and at >= from then
    started = true
    io.stdout:write("steady-start\n")
    io.stdout:flush()
  elseif started and at >= to then
    io.stdout:write(string.format("steady-end %d %d %d\n", count("frame-drop-count"),
                    count("decoder-frame-drop-count"), count("vo-delayed-frame-count")))
    io.stdout:flush()
    mp.command("quit")
  end
end)
)");
        script.close();
    }
    QProcess player;
    player.start(
        mpv,
        {"--no-config", "--really-quiet", "--vo=x11", "--ao=null", "--geometry=640x480",
         "--script=" + scriptPath,
         QStringLiteral("--script-opts=steady-from=%1,steady-to=%2").arg(SteadyFrom).arg(SteadyTo),
         clip});
    SteadyPlayback playback;
    double startCpu = -1;
    QElapsedTimer timer;
    timer.start();
    while (playback.cpuSeconds < 0 && timer.elapsed() < 60000 &&
           player.state() != QProcess::NotRunning) {
        if (!player.canReadLine() && !player.waitForReadyRead(1000))
            continue;
        while (player.canReadLine()) {
            const QByteArray line = player.readLine().trimmed();
            if (line == "steady-start") {
                startCpu = processCpuSeconds(player.processId());
            } else if (line.startsWith("steady-end ") && startCpu >= 0) {
                playback.cpuSeconds = processCpuSeconds(player.processId()) - startCpu;
                const QList<QByteArray> counts = line.split(' ');
                if (counts.size() == 4) {
                    playback.dropped = counts.at(1).toInt() + counts.at(2).toInt();
                    playback.delayed = counts.at(3).toInt();
                }
            }
        }
    }
    if (!player.waitForFinished(10000))
        player.kill();
    return playback;
}

// Prints a CPU figure over the steady window, and whether both sides showed every frame in time;
// false when the ratio passes `limit` or a frame was dropped or late on either side.
inline bool printCpuRatio(const char *name, const SteadyPlayback &ours,
                          const SteadyPlayback &reference, double limit)
{
    const double ratio = reference.cpuSeconds > 0 ? ours.cpuSeconds / reference.cpuSeconds : 0;
    const bool smooth =
        ours.dropped == 0 && ours.delayed == 0 && reference.dropped == 0 && reference.delayed == 0;
    const bool within = reference.cpuSeconds > 0 && ratio < limit && smooth;
    std::printf("%s: %.2fx (ours %.2f s vs reference %.2f s CPU from %.0f s to %.0f s of a "
                "640x480 clip, mpv --vo=x11 --ao=null; dropped/delayed frames ours %d/%d, "
                "reference %d/%d, must be 0; limit %.2fx)%s\n",
                name, ratio, ours.cpuSeconds, reference.cpuSeconds, SteadyFrom, SteadyTo,
                ours.dropped, ours.delayed, reference.dropped, reference.delayed, limit,
                overMark(within));
    std::fflush(stdout);
    return within;
}

} // namespace bench

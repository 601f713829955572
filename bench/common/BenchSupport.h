#pragma once

// Small pieces the benchmarks share: test clips made by ffmpeg, the median, the report line.

#include <QElapsedTimer>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench
{

// A 4-second clip with picture and sound; `codecArguments` choose the formats.
inline bool makeClip(const QString &path, const QString &size, const QStringList &codecArguments)
{
    QProcess ffmpeg;
    QStringList arguments{"-v",
                          "error",
                          "-y",
                          "-f",
                          "lavfi",
                          "-i",
                          "testsrc=size=" + size + ":rate=25:duration=4",
                          "-f",
                          "lavfi",
                          "-i",
                          "sine=frequency=440:duration=4"};
    arguments << codecArguments << path;
    ffmpeg.start(QStringLiteral("ffmpeg"), arguments);
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitStatus() == QProcess::NormalExit &&
           ffmpeg.exitCode() == 0;
}

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

} // namespace bench

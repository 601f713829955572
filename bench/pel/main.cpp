// Reading and writing a playlist file of 100,000 entries: the list file format on its own,
// without the playlist window. Prints the median of several runs in milliseconds, each with its
// limit: half a second for a list far longer than any course.

#include "BenchSupport.h"
#include "common/ListFile.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace
{

constexpr int kEntries = 100000;
constexpr int kRuns = 7;
constexpr double kOpenLimitMs = 500;
constexpr double kSaveLimitMs = 500;

double medianMilliseconds(const std::function<void()> &work)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main()
{
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QString path = dir.filePath(QStringLiteral("bench.pel"));

    QList<pellin::ListEntry> entries;
    entries.reserve(kEntries);
    for (int i = 0; i < kEntries; ++i)
        entries.append(
            {QStringLiteral("/media/cd/videos/module %1/lesson %2.avi").arg(i / 100).arg(i),
             QStringLiteral("lesson %1 – übung").arg(i),
             QStringLiteral("%1:%2").arg(i % 90).arg(i % 60, 2, 10, QChar(u'0'))});

    const double save = medianMilliseconds([&] { pellin::writeListFile(path, entries); });
    qsizetype read = 0;
    const double open =
        medianMilliseconds([&] { read = pellin::readListFile(path).entries.size(); });
    if (read != kEntries)
        return 1;

    bool within = bench::printLimited("pel-open", open, "ms", kOpenLimitMs, "100,000 entries read");
    within &= bench::printLimited("pel-save", save, "ms", kSaveLimitMs, "100,000 entries written");
    return within ? 0 : bench::OverLimit;
}

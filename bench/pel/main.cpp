// Reading and writing a playlist file of 100,000 entries: the list file format on its own,
// without the playlist window. Prints the median of several runs in milliseconds.

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

    std::printf("pel-open: %.1f ms\n", open);
    std::printf("pel-save: %.1f ms\n", save);
    return 0;
}

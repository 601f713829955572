// The walk of "Add directory and all subdirectories" (AVI, then ASF files, depth-first) against
// two find processes with the same patterns on the same generated tree.
#include "BenchSupport.h"
#include "common/MediaSearch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace
{

constexpr int Runs = 9;
constexpr int TopFolders = 40;
constexpr int SubFolders = 10;
const char *const FileNames[] = {"a.avi", "b.AVI", "c.asf", "d.mpg", "e.txt", "f.pdf"};

bool makeTree(const QString &root)
{
    for (int top = 0; top < TopFolders; ++top) {
        for (int sub = 0; sub < SubFolders; ++sub) {
            const QString folder =
                QStringLiteral("%1/Module %2/Lesson %3").arg(root).arg(top).arg(sub);
            if (!QDir().mkpath(folder))
                return false;
            for (const char *name : FileNames) {
                QFile file(folder + u'/' + QLatin1String(name));
                if (!file.open(QIODevice::WriteOnly))
                    return false;
            }
        }
    }
    return true;
}

int walk(const QString &root)
{
    int found = 0;
    const modGlobals::FoundVideoSink count = [&found](const modGlobals::FoundVideo &) { ++found; };
    modGlobals::FindFiles(root, QStringLiteral("*.avi"), true, count);
    modGlobals::FindFiles(root, QStringLiteral("*.asf"), true, count);
    return found;
}

int find(const QString &root)
{
    int found = 0;
    for (const char *pattern : {"*.avi", "*.asf"}) {
        QProcess process;
        process.start(QStringLiteral("find"), {root, "-type", "f", "-iname", pattern});
        if (!process.waitForFinished(60000) || process.exitCode() != 0)
            return -1;
        found += process.readAllStandardOutput().count('\n');
    }
    return found;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid() || !makeTree(dir.path())) {
        std::fprintf(stderr, "tree-search: could not make the tree\n");
        return 1;
    }
    std::vector<double> ours;
    std::vector<double> reference;
    for (int run = 0; run <= Runs; ++run) {
        QElapsedTimer timer;
        timer.start();
        const int walked = walk(dir.path());
        const double walkMs = bench::elapsedMs(timer);
        timer.restart();
        const int listed = find(dir.path());
        const double findMs = bench::elapsedMs(timer);
        if (walked != listed || walked != TopFolders * SubFolders * 3) {
            std::fprintf(stderr, "tree-search: walk found %d files, find %d\n", walked, listed);
            return 1;
        }
        // The first run warms the file system's caches for both.
        if (run > 0) {
            ours.push_back(walkMs);
            reference.push_back(findMs);
        }
    }
    bench::printRatio("tree-search", bench::median(ours), bench::median(reference),
                      "find -iname, 400 folders, 2400 files");
    return 0;
}

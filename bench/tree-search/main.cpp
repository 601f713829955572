// The walk of "Add directory and all subdirectories" (AVI, then ASF files, depth-first, each
// folder's own files before its subfolders) on a generated tree of 2,000 folders and 20,000
// files. Reference: an in-process walk that reads each folder once with readdir, takes the
// entry's type from the directory entry, matches both extensions in that one pass and makes the
// same playlist fields in the same order.
#include "BenchSupport.h"
#include "common/MediaSearch.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <set>
#include <string_view>

namespace
{

constexpr int Runs = 9;
constexpr int Modules = 40;
constexpr int LessonsPerModule = 49; // with the modules: 2,000 folders
const char *const FileNames[] = {"a.avi", "b.AVI", "c.asf", "d.mpg", "e.txt",
                                 "f.pdf", "g.Avi", "h.ASF", "i.wmv", "j.srt"};
constexpr int MatchesPerFolder = 5;

bool fillFolder(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    for (const char *name : FileNames) {
        QFile file(folder + u'/' + QLatin1String(name));
        if (!file.open(QIODevice::WriteOnly))
            return false;
    }
    return true;
}

bool makeTree(const QString &root)
{
    for (int module = 0; module < Modules; ++module) {
        const QString folder = QStringLiteral("%1/Module %2").arg(root).arg(module);
        if (!fillFolder(folder))
            return false;
        for (int lesson = 0; lesson < LessonsPerModule; ++lesson)
            if (!fillFolder(QStringLiteral("%1/Lesson %2").arg(folder).arg(lesson)))
                return false;
    }
    return true;
}

QStringList walk(const QString &root)
{
    QStringList keys;
    const modGlobals::FoundVideoSink add = [&keys](const modGlobals::FoundVideo &video) {
        keys << video.key;
    };
    modGlobals::FindFiles(root, {QStringLiteral("*.avi"), QStringLiteral("*.asf")}, true, add);
    return keys;
}

struct ReferenceWalk {
    std::vector<modGlobals::FoundVideo> found[2];
    std::set<std::pair<dev_t, ino_t>> seen;

    void add(int pattern, const QString &folder, std::string_view name)
    {
        modGlobals::FoundVideo video;
        const QString file = QString::fromUtf8(name.data(), qsizetype(name.size()));
        video.path = folder + file;
        video.key = video.path.toLower();
        video.title = file.left(file.indexOf(u'.')).toLower();
        video.intro = pattern == 1;
        found[pattern].push_back(std::move(video));
    }

    void folder(const std::string &disk, const QString &shown)
    {
        DIR *dir = opendir(disk.c_str());
        if (!dir)
            return;
        struct stat info {};
        if (fstat(dirfd(dir), &info) != 0 || !seen.insert({info.st_dev, info.st_ino}).second) {
            closedir(dir);
            return;
        }
        std::vector<std::string> subfolders;
        while (const dirent *entry = readdir(dir)) {
            const std::string_view name(entry->d_name);
            if (name.front() == '.')
                continue;
            bool isFolder = entry->d_type == DT_DIR;
            if (entry->d_type == DT_LNK || entry->d_type == DT_UNKNOWN) {
                struct stat target {};
                const std::string full = disk + '/' + entry->d_name;
                isFolder = stat(full.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
            }
            if (isFolder) {
                subfolders.emplace_back(name);
                continue;
            }
            if (name.size() < 4)
                continue;
            const char *extension = name.data() + name.size() - 4;
            if (strncasecmp(extension, ".avi", 4) == 0)
                add(0, shown, name);
            else if (strncasecmp(extension, ".asf", 4) == 0)
                add(1, shown, name);
        }
        closedir(dir);
        for (const std::string &name : subfolders)
            folder(disk + '/' + name, shown + QString::fromStdString(name) + u'/');
    }
};

QStringList referenceWalk(const QString &root)
{
    ReferenceWalk walk;
    walk.folder(root.toStdString(), root + u'/');
    QStringList keys;
    for (const auto &found : walk.found)
        for (const modGlobals::FoundVideo &video : found)
            keys << video.key;
    return keys;
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
        QStringList walked;
        QStringList listed;
        const auto runOurs = [&] {
            QElapsedTimer timer;
            timer.start();
            walked = walk(dir.path());
            ours.push_back(bench::elapsedMs(timer));
        };
        const auto runReference = [&] {
            QElapsedTimer timer;
            timer.start();
            listed = referenceWalk(dir.path());
            reference.push_back(bench::elapsedMs(timer));
        };
        if (run % 2) {
            runOurs();
            runReference();
        } else {
            runReference();
            runOurs();
        }
        if (walked != listed ||
            walked.size() != Modules * (LessonsPerModule + 1) * MatchesPerFolder) {
            std::fprintf(stderr, "tree-search: the walk found %lld files, the reference %lld\n",
                         qlonglong(walked.size()), qlonglong(listed.size()));
            return 1;
        }
        // The first run warms the file system's caches for both.
        if (run == 0) {
            ours.clear();
            reference.clear();
        }
    }
    const bool within =
        bench::printRatio("tree-search", bench::median(ours), bench::median(reference),
                          "in-process readdir walk, 2,000 folders, 20,000 files", 1.2);
    return within ? 0 : bench::OverLimit;
}

// The start-up of the whole player as a student starts it: a real process on the X server, from
// its start to its main window's first frame on the screen, for a course index of 10,000 entries
// against one of 10 (the reference), the two taking turns. And, in this process on the offscreen
// platform from the splash window to the main window shown, damaged indexes of 100,000 lines
// against 10,000 lines (the reference), nearly all of them skipped and reported in one box, which
// is laid out as it would be shown: ten times the lines may take at most 12 times as long.

#include "BenchSupport.h"
#include "ProcessFrame.h"

#include "player/frmMain.h"
#include "player/frmSplash.h"
#include "system/Registry.h"
#include "toolkit/Application.h"
#include "toolkit/Environment.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace
{

constexpr int kRuns = 5;
constexpr int kProcessRuns = 9;

// A course whose index has `lines` lines, three in four of them skipped (an entry without a
// length, a caption line whose number is none, a line of blanks) and the entries repeating
// after 250 videos.
bool writeDamagedCourse(const QString &root, int lines)
{
    if (!QDir().mkpath(root + "/bin"))
        return false;
    QFile index(root + "/bin/index.dat");
    if (!index.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    for (int i = 0; i < lines; ++i) {
        switch (i % 4) {
        case 0:
            index.write("\\videos\\module " + QByteArray::number(i / 4 % 250) +
                        ".avi;Module;10:00\r\n");
            break;
        case 1:
            index.write("\\videos\\short.avi;only two\r\n");
            break;
        case 2:
            index.write("Course:abc:x:\\pic.png\r\n");
            break;
        default:
            index.write("   \r\n");
        }
    }
    return true;
}

void closeEverything()
{
    for (toolkit::Form *form : toolkit::loadedForms())
        form->Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// One start-up: splash, main and playlist windows loaded, index read, main window shown.
double startOnce(const QString &root)
{
    toolkit::setAppPath(root + "/bin");
    QElapsedTimer timer;
    timer.start();
    forms::frmSplash();
    const double ms = bench::elapsedMs(timer);
    if (!forms::frmMain().Visible())
        std::fprintf(stderr, "startup: the main window is not shown\n");
    closeEverything();
    return ms;
}

double medianStart(const QString &root)
{
    std::vector<double> times;
    for (int run = 0; run < kRuns; ++run)
        times.push_back(startOnce(root));
    return bench::median(times);
}

// The median start of the player to its first frame, with the large course against the small.
bool processStarts(const QString &root, double &ours, double &reference)
{
    QString small;
    QString large;
    if (!bench::makeCourseBeside(root + "/small", 10, QStringLiteral(PLAYER), small) ||
        !bench::makeCourseBeside(root + "/large", 10000, QStringLiteral(PLAYER), large))
        return false;
    std::vector<double> smallMs;
    std::vector<double> largeMs;
    for (int run = 0; run <= kProcessRuns; ++run) {
        const double tenThousand =
            bench::firstFrameMs(large, QStringLiteral("frmMain"), root + "/large/tools");
        const double ten =
            bench::firstFrameMs(small, QStringLiteral("frmMain"), root + "/small/tools");
        if (tenThousand < 0 || ten < 0)
            return false;
        if (run == 0)
            continue; // the first start of each also reads the libraries from the disk
        largeMs.push_back(tenThousand);
        smallMs.push_back(ten);
    }
    ours = bench::median(largeMs);
    reference = bench::median(smallMs);
    return true;
}

long peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char **argv)
{
    bench::ensureXServer(argv[0], "startup");
    // The player's processes show on the X server; this one's own start-ups need no screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    toolkit::Application app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    QTemporaryDir temp;
    const QString damaged = temp.path() + "/damaged";
    const QString badlyDamaged = temp.path() + "/badly damaged";
    double ours = -1;
    double reference = -1;
    if (!temp.isValid() || !processStarts(temp.path() + "/courses", ours, reference)) {
        std::fprintf(stderr, "startup: the player did not paint its main window\n");
        return 1;
    }
    if (!writeDamagedCourse(damaged, 10000) || !writeDamagedCourse(badlyDamaged, 100000)) {
        std::fprintf(stderr, "startup: cannot write the course folders\n");
        return 1;
    }
    bool within = bench::printRatio("startup", ours, reference,
                                    "the player with a 10-entry index, process start to main "
                                    "window painted on an X server",
                                    1.3);
    // The reader is there.
    sys::setRegistryAnswer([](sys::RegistryRoot, const std::string &) { return true; });
    // A box, should one come, is laid out as for the screen and answered at once.
    toolkit::setMessageBoxHandler([](const toolkit::MessageBoxCall &call) {
        const std::unique_ptr<QMessageBox> box = toolkit::makeMessageBox(call);
        box->show();
        box->hide();
        return toolkit::vbOK;
    });

    startOnce(damaged); // warm-up: fonts, icons, the platform plug-in
    const double damagedReference = medianStart(damaged);
    const double badlyDamagedOurs = medianStart(badlyDamaged);
    within &= bench::printRatio("startup-bad", badlyDamagedOurs, damagedReference,
                                "100,000 against 10,000 damaged lines, 10x is linear", 12.0);
    std::printf("startup-rss: %ld MiB (peak of the in-process start-ups)\n", peakRssMiB());
    return within ? 0 : bench::OverLimit;
}

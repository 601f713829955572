// The start-up from the splash window to the main window shown, in this process on the offscreen
// platform, for a course index of 10 entries (the reference) and one of 10,000 entries; and for
// damaged indexes of 10,000 lines (the reference) and 100,000 lines, nearly all of them skipped
// and reported in one box, which is laid out as it would be shown.

#include "BenchSupport.h"

#include "player/frmMain.h"
#include "player/frmSplash.h"
#include "system/Registry.h"
#include "toolkit/Application.h"
#include "toolkit/Environment.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace
{

constexpr int kRuns = 5;

// A course folder "<root>/bin/index.dat" with one caption line and `entries` entry lines.
bool writeCourse(const QString &root, int entries)
{
    if (!QDir().mkpath(root + "/bin"))
        return false;
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    if (!picture.save(root + "/bin/course.png"))
        return false;
    QFile index(root + "/bin/index.dat");
    if (!index.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    index.write("Networking Essentials:0:unused:\\bin\\course.png\r\n");
    for (int i = 1; i <= entries; ++i) {
        const QByteArray number = QByteArray::number(i);
        const char *extension = i == 1 ? ".asf" : ".avi";
        index.write("\\videos\\module " + number + extension + ";Module " + number + ";" +
                    QByteArray::number(i % 60) + ":" + QByteArray::number(10 + i % 50) + "\r\n");
    }
    return true;
}

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

long peakRssMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    toolkit::Application app(argc, argv);
    app.setQuitOnLastWindowClosed(false);

    QTemporaryDir temp;
    const QString small = temp.path() + "/small";
    const QString large = temp.path() + "/large";
    const QString damaged = temp.path() + "/damaged";
    const QString badlyDamaged = temp.path() + "/badly damaged";
    if (!temp.isValid() || !writeCourse(small, 10) || !writeCourse(large, 10000) ||
        !writeDamagedCourse(damaged, 10000) || !writeDamagedCourse(badlyDamaged, 100000)) {
        std::fprintf(stderr, "startup: cannot write the course folders\n");
        return 1;
    }
    // The reader is there.
    sys::setRegistryAnswer([](sys::RegistryRoot, const std::string &) { return true; });
    // A box, should one come, is laid out as for the screen and answered at once.
    toolkit::setMessageBoxHandler([](const toolkit::MessageBoxCall &call) {
        const std::unique_ptr<QMessageBox> box = toolkit::makeMessageBox(call);
        box->show();
        box->hide();
        return toolkit::vbOK;
    });

    startOnce(small); // warm-up: fonts, icons, the platform plug-in
    const double reference = medianStart(small);
    const double ours = medianStart(large);
    bench::printRatio("startup", ours, reference, "10-entry index");
    const double damagedReference = medianStart(damaged);
    const double badlyDamagedOurs = medianStart(badlyDamaged);
    bench::printRatio("startup-bad", badlyDamagedOurs, damagedReference,
                      "100,000 against 10,000 damaged lines, 10x is linear");
    std::printf("startup-rss: %ld MiB\n", peakRssMiB());
    return 0;
}

// From process start to the main window's first frame on an X server: the player, started as the
// course disc starts it (a course beside it), against a trivial Qt program that shows one window.
// Both are real processes; the moment of the frame is Qt's own record of flushing the window to
// the screen (the qt.widgets.painting log), read as it comes. The player's figure includes the
// loading of every library it links before main().

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <vector>

namespace
{

constexpr int Runs = 9;
constexpr int TimeoutMs = 20000;

// A course of ten entries beside a copy of the player, and a PDF viewer on the search path so
// that the start-up asks no question about the reader.
bool makeCourse(const QString &root, QString &player)
{
    if (!QDir().mkpath(root + "/bin") || !QDir().mkpath(root + "/tools"))
        return false;
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    QFile index(root + "/bin/index.dat");
    if (!picture.save(root + "/bin/course.png") || !index.open(QIODevice::WriteOnly))
        return false;
    index.write("Networking Essentials:0:unused:\\bin\\course.png\r\n");
    for (int i = 1; i <= 10; ++i)
        index.write("\\videos\\module " + QByteArray::number(i) + ".avi;Module " +
                    QByteArray::number(i) + ";0:10\r\n");
    index.close();
    player = root + "/bin/PellinPlayer";
    QFile viewer(root + "/tools/evince");
    if (!QFile::copy(QStringLiteral(PLAYER), player) || !viewer.open(QIODevice::WriteOnly))
        return false;
    viewer.write("#!/bin/sh\nexit 0\n");
    viewer.close();
    return viewer.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
}

// Milliseconds from the start of `program` to the first flush of the window named `window`; the
// process is ended afterwards. -1 when it does not come.
double firstFrameMs(const QString &program, const QString &window, const QString &tools)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                       QStringLiteral("qt.widgets.painting=true"));
    environment.insert(QStringLiteral("PATH"), tools + ':' + environment.value("PATH"));
    process.setProcessEnvironment(environment);
    process.setReadChannel(QProcess::StandardError);
    const QByteArray flushed = "Flushing QRegion";
    const QByteArray named = "name=\"" + window.toUtf8() + '"';
    QElapsedTimer timer;
    timer.start();
    process.start(program, {});
    double ms = -1;
    while (ms < 0 && timer.elapsed() < TimeoutMs && process.state() != QProcess::NotRunning) {
        if (!process.canReadLine() && !process.waitForReadyRead(TimeoutMs))
            break;
        while (process.canReadLine()) {
            const QByteArray line = process.readLine();
            if (line.contains(flushed) && line.contains(named)) {
                ms = bench::elapsedMs(timer);
                break;
            }
        }
    }
    process.kill();
    process.waitForFinished(5000);
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    bench::ensureXServer(argv[0], "first-frame");
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    QString player;
    if (!makeCourse(dir.path(), player)) {
        std::fprintf(stderr, "first-frame: cannot write the course folder\n");
        return 1;
    }
    const QString tools = dir.path() + "/tools";

    std::vector<double> ours;
    std::vector<double> reference;
    for (int run = 0; run <= Runs; ++run) {
        const double started = firstFrameMs(player, QStringLiteral("frmMain"), tools);
        const double trivial =
            firstFrameMs(QStringLiteral(WINDOW), QStringLiteral("trivial"), tools);
        if (started < 0 || trivial < 0) {
            std::fprintf(stderr, "first-frame: no first frame from %s\n",
                         started < 0 ? "the player" : "the trivial window");
            return 1;
        }
        if (run == 0)
            continue; // the first start of each also reads the libraries from the disk
        ours.push_back(started);
        reference.push_back(trivial);
    }
    bench::printRatio("first-frame", bench::median(ours), bench::median(reference),
                      "a trivial Qt window program, process start to first frame");
    return 0;
}

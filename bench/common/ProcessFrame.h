#pragma once

// Starting a real program on the X server and timing it to its window's first frame on the
// screen, as Qt records it (the qt.widgets.painting log, read as it comes); and the course folder
// beside a copy of the player that such a start needs.

#include "BenchSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>

namespace bench
{

constexpr int FrameTimeoutMs = 20000;

// A course of `entries` entries beside a copy of `program`, the player (its path in `player`),
// and a PDF viewer in "<root>/tools" to put on the search path, so that the start-up asks no
// question about the reader.
inline bool makeCourseBeside(const QString &root, int entries, const QString &program,
                             QString &player)
{
    if (!QDir().mkpath(root + "/bin") || !QDir().mkpath(root + "/tools"))
        return false;
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(Qt::darkBlue);
    QFile index(root + "/bin/index.dat");
    if (!picture.save(root + "/bin/course.png") || !index.open(QIODevice::WriteOnly))
        return false;
    index.write("Networking Essentials:0:unused:\\bin\\course.png\r\n");
    for (int i = 1; i <= entries; ++i)
        index.write("\\videos\\module " + QByteArray::number(i) + ".avi;Module " +
                    QByteArray::number(i) + ";0:10\r\n");
    index.close();
    player = root + "/bin/PellinPlayer";
    QFile viewer(root + "/tools/evince");
    if (!QFile::copy(program, player) || !viewer.open(QIODevice::WriteOnly))
        return false;
    viewer.write("#!/bin/sh\nexit 0\n");
    viewer.close();
    return viewer.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
}

// Milliseconds from the start of `program` to the first flush of the window named `window`; the
// process is ended afterwards. -1 when it does not come.
inline double firstFrameMs(const QString &program, const QString &window, const QString &tools)
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
    while (ms < 0 && timer.elapsed() < FrameTimeoutMs && process.state() != QProcess::NotRunning) {
        if (!process.canReadLine() && !process.waitForReadyRead(FrameTimeoutMs))
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

} // namespace bench

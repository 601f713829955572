#pragma once

// What the benchmarks of the whole player share: an X server, the main and playlist windows
// loaded with one clip on the real engine, the event loop run for a while, and the CPU time and
// memory of the process.

#include "BenchSupport.h"
#include "common/modGlobals.h"
#include "mci/LibmpvEngine.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "support/Clips.h"
#include "toolkit/Environment.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace bench
{

// The player's clip: an AVI (mpeg4 + mp3) of `seconds` at 640x480 with a moving test picture and
// a tone.
inline bool makePlayerClip(const QString &path, int seconds)
{
    return clips::makeAt(path, clips::format("avi-mpeg4-mp3"), {QSize(640, 480), seconds});
}

// Runs the event loop as the program does, for `ms` or until `done` answers true (checked
// every 50 ms).
inline void runEventLoop(int ms, const std::function<bool()> &done = {})
{
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QTimer check;
    if (done) {
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (done())
                loop.quit();
        });
        check.start(50);
    }
    deadline.start(ms);
    loop.exec();
}

// The main window shown and the playlist holding `clip` as its one selected entry; sound off
// as in the reference, message boxes reported on stderr instead of shown.
inline void loadPlayer(const QString &clip, const char *name)
{
    using namespace modGlobals;
    mci::setAudioOutput(QStringLiteral("null"));
    toolkit::setMessageBoxHandler([name](const toolkit::MessageBoxCall &call) {
        std::fprintf(stderr, "%s: message box: %s\n", name, qPrintable(call.prompt));
        return toolkit::vbOK;
    });
    gMediaRoot = QFileInfo(clip).absolutePath();
    gSingleFile = false;
    gFullScreen = false;
    forms::frmMain().Show();
    frmPlaylist &playlist = forms::frmPlaylist();
    playlist.AddEntry(clip, QStringLiteral("Lesson"), QStringLiteral("0:10"));
    playlist.lvPlaylist.findKey(clip)->setSelected(true);
    runEventLoop(300);
}

} // namespace bench

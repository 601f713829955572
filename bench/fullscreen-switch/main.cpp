// Entering full screen and leaving it again (the video moves into the full-screen window and
// back, each time closed and opened anew at its position) on a real clip played by libmpv in a
// real X server, against one open of the same clip through the controller.

#include "BenchSupport.h"
#include "ControllerOpen.h"
#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "player/frmMain.h"
#include "support/Clips.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"
#include "toolkit/WindowHandles.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <clocale>

using namespace modGlobals;

namespace
{

constexpr int Runs = 15;

void settle()
{
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// Esc in the full-screen picture area, as the student leaves.
void pressEsc()
{
    int esc = 27;
    forms::frmFullScreen().screener_KeyPress(esc);
}

double switchMs()
{
    QElapsedTimer timer;
    timer.start();
    forms::frmMain().EnterFullScreen();
    pressEsc();
    const double ms = bench::elapsedMs(timer);
    settle();
    return ms;
}

} // namespace

int main(int argc, char **argv)
{
    bench::ensureXServer(argv[0], "fullscreen-switch");
    qputenv("QT_QPA_PLATFORM", "xcb");
    // Both sides play without sound, so neither pays for probing the sound system.
    qputenv("PELLIN_AUDIO_OUTPUT", "null");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");
    toolkit::setMessageBoxHandler([](const toolkit::MessageBoxCall &) { return toolkit::vbOK; });

    QTemporaryDir dir;
    const QString clip = dir.filePath(QStringLiteral("clip.avi"));
    if (!clips::makeAt(clip, clips::format("avi-mpeg4-mp3"), {.size = QSize(640, 480)})) {
        std::fprintf(stderr, "fullscreen-switch: could not make the clip with ffmpeg\n");
        return 1;
    }

    frmMain &main = forms::frmMain();
    main.Show();
    gMCI->LoadedFilename(clip.toStdString());
    gMCI->OpenMultimedia(main.picVideo.hWnd());
    gMCI->PutMultimedia(main.picVideo.hWnd(), 0, 0, 0, 0);
    gMCI->PlayMultimedia("0", "0");
    settle();

    QWidget picture;
    picture.resize(640, 480);
    picture.show();
    clsMCI reference;
    reference.AliasName("reference");
    reference.LoadedFilename(clip.toStdString());

    std::vector<double> ours;
    std::vector<double> raw;
    for (int run = 0; run <= Runs; ++run) {
        // Back to the start now and then, so that no switch lands at the clip's end.
        gMCI->MoveMultimedia(500);
        const double switched = switchMs();
        const double opened = bench::controllerOpenMs(reference, picture);
        if (opened < 0 || gFullScreen || gMCI->TotalTime() <= 0) {
            std::fprintf(stderr, "fullscreen-switch: the clip did not open\n");
            return 1;
        }
        if (run == 0)
            continue; // warms the caches of both sides
        ours.push_back(switched);
        raw.push_back(opened);
    }
    bench::printRatio("fullscreen-switch", bench::median(ours), bench::median(raw),
                      "enter and leave against one controller open of the clip");
    return 0;
}

// Opening a clip through the media controller (command strings, interpreter, engine), placing it
// and playing it until its first frame is painted, against the same done directly on a warm
// libmpv core that has just played the other clip (`loadfile replace`), in a widget of the same
// size. Two clips take turns, as a student moves from one video to the next: each open follows
// the close of the other clip.

#include "BenchSupport.h"
#include "RawEngine.h"
#include "media/clsMCI.h"
#include "support/Clips.h"
#include "toolkit/WindowHandles.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <clocale>

namespace
{

constexpr int Runs = 15;
constexpr int PaintTimeoutMs = 10000;
const QSize kArea(640, 480);

// Notes when a device's video widget paints a picture (it paints opaquely once it holds one).
class PaintWatch final : public QObject
{
  public:
    bool painted = false;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->objectName() == QLatin1String("mciVideo") &&
            static_cast<QWidget *>(watched)->testAttribute(Qt::WA_OpaquePaintEvent))
            painted = true;
        return false;
    }
};

// Milliseconds from the open to the first frame painted, or -1; the device stays open.
double controllerOpenMs(clsMCI &mci, const QString &clip, QWidget &picture, PaintWatch &watch)
{
    mci.CloseMultimedia();
    mci.LoadedFilename(clip.toStdString());
    watch.painted = false;
    QElapsedTimer timer;
    timer.start();
    const long long handle = toolkit::handleOf(&picture);
    const std::string outcome = mci.OpenMultimedia(handle);
    mci.PutMultimedia(handle, 0, 0, kArea.width(), kArea.height());
    mci.PlayMultimedia("0", "0");
    while (!watch.painted && timer.elapsed() < PaintTimeoutMs)
        QApplication::processEvents();
    const double ms = bench::elapsedMs(timer);
    mci.PauseMultimedia();
    return outcome == "Success" && watch.painted ? ms : -1;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Both sides play without sound, so neither pays for probing the sound system.
    qputenv("PELLIN_AUDIO_OUTPUT", "null");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    QTemporaryDir dir;
    const QStringList clips{dir.filePath(QStringLiteral("first.avi")),
                            dir.filePath(QStringLiteral("second.avi"))};
    for (const QString &clip : clips) {
        if (!clips::makeAt(clip, clips::format("avi-mpeg4-mp3"), {.size = kArea})) {
            std::fprintf(stderr, "open: could not make the clip with ffmpeg\n");
            return 1;
        }
    }

    QWidget picture;
    picture.resize(kArea);
    picture.show();
    PaintWatch watch;
    app.installEventFilter(&watch);
    clsMCI mci;
    bench::WarmRawPlayer raw(kArea);
    if (!raw.ready()) {
        std::fprintf(stderr, "open: libmpv did not start\n");
        return 1;
    }

    std::vector<double> ours;
    std::vector<double> reference;
    for (int run = 0; run <= Runs; ++run) {
        const double controller = controllerOpenMs(mci, clips.at(run % 2), picture, watch);
        const double warm = raw.openMs(QFile::encodeName(clips.at(run % 2)));
        raw.pause();
        if (controller < 0 || warm < 0) {
            std::fprintf(stderr, "open: the clip did not reach the screen\n");
            return 1;
        }
        if (run == 0)
            continue; // warms the caches of both sides
        ours.push_back(controller);
        reference.push_back(warm);
    }
    mci.CloseAll();
    const bool within = bench::printRatio(
        "open", bench::median(ours), bench::median(reference),
        "warm libmpv core after the other clip, loadfile replace to first frame painted", 1.2);
    return within ? 0 : bench::OverLimit;
}

// Measuring the length of the files added to the playlist, as the playlist does it (a second
// controller "movie2": open, play 0 to 1, read the length, stop, close), against reading the same
// length in-process with libavformat (open the container, find the streams' information).

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

constexpr int Runs = 9;

struct Clip {
    const char *name;
    const char *format; // of the clip maker's table
};

std::int32_t probeLength(const QString &file, QWidget &picture)
{
    clsMCI probe;
    probe.LoadedFilename(file.toStdString());
    probe.AliasName("movie2");
    probe.OpenMultimedia(toolkit::handleOf(&picture));
    probe.PlayMultimedia("0", "1");
    QCoreApplication::processEvents();
    const std::int32_t length = probe.TotalTime();
    probe.StopMultimedia();
    probe.CloseMultimedia();
    return length;
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("PELLIN_AUDIO_OUTPUT", "null");
    QApplication app(argc, argv);
    std::setlocale(LC_NUMERIC, "C");

    const Clip clips[] = {
        {"mpeg4.avi", "avi-mpeg4-mp3"},
        {"msmpeg4v2.avi", "avi-msmpeg4v2-pcm"},
        {"program.mpg", "mpeg1-ps"},
        {"intro.asf", "asf-wmv2-wmav2"},
    };
    QTemporaryDir dir;
    QStringList files;
    for (const Clip &clip : clips) {
        files << dir.filePath(QLatin1String(clip.name));
        if (!clips::makeAt(files.back(), clips::format(clip.format))) {
            std::fprintf(stderr, "probe: could not make %s with ffmpeg\n", clip.name);
            return 1;
        }
    }

    QWidget picture;
    picture.resize(320, 240);
    picture.show();

    std::vector<double> ours;
    std::vector<double> reference;
    for (int run = 0; run <= Runs; ++run) {
        for (const QString &file : files) {
            QElapsedTimer timer;
            timer.start();
            const std::int32_t length = probeLength(file, picture);
            const double controller = bench::elapsedMs(timer);
            const double raw = bench::headerReadMs(QFile::encodeName(file));
            if (length <= 0 || raw < 0) {
                std::fprintf(stderr, "probe: no length for %s\n", qPrintable(file));
                return 1;
            }
            if (run > 0) {
                ours.push_back(controller);
                reference.push_back(raw);
            }
        }
    }
    const bool within =
        bench::printRatio("probe", bench::median(ours), bench::median(reference),
                          "in-process libavformat open + find_stream_info per file", 1.3);
    return within ? 0 : bench::OverLimit;
}

// "Add directory" on a folder of real clips: the playlist measures each one with its probe
// controller. Reference: reading each file's length in-process with libavformat over the same
// folder.
#include "BenchSupport.h"
#include "RawEngine.h"
#include "common/Choosers.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "support/Clips.h"
#include "toolkit/Forms.h"
#include "toolkit/MessageBox.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <clocale>

namespace
{

constexpr int Runs = 5;
constexpr int Copies = 3;

struct Clip {
    const char *name;
    const char *format; // of the clip maker's table
};

bool readFolderHeaders(const QString &folder)
{
    for (const QString &name : QDir(folder).entryList(QDir::Files))
        if (bench::headerReadMs(QFile::encodeName(folder + u'/' + name)) < 0)
            return false;
    return true;
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
        {"program.mpg", "mpeg1-ps"},
        {"intro.asf", "asf-wmv2-wmav2"},
    };
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Videos"));
    QDir().mkpath(folder);
    int files = 0;
    for (const Clip &clip : clips) {
        const QString made = folder + u'/' + QLatin1String(clip.name);
        if (!clips::makeAt(made, clips::format(clip.format))) {
            std::fprintf(stderr, "add-dir: could not make %s with ffmpeg\n", clip.name);
            return 1;
        }
        ++files;
        for (int copy = 1; copy < Copies; ++copy, ++files)
            QFile::copy(made, folder + QStringLiteral("/copy%1-").arg(copy) + clip.name);
    }

    modGlobals::setChooserHandler([&folder](const modGlobals::ChooserCall &) { return folder; });
    toolkit::setMessageBoxHandler([](const toolkit::MessageBoxCall &call) {
        std::fprintf(stderr, "add-dir: message %s\n", qPrintable(call.prompt));
        return toolkit::vbOK;
    });
    forms::frmMain().Show();
    frmPlaylist &playlist = forms::frmPlaylist();

    std::vector<double> ours;
    std::vector<double> reference;
    for (int run = 0; run <= Runs; ++run) {
        playlist.tlbPlaylist_ButtonClick(playlist.tlbPlaylist.Buttons(QStringLiteral("new")));
        QElapsedTimer timer;
        timer.start();
        playlist.tlbPlaylist_ButtonClick(playlist.tlbPlaylist.Buttons(QStringLiteral("dir")));
        const double added = bench::elapsedMs(timer);
        timer.restart();
        const bool probed = readFolderHeaders(folder);
        const double raw = bench::elapsedMs(timer);
        if (playlist.lvPlaylist.Count() != files || !probed) {
            std::fprintf(stderr, "add-dir: %d of %d files added\n", playlist.lvPlaylist.Count(),
                         files);
            return 1;
        }
        for (int i = 1; i <= files; ++i) {
            if (playlist.lvPlaylist.Item(i).SubItem(1) != QLatin1String("0:04")) {
                std::fprintf(stderr, "add-dir: %s measured %s\n",
                             qPrintable(playlist.lvPlaylist.Item(i).Key()),
                             qPrintable(playlist.lvPlaylist.Item(i).SubItem(1)));
                return 1;
            }
        }
        if (run > 0) {
            ours.push_back(added);
            reference.push_back(raw);
        }
    }
    const bool within =
        bench::printRatio("add-dir", bench::median(ours), bench::median(reference),
                          "in-process libavformat open + find_stream_info per file, 9 clips", 1.3);
    modGlobals::setChooserHandler({});
    toolkit::setMessageBoxHandler({});
    return within ? 0 : bench::OverLimit;
}

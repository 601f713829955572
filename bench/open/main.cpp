// Opening a clip through the media controller (command strings, interpreter, engine) until its
// first frame is drawn, against the same work done directly on a fresh libmpv core.

#include "BenchSupport.h"
#include "ControllerOpen.h"
#include "media/clsMCI.h"
#include "support/Clips.h"
#include "toolkit/WindowHandles.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>

#include <clocale>
#include <memory>

namespace
{

constexpr int Runs = 15;
constexpr int Width = 640;
constexpr int Height = 480;

struct MpvDeleter {
    void operator()(mpv_handle *handle) const { mpv_terminate_destroy(handle); }
};
struct RenderDeleter {
    void operator()(mpv_render_context *context) const { mpv_render_context_free(context); }
};

void renderInto(mpv_render_context *context, std::vector<unsigned char> &pixels)
{
    int size[2] = {Width, Height};
    char format[] = "rgb0";
    std::size_t stride = Width * 4;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, size},
                                 {MPV_RENDER_PARAM_SW_FORMAT, format},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, pixels.data()},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(context, params);
}

// A fresh core with software rendering, the file loaded and its first frame drawn; -1 on failure.
double rawOpenMs(const QByteArray &file)
{
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<mpv_handle, MpvDeleter> mpv(mpv_create());
    // The options that keep a core lean, as any embedding player would set them.
    for (const auto &[option, value] : {std::pair{"vo", "libmpv"},
                                        {"ao", "null"},
                                        {"config", "no"},
                                        {"terminal", "no"},
                                        {"load-scripts", "no"},
                                        {"ytdl", "no"},
                                        {"osc", "no"},
                                        {"input-default-bindings", "no"},
                                        {"keep-open", "yes"},
                                        {"pause", "yes"},
                                        {"idle", "yes"},
                                        {"hwdec", "no"}}) {
        mpv_set_option_string(mpv.get(), option, value);
    }
    if (mpv_initialize(mpv.get()) < 0)
        return -1;
    char apiType[] = MPV_RENDER_API_TYPE_SW;
    mpv_render_param create[] = {{MPV_RENDER_PARAM_API_TYPE, apiType},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context *raw = nullptr;
    if (mpv_render_context_create(&raw, mpv.get(), create) < 0)
        return -1;
    const std::unique_ptr<mpv_render_context, RenderDeleter> render(raw);
    std::vector<unsigned char> pixels(std::size_t(Width) * Height * 4);

    const char *load[] = {"loadfile", file.constData(), nullptr};
    mpv_command(mpv.get(), load);
    bool loaded = false;
    for (;;) {
        if (mpv_render_context_update(render.get()) & MPV_RENDER_UPDATE_FRAME)
            renderInto(render.get(), pixels);
        const mpv_event *event = mpv_wait_event(mpv.get(), 0.002);
        if (event->event_id == MPV_EVENT_END_FILE)
            return -1;
        if (event->event_id == MPV_EVENT_FILE_LOADED)
            loaded = true;
        if (loaded && event->event_id == MPV_EVENT_PLAYBACK_RESTART)
            break;
    }
    const double ms = bench::elapsedMs(timer);
    const char *stop[] = {"stop", nullptr};
    mpv_command(mpv.get(), stop);
    return ms;
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
    const QString clip = dir.filePath(QStringLiteral("clip.avi"));
    if (!clips::makeAt(clip, clips::format("avi-mpeg4-mp3"), {.size = QSize(640, 480)})) {
        std::fprintf(stderr, "open: could not make the clip with ffmpeg\n");
        return 1;
    }

    QWidget picture;
    picture.resize(Width, Height);
    picture.show();
    clsMCI mci;
    mci.LoadedFilename(clip.toStdString());

    std::vector<double> ours;
    std::vector<double> reference;
    for (int run = 0; run <= Runs; ++run) {
        const double controller = bench::controllerOpenMs(mci, picture);
        const double raw = rawOpenMs(QFile::encodeName(clip));
        if (controller < 0 || raw < 0) {
            std::fprintf(stderr, "open: the clip did not open\n");
            return 1;
        }
        if (run == 0)
            continue; // warms the caches of both sides
        ours.push_back(controller);
        reference.push_back(raw);
    }
    bench::printRatio("open", bench::median(ours), bench::median(reference),
                      "fresh libmpv core, loadfile to first frame");
    return 0;
}

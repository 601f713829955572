#include "mci/LibmpvEngine.h"

#include "mci/ErrorCodes.h"
#include "mci/PathLookup.h"
#include "mci/VideoWidget.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QPointer>

#include <mpv/client.h>
#include <mpv/render.h>

#include <clocale>
#include <cmath>
#include <functional>

namespace mci
{
namespace
{

constexpr int kOpenTimeoutMs = 15000;
constexpr int kSeekTimeoutMs = 5000;
constexpr int kCloseTimeoutMs = 2000;

QString &chosenAudioOutput()
{
    static QString output = qEnvironmentVariable("PELLIN_AUDIO_OUTPUT");
    return output;
}

struct MpvDeleter {
    void operator()(mpv_handle *handle) const { mpv_terminate_destroy(handle); }
};
struct RenderDeleter {
    void operator()(mpv_render_context *context) const { mpv_render_context_free(context); }
};

class LibmpvEngine final : public QObject, public Engine
{
  public:
    LibmpvEngine() = default;
    ~LibmpvEngine() override;

    unsigned open(const QString &file, QWidget *parent, bool mpegDevice) override;
    qint64 length() override { return length_; }
    qint64 position() override;
    Mode mode() override;
    QSize videoSize() override { return videoSize_; }
    void play(std::optional<qint64> from, std::optional<qint64> to) override;
    void pause() override;
    void resume() override;
    void stop() override;
    void seek(qint64 position) override;
    QWidget *videoWidget() override { return widget_.data(); }
    void setDestination(const QRect &rect) override;
    QRect destination() const override { return widget_ ? widget_->destination() : QRect(); }

  private:
    static void onWakeup(void *self);
    static void onRenderUpdate(void *self);

    void drainEvents();
    bool waitFor(const std::function<bool(const mpv_event &)> &done, int timeoutMs);
    void serviceRender();
    void renderFrame();
    bool exactSeek(qint64 position);
    void setFlag(const char *name, bool value);
    bool flag(const char *name);
    double number(const char *name, double fallback);
    void setEnd(std::optional<qint64> end);
    void probeAudioOutput();

    std::unique_ptr<mpv_handle, MpvDeleter> mpv_;
    std::unique_ptr<mpv_render_context, RenderDeleter> render_;
    QPointer<VideoWidget> widget_;
    QImage scratch_; // frames go here while the widget is gone, so the core keeps running
    Mode mode_ = Mode::Stopped;
    qint64 length_ = 0;
    QSize videoSize_;
    std::optional<qint64> end_;  // the "to" of the running play
    std::optional<qint64> held_; // the position reported while stopped at a known place
    quint64 nextRequest_ = 1;
};

LibmpvEngine::~LibmpvEngine()
{
    if (!mpv_)
        return;
    mpv_set_wakeup_callback(mpv_.get(), nullptr, nullptr);
    if (render_)
        mpv_render_context_set_update_callback(render_.get(), nullptr, nullptr);
    drainEvents();
    const char *stopCommand[] = {"stop", nullptr};
    if (mpv_command(mpv_.get(), stopCommand) >= 0)
        waitFor([](const mpv_event &e) { return e.event_id == MPV_EVENT_END_FILE; },
                kCloseTimeoutMs);
    render_.reset();
    mpv_.reset();
    delete widget_.data();
}

void LibmpvEngine::onWakeup(void *self)
{
    auto *engine = static_cast<LibmpvEngine *>(self);
    QMetaObject::invokeMethod(
        engine, [engine] { engine->drainEvents(); }, Qt::QueuedConnection);
}

void LibmpvEngine::onRenderUpdate(void *self)
{
    auto *engine = static_cast<LibmpvEngine *>(self);
    QMetaObject::invokeMethod(
        engine, [engine] { engine->serviceRender(); }, Qt::QueuedConnection);
}

void LibmpvEngine::drainEvents()
{
    while (mpv_ && mpv_wait_event(mpv_.get(), 0)->event_id != MPV_EVENT_NONE) {
    }
}

// Waits on the GUI thread in short slices, rendering pending frames meanwhile: the core
// cannot finish a load or a seek while its frames stay unrendered.
bool LibmpvEngine::waitFor(const std::function<bool(const mpv_event &)> &done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    const double slice = render_ ? 0.002 : 0.05;
    while (timer.elapsed() < timeoutMs) {
        serviceRender();
        const mpv_event *event = mpv_wait_event(mpv_.get(), slice);
        if (event->event_id == MPV_EVENT_NONE)
            continue;
        if (done(*event))
            return true;
        if (event->event_id == MPV_EVENT_SHUTDOWN)
            return false;
    }
    return false;
}

void LibmpvEngine::serviceRender()
{
    if (render_ && (mpv_render_context_update(render_.get()) & MPV_RENDER_UPDATE_FRAME))
        renderFrame();
}

void LibmpvEngine::renderFrame()
{
    if (!render_)
        return;
    QImage &image = widget_ ? widget_->frame() : scratch_;
    QSize size = widget_ ? widget_->target().size() : QSize(16, 16);
    size = size.expandedTo(QSize(16, 16));
    if (image.size() != size)
        image = QImage(size, QImage::Format_RGB32);
    int dimensions[2] = {size.width(), size.height()};
    size_t stride = static_cast<size_t>(image.bytesPerLine());
    char format[] = "bgr0";
    int block = 0;
    mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, dimensions},
                                 {MPV_RENDER_PARAM_SW_FORMAT, format},
                                 {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                 {MPV_RENDER_PARAM_SW_POINTER, image.bits()},
                                 {MPV_RENDER_PARAM_BLOCK_FOR_TARGET_TIME, &block},
                                 {MPV_RENDER_PARAM_INVALID, nullptr}};
    mpv_render_context_render(render_.get(), params);
    if (widget_)
        widget_->update();
}

unsigned LibmpvEngine::open(const QString &name, QWidget *parent, bool mpegDevice)
{
    const unsigned unplayable = mpegDevice ? error::Internal : error::InvalidFile;
    const QFileInfo info(existingPathIgnoringCase(name));
    if (name.isEmpty() || !info.exists() || info.isDir())
        return error::FileNotFound;
    if (!info.isReadable())
        return error::FileRead;

    // The core refuses to start under a numeric locale other than "C".
    std::setlocale(LC_NUMERIC, "C");
    mpv_.reset(mpv_create());
    if (!mpv_)
        return error::Internal;
    mpv_handle *mpv = mpv_.get();
    const QByteArray audio = chosenAudioOutput().toUtf8();
    const std::pair<const char *, const char *> options[] = {{"vo", parent ? "libmpv" : "null"},
                                                             {"config", "no"},
                                                             {"terminal", "no"},
                                                             {"msg-level", "all=no"},
                                                             {"input-default-bindings", "no"},
                                                             {"osc", "no"},
                                                             {"load-scripts", "no"},
                                                             {"ytdl", "no"},
                                                             {"keep-open", "yes"},
                                                             {"pause", "yes"},
                                                             {"idle", "yes"},
                                                             {"hr-seek", "yes"},
                                                             {"hwdec", "no"},
                                                             {"sub-auto", "no"},
                                                             {"audio-display", "no"},
                                                             {"force-window", "no"}};
    for (const auto &[option, value] : options)
        mpv_set_option_string(mpv, option, value);
    if (!audio.isEmpty())
        mpv_set_option_string(mpv, "ao", audio.constData());
    if (mpv_initialize(mpv) < 0)
        return error::Internal;

    if (parent) {
        widget_ = new VideoWidget(parent);
        char apiType[] = MPV_RENDER_API_TYPE_SW;
        mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, apiType},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        mpv_render_context *context = nullptr;
        if (mpv_render_context_create(&context, mpv, params) < 0)
            return error::CreateWindow;
        render_.reset(context);
        mpv_render_context_set_update_callback(context, &LibmpvEngine::onRenderUpdate, this);
        connect(widget_, &VideoWidget::resized, this, &LibmpvEngine::renderFrame);
    }
    mpv_set_wakeup_callback(mpv, &LibmpvEngine::onWakeup, this);

    const QByteArray path = QFile::encodeName(info.absoluteFilePath());
    const char *load[] = {"loadfile", path.constData(), nullptr};
    if (mpv_command(mpv, load) < 0)
        return unplayable;
    bool loaded = false;
    bool failed = false;
    const bool ready = waitFor(
        [&](const mpv_event &e) {
            if (e.event_id == MPV_EVENT_END_FILE) {
                failed = true;
                return true;
            }
            if (e.event_id == MPV_EVENT_FILE_LOADED)
                loaded = true;
            return loaded && e.event_id == MPV_EVENT_PLAYBACK_RESTART;
        },
        kOpenTimeoutMs);
    const double duration = number("duration", -1);
    if (!ready || failed || !std::isfinite(duration) || duration <= 0)
        return unplayable;

    length_ = std::llround(duration * 1000);
    videoSize_ = QSize(static_cast<int>(number("width", 0)), static_cast<int>(number("height", 0)));
    if (!videoSize_.isValid())
        videoSize_ = {};
    char *format = mpv_get_property_string(mpv, "file-format");
    // MPEG program streams land up to half a second late on exact seeks without this.
    if (format && QByteArray(format).startsWith("mpeg"))
        mpv_set_property_string(mpv, "hr-seek-demuxer-offset", "0.5");
    mpv_free(format);
    probeAudioOutput();
    held_ = 0;
    return error::None;
}

void LibmpvEngine::probeAudioOutput()
{
    if (!chosenAudioOutput().isEmpty() || number("current-tracks/audio/id", -1) < 0)
        return;
    char *current = mpv_get_property_string(mpv_.get(), "current-ao");
    chosenAudioOutput() = current && *current ? QString::fromUtf8(current) : QStringLiteral("null");
    mpv_free(current);
}

double LibmpvEngine::number(const char *name, double fallback)
{
    double value = fallback;
    if (mpv_get_property(mpv_.get(), name, MPV_FORMAT_DOUBLE, &value) < 0)
        return fallback;
    return value;
}

bool LibmpvEngine::flag(const char *name)
{
    int value = 0;
    mpv_get_property(mpv_.get(), name, MPV_FORMAT_FLAG, &value);
    return value != 0;
}

void LibmpvEngine::setFlag(const char *name, bool value)
{
    int flagValue = value ? 1 : 0;
    mpv_set_property(mpv_.get(), name, MPV_FORMAT_FLAG, &flagValue);
}

void LibmpvEngine::setEnd(std::optional<qint64> end)
{
    const QByteArray value =
        end ? QByteArray::number(double(*end) / 1000.0, 'f', 3) : QByteArray("none");
    mpv_set_property_string(mpv_.get(), "end", value.constData());
}

// Seeks to the first frame at or after the position and returns once it is shown.
bool LibmpvEngine::exactSeek(qint64 position)
{
    drainEvents();
    const QByteArray seconds = QByteArray::number(double(position) / 1000.0, 'f', 3);
    const char *command[] = {"seek", seconds.constData(), "absolute+exact", nullptr};
    const quint64 request = nextRequest_++;
    if (mpv_command_async(mpv_.get(), request, command) < 0)
        return false;
    bool replied = false;
    bool restarted = false;
    return waitFor(
        [&](const mpv_event &e) {
            if (e.event_id == MPV_EVENT_COMMAND_REPLY && e.reply_userdata == request) {
                if (e.error < 0)
                    return true;
                replied = true;
            }
            if (e.event_id == MPV_EVENT_PLAYBACK_RESTART)
                restarted = true;
            return replied && restarted;
        },
        kSeekTimeoutMs);
}

Mode LibmpvEngine::mode()
{
    // keep-open pauses the core at the end (of the file or of "end"), sometimes just before it
    // reports eof-reached: either means the play has finished.
    if (mode_ == Mode::Playing && (flag("eof-reached") || flag("pause"))) {
        mode_ = Mode::Stopped;
        held_ = end_.value_or(length_);
    }
    return mode_;
}

qint64 LibmpvEngine::position()
{
    mode();
    if (held_)
        return *held_;
    if (flag("eof-reached"))
        return length_;
    const double seconds = number("time-pos", 0);
    return std::clamp<qint64>(std::llround(seconds * 1000), 0, length_);
}

void LibmpvEngine::play(std::optional<qint64> from, std::optional<qint64> to)
{
    // After an end-stop the core stays at end-of-file until it seeks.
    if (!from && flag("eof-reached"))
        from = position();
    setEnd(std::nullopt);
    if (from)
        exactSeek(*from);
    setEnd(to);
    end_ = to;
    held_.reset();
    setFlag("pause", false);
    mode_ = Mode::Playing;
}

void LibmpvEngine::pause()
{
    if (mode() != Mode::Playing)
        return;
    setFlag("pause", true);
    mode_ = Mode::Paused;
}

void LibmpvEngine::resume()
{
    if (mode_ != Mode::Paused)
        return;
    setFlag("pause", false);
    mode_ = Mode::Playing;
}

void LibmpvEngine::stop()
{
    if (mode() == Mode::Stopped)
        return;
    setFlag("pause", true);
    mode_ = Mode::Stopped;
}

void LibmpvEngine::seek(qint64 position)
{
    setFlag("pause", true);
    setEnd(std::nullopt);
    exactSeek(position);
    end_.reset();
    held_ = position;
    mode_ = Mode::Stopped;
}

void LibmpvEngine::setDestination(const QRect &rect)
{
    if (widget_)
        widget_->setDestination(rect);
}

class LibmpvFactory final : public EngineFactory
{
  public:
    std::unique_ptr<Engine> create() override { return std::make_unique<LibmpvEngine>(); }
};

} // namespace

std::unique_ptr<EngineFactory> makeLibmpvFactory()
{
    return std::make_unique<LibmpvFactory>();
}

void setAudioOutput(const QString &output)
{
    chosenAudioOutput() = output;
}

} // namespace mci

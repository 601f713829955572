#include "mci/libmpv/Core.h"

#include "mci/libmpv/VideoWidget.h"

#include <QElapsedTimer>
#include <QGuiApplication>

#include <mpv/client.h>
#include <mpv/render.h>

#include <unistd.h>

#include <clocale>
#include <cmath>
#include <cstdint>
#include <utility>

namespace mci
{
namespace
{

// An exact seek keeps a frame that starts up to this much before its target.
constexpr double kSeekToleranceSeconds = 0.005;
const QSize kScratchSize(16, 16);
// The core asks before it opens a file; the answer names the stream it reads.
constexpr char kOnLoad[] = "on_load";

QByteArray secondsText(qint64 ms)
{
    return QByteArray::number(double(ms) / 1000.0, 'f', 3);
}

// The playlist entry a load command's reply names.
std::optional<qint64> entryOf(const mpv_event_command &reply)
{
    if (reply.result.format != MPV_FORMAT_NODE_MAP)
        return std::nullopt;
    const mpv_node_list &map = *reply.result.u.list;
    for (int i = 0; i < map.num; ++i)
        if (qstrcmp(map.keys[i], "playlist_entry_id") == 0 &&
            map.values[i].format == MPV_FORMAT_INT64)
            return map.values[i].u.int64;
    return std::nullopt;
}

// The core leaves the fourth byte of each pixel undefined (zero, as a rule). Qt takes an RGB32
// image's as opaque and copies it as it stands into a window that has an alpha channel (every
// window on Wayland), where a zero makes the picture transparent: the compositor then shows a
// white area instead of the video.
void makeOpaque(QImage &image)
{
    for (int y = 0; y < image.height(); ++y) {
        auto *pixel = reinterpret_cast<std::uint32_t *>(image.scanLine(y));
        for (const auto *end = pixel + image.width(); pixel != end; ++pixel)
            *pixel |= 0xff000000u;
    }
}

} // namespace

void CoreHandles::Destroy::operator()(mpv_handle *handle) const
{
    mpv_terminate_destroy(handle);
}

void CoreHandles::Free::operator()(mpv_render_context *context) const
{
    mpv_render_context_free(context);
}

Core::Core(CoreHandles handles, QString &audioOutput)
    : mHandles(std::move(handles)), mAudioOutput(audioOutput), mCoreAudioOutput(audioOutput)
{
}

std::unique_ptr<Core> Core::create(bool drawsPicture, QString &audioOutput)
{
    // The core refuses to start under a numeric locale other than "C".
    std::setlocale(LC_NUMERIC, "C");
    CoreHandles handles;
    handles.mpv.reset(mpv_create());
    if (!handles.mpv)
        return nullptr;
    mpv_handle *mpv = handles.mpv.get();
    const std::pair<const char *, const char *> options[] = {
        {"vo", drawsPicture ? "libmpv" : "null"},
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
        // Subtitles beside the video under its own name (.srt, .ass, .vtt) are shown on its
        // picture; a core that draws nothing has no use for them.
        {"sub-auto", drawsPicture ? "exact" : "no"},
        {"audio-display", "no"},
        {"force-window", "no"},
        // A faster or slower play keeps voices at their pitch (libmpv inserts scaletempo2).
        {"audio-pitch-correction", "yes"}};
    for (const auto &[option, value] : options)
        mpv_set_option_string(mpv, option, value);
    if (!audioOutput.isEmpty())
        mpv_set_option_string(mpv, "ao", audioOutput.toUtf8().constData());
    if (mpv_initialize(mpv) < 0 || mpv_hook_add(mpv, 0, kOnLoad, 0) < 0)
        return nullptr;
    if (drawsPicture) {
        char apiType[] = MPV_RENDER_API_TYPE_SW;
        mpv_render_param params[] = {{MPV_RENDER_PARAM_API_TYPE, apiType},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        mpv_render_context *context = nullptr;
        if (mpv_render_context_create(&context, mpv, params) < 0)
            return nullptr;
        handles.render.reset(context);
    }
    std::unique_ptr<Core> core(new Core(std::move(handles), audioOutput));
    if (core->mHandles.render)
        mpv_render_context_set_update_callback(core->mHandles.render.get(), &Core::onRenderUpdate,
                                               core.get());
    mpv_set_wakeup_callback(mpv, &Core::onWakeup, core.get());
    return core;
}

Core::~Core()
{
    detach();
}

CoreHandles Core::detach()
{
    if (mHandles.mpv)
        mpv_set_wakeup_callback(mHandles.mpv.get(), nullptr, nullptr);
    if (mHandles.render)
        mpv_render_context_set_update_callback(mHandles.render.get(), nullptr, nullptr);
    mDead = true;
    return std::move(mHandles);
}

// The callbacks come on the core's threads: they only post to the GUI thread, where the queued
// call is dropped if this object has gone meanwhile.
void Core::onWakeup(void *self)
{
    auto *core = static_cast<Core *>(self);
    QMetaObject::invokeMethod(
        core, [core] { core->pump(); }, Qt::QueuedConnection);
}

void Core::onRenderUpdate(void *self)
{
    auto *core = static_cast<Core *>(self);
    QMetaObject::invokeMethod(
        core, [core] { core->serviceRender(); }, Qt::QueuedConnection);
}

void Core::setTarget(VideoWidget *widget)
{
    if (mWidget)
        disconnect(mWidget, nullptr, this, nullptr);
    mWidget = widget;
    if (widget)
        connect(widget, &VideoWidget::resized, this, &Core::renderFrame);
}

bool Core::load(const QByteArray &path, OpenFile file, qint64 startMs, bool programStream)
{
    if (mDead)
        return false;
    mStream.reset();
    if (file.valid())
        mStream.emplace(path, std::move(file));
    mSeek.reset();
    mNext.reset();
    mArrivedAt.reset();
    mFailed = false;
    // Pause and end are the core's, not the file's: the new file must start paused and run to
    // its own end.
    if (mRunning)
        setAsync("pause", "yes");
    mRunning = false;
    setAsync("end", "none");
    mEndSet = "none";
    if (!mAudioOutput.isEmpty() && mAudioOutput != mCoreAudioOutput) {
        setAsync("ao", mAudioOutput.toUtf8().constData());
        mCoreAudioOutput = mAudioOutput;
    }
    QByteArrayList fileOptions;
    if (startMs > 0)
        fileOptions << "start=" + secondsText(startMs);
    // MPEG program streams land up to half a second late on exact seeks without this.
    if (programStream)
        fileOptions << "hr-seek-demuxer-offset=0.5";
    const QByteArray joined = fileOptions.join(',');
    const char *command[] = {"loadfile", path.constData(), "replace",
                             joined.isEmpty() ? nullptr : joined.constData(), nullptr};
    const quint64 request = mNextRequest++;
    if (mpv_command_async(mHandles.mpv.get(), request, command) < 0)
        return false;
    mLoad = Load{request, startMs, std::nullopt, false, false};
    return true;
}

void Core::setFileOption(const char *name, const char *value)
{
    setNow(QByteArray("file-local-options/").append(name).constData(), value);
}

qint64 Core::destination() const
{
    if (mNext)
        return *mNext;
    if (mSeek)
        return mSeek->target;
    return mLoad ? mLoad->start : 0;
}

void Core::seekTo(qint64 ms)
{
    if (mDead)
        return;
    if (busy()) {
        // The core finishes what it is doing first; only the newest target waits for it.
        if (ms == (mSeek ? mSeek->target : mLoad->start))
            mNext.reset();
        else
            mNext = ms;
        return;
    }
    if (!mRunning && !mFailed && (mArrivedAt == ms || showsFrameFor(ms)))
        return;
    issueSeek(ms);
}

void Core::setRunning(bool run, std::optional<qint64> endMs)
{
    mRunWanted = run;
    mEndWanted = endMs;
    if (!busy())
        apply();
}

double Core::number(const char *name, double fallback)
{
    double value = fallback;
    if (mDead || mpv_get_property(mHandles.mpv.get(), name, MPV_FORMAT_DOUBLE, &value) < 0)
        return fallback;
    return value;
}

bool Core::flag(const char *name)
{
    int value = 0;
    if (!mDead)
        mpv_get_property(mHandles.mpv.get(), name, MPV_FORMAT_FLAG, &value);
    return value != 0;
}

QByteArray Core::text(const char *name)
{
    char *value = mDead ? nullptr : mpv_get_property_string(mHandles.mpv.get(), name);
    const QByteArray copy(value);
    mpv_free(value);
    return copy;
}

void Core::pump()
{
    while (!mDead) {
        const mpv_event *event = mpv_wait_event(mHandles.mpv.get(), 0);
        if (event->event_id == MPV_EVENT_NONE)
            return;
        handle(*event);
    }
}

// The GUI thread keeps rendering while it waits: the core cannot finish a load or a seek while
// its frames stay unrendered.
bool Core::waitUntilIdle(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    const double slice = drawsPicture() ? 0.002 : 0.05;
    while (busy() && !mDead && timer.elapsed() < timeoutMs) {
        serviceRender();
        const mpv_event *event = mpv_wait_event(mHandles.mpv.get(), slice);
        if (event->event_id != MPV_EVENT_NONE)
            handle(*event);
    }
    return !busy() && !mFailed;
}

void Core::handle(const mpv_event &event)
{
    switch (event.event_id) {
    case MPV_EVENT_COMMAND_REPLY:
        if (mLoad && event.reply_userdata == mLoad->request) {
            if (event.error < 0)
                failLoad();
            else
                mLoad->entry = entryOf(*static_cast<const mpv_event_command *>(event.data));
        } else if (mSeek && event.reply_userdata == mSeek->request) {
            if (event.error < 0) {
                // A refused seek leaves the core where it was.
                const qint64 target = mSeek->target;
                mSeek.reset();
                arrived(target);
            } else {
                mSeek->replied = true;
            }
        }
        break;
    // Events of files that an earlier load asked for, and of the file a load replaces, name
    // other playlist entries than this load's.
    case MPV_EVENT_START_FILE:
        if (mLoad && mLoad->entry ==
                         static_cast<const mpv_event_start_file *>(event.data)->playlist_entry_id)
            mLoad->started = true;
        break;
    case MPV_EVENT_FILE_LOADED:
        if (mLoad && mLoad->started)
            mLoad->loaded = true;
        break;
    case MPV_EVENT_END_FILE:
        if (mLoad &&
            mLoad->entry == static_cast<const mpv_event_end_file *>(event.data)->playlist_entry_id)
            failLoad();
        break;
    case MPV_EVENT_PLAYBACK_RESTART:
        if (mLoad && mLoad->loaded) {
            const qint64 start = mLoad->start;
            mLoad.reset();
            renderFrame();
            chooseAudioOutput();
            arrived(start);
        } else if (mSeek && mSeek->replied) {
            const qint64 target = mSeek->target;
            mSeek.reset();
            arrived(target);
        }
        break;
    case MPV_EVENT_HOOK:
        handOverFile(static_cast<const mpv_event_hook *>(event.data)->id);
        break;
    case MPV_EVENT_SHUTDOWN:
        failLoad();
        mSeek.reset();
        mDead = true;
        break;
    default:
        break;
    }
}

// The core is about to open a file. The path stays the file's name (what the core shows and
// looks beside), while the stream it reads is the descriptor the device opened, which the core
// closes with its stream.
void Core::handOverFile(quint64 hook)
{
    mpv_handle *mpv = mHandles.mpv.get();
    if (mStream && mStream->first == text("path")) {
        const int descriptor = mStream->second.release();
        mStream.reset();
        const QByteArray url = "fdclose://" + QByteArray::number(descriptor);
        if (mpv_set_property_string(mpv, "stream-open-filename", url.constData()) < 0)
            ::close(descriptor);
    }
    mpv_hook_continue(mpv, hook);
}

void Core::failLoad()
{
    if (!mLoad)
        return;
    mLoad.reset();
    mNext.reset();
    mFailed = true;
}

void Core::arrived(qint64 at)
{
    if (mNext) {
        const qint64 target = *mNext;
        mNext.reset();
        issueSeek(target);
        return;
    }
    mArrivedAt = at;
    apply();
}

void Core::issueSeek(qint64 ms)
{
    // A paused core seeks several times faster than a running one, which only reports its
    // arrival a frame later: the core runs again once it has arrived.
    if (mRunning)
        setAsync("pause", "yes");
    mRunning = false;
    mArrivedAt.reset();
    setAsync("end", "none");
    mEndSet = "none";
    const QByteArray seconds = secondsText(ms);
    const char *command[] = {"seek", seconds.constData(), "absolute+exact", nullptr};
    const quint64 request = mNextRequest++;
    if (mpv_command_async(mHandles.mpv.get(), request, command) < 0) {
        apply();
        return;
    }
    mSeek = Seek{request, ms, false};
}

// Brings a core that is not busy to the wanted state; it is idle, so this is quick.
void Core::apply()
{
    if (mDead || mFailed)
        return;
    if (!mRunWanted && mRunning) {
        setNow("pause", "yes");
        mRunning = false;
    }
    const QByteArray end = mEndWanted ? secondsText(*mEndWanted) : QByteArray("none");
    if (end != mEndSet) {
        setNow("end", end.constData());
        mEndSet = end;
    }
    // A core that ran to the end of a play has paused itself.
    if (mRunWanted && (!mRunning || flag("pause"))) {
        setNow("pause", "no");
        mRunning = true;
        mArrivedAt.reset();
    }
}

// Whether an exact seek to `ms` would land on the frame the paused core shows.
bool Core::showsFrameFor(qint64 ms)
{
    if (flag("eof-reached"))
        return false;
    const double shown = number("time-pos", -1);
    const double target = double(ms) / 1000.0;
    return shown >= 0 && shown >= target - kSeekToleranceSeconds && shown <= target + 0.001;
}

void Core::serviceRender()
{
    if (mHandles.render &&
        (mpv_render_context_update(mHandles.render.get()) & MPV_RENDER_UPDATE_FRAME))
        renderFrame();
}

void Core::renderFrame()
{
    if (!mHandles.render)
        return;
    // Until the file being loaded has shown its first frame, what the core renders is the
    // previous file's picture: it must not reach the widget of the device that loads the new one.
    // Those frames go to a scratch image of the widget's size all the same: the core sets its
    // scaler up again at every change of size, which made the new file's first frame, the one
    // the student waits for, the slowest render of all.
    VideoWidget *widget = mLoad ? nullptr : mWidget.data();
    QImage &image = widget ? widget->frame() : mScratch;
    const QSize size = mWidget ? mWidget->pixelSize().expandedTo(kScratchSize) : kScratchSize;
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
    mpv_render_context_render(mHandles.render.get(), params);
    if (widget) {
        // An X window has no alpha channel (Qt picks a 24-bit visual): only other platforms'
        // windows need the pass over every frame.
        static const bool windowsHaveAlpha = QGuiApplication::platformName() != u"xcb";
        if (windowsHaveAlpha)
            makeOpaque(image);
        widget->frameRendered();
    }
}

// Without a choice the first file with sound finds the desktop's output, once for the process:
// every core after it opens that output directly instead of probing them all again.
void Core::chooseAudioOutput()
{
    if (!mAudioOutput.isEmpty() || number("current-tracks/audio/id", -1) < 0)
        return;
    char *current = mpv_get_property_string(mHandles.mpv.get(), "current-ao");
    mAudioOutput = current && *current ? QString::fromUtf8(current) : QStringLiteral("null");
    mCoreAudioOutput = mAudioOutput;
    mpv_free(current);
}

void Core::setSpeed(double rate)
{
    mpv_set_property_async(mHandles.mpv.get(), 0, "speed", MPV_FORMAT_DOUBLE, &rate);
}

void Core::setVolume(int thousandths)
{
    double volume = thousandths / 10.0;
    mpv_set_property_async(mHandles.mpv.get(), 0, "volume", MPV_FORMAT_DOUBLE, &volume);
}

void Core::setAsync(const char *name, const char *value)
{
    mpv_set_property_async(mHandles.mpv.get(), 0, name, MPV_FORMAT_STRING, &value);
}

void Core::setNow(const char *name, const char *value)
{
    mpv_set_property_string(mHandles.mpv.get(), name, value);
}

} // namespace mci

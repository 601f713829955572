#pragma once

// The references that drive libmpv and libavformat directly, without the command layer: a core
// with software rendering that paints its frames into a widget, and the in-process header read.

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include <mpv/client.h>
#include <mpv/render.h>

extern "C" {
#include <libavformat/avformat.h>
}

#include <clocale>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace bench
{

// A widget that paints the last frame rendered into it and counts the paints that showed a new
// frame.
class RawPicture final : public QWidget
{
  public:
    QImage frame;
    int renders = 0;       // frames rendered into `frame`
    int paintedRender = 0; // the render the last paint showed
    int newFramesPainted = 0;

  protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::black);
        if (!frame.isNull())
            painter.drawImage(0, 0, frame);
        if (paintedRender != renders) {
            ++newFramesPainted;
            paintedRender = renders;
        }
    }
};

// A fresh libmpv core with the options that keep a core lean, as any embedding player would set
// them, and a software render context drawing into a RawPicture.
class RawCore
{
  public:
    explicit RawCore(RawPicture &picture) : mPicture(picture)
    {
        std::setlocale(LC_NUMERIC, "C");
        mMpv.reset(mpv_create());
        for (const auto &[option, value] : {std::pair{"vo", "libmpv"},
                                            {"ao", "null"},
                                            {"config", "no"},
                                            {"terminal", "no"},
                                            {"msg-level", "all=no"},
                                            {"load-scripts", "no"},
                                            {"ytdl", "no"},
                                            {"osc", "no"},
                                            {"input-default-bindings", "no"},
                                            {"keep-open", "yes"},
                                            {"pause", "yes"},
                                            {"idle", "yes"},
                                            {"hr-seek", "yes"},
                                            {"hwdec", "no"}}) {
            mpv_set_option_string(mMpv.get(), option, value);
        }
        if (mpv_initialize(mMpv.get()) < 0)
            return;
        char apiType[] = MPV_RENDER_API_TYPE_SW;
        mpv_render_param create[] = {{MPV_RENDER_PARAM_API_TYPE, apiType},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        mpv_render_context *context = nullptr;
        if (mpv_render_context_create(&context, mMpv.get(), create) >= 0)
            mRender.reset(context);
    }

    bool ready() const { return mRender != nullptr; }
    mpv_handle *handle() const { return mMpv.get(); }

    void command(std::vector<std::string> words, quint64 request = 0)
    {
        std::vector<const char *> args;
        for (const std::string &word : words)
            args.push_back(word.c_str());
        args.push_back(nullptr);
        if (request)
            mpv_command_async(mMpv.get(), request, args.data());
        else
            mpv_command(mMpv.get(), args.data());
    }

    void setProperty(const char *name, const char *value)
    {
        mpv_set_property_string(mMpv.get(), name, value);
    }

    // Renders a pending frame into the picture and asks it to paint.
    void serviceRender()
    {
        if (!(mpv_render_context_update(mRender.get()) & MPV_RENDER_UPDATE_FRAME))
            return;
        const QSize size = mPicture.size() * mPicture.devicePixelRatioF();
        if (mPicture.frame.size() != size)
            mPicture.frame = QImage(size, QImage::Format_RGB32);
        int dimensions[2] = {size.width(), size.height()};
        size_t stride = static_cast<size_t>(mPicture.frame.bytesPerLine());
        char format[] = "bgr0";
        mpv_render_param params[] = {{MPV_RENDER_PARAM_SW_SIZE, dimensions},
                                     {MPV_RENDER_PARAM_SW_FORMAT, format},
                                     {MPV_RENDER_PARAM_SW_STRIDE, &stride},
                                     {MPV_RENDER_PARAM_SW_POINTER, mPicture.frame.bits()},
                                     {MPV_RENDER_PARAM_INVALID, nullptr}};
        mpv_render_context_render(mRender.get(), params);
        ++mPicture.renders;
        mPicture.update();
    }

    // Renders each new frame as the core reports it, from the event loop, as a player does.
    void renderOnUpdate()
    {
        mpv_render_context_set_update_callback(
            mRender.get(),
            [](void *self) {
                auto *core = static_cast<RawCore *>(self);
                QMetaObject::invokeMethod(
                    &core->mPicture, [core] { core->serviceRender(); }, Qt::QueuedConnection);
            },
            this);
    }

    // Drops the core's pending events.
    void drainEvents()
    {
        while (mpv_wait_event(mMpv.get(), 0)->event_id != MPV_EVENT_NONE) {
        }
    }

    // Handles the core's events and the window's for a moment; `onEvent` sees each core event.
    void pump(const std::function<void(const mpv_event &)> &onEvent, double waitSeconds = 0.001)
    {
        serviceRender();
        for (;;) {
            const mpv_event *event = mpv_wait_event(mMpv.get(), waitSeconds);
            if (event->event_id == MPV_EVENT_NONE)
                break;
            onEvent(*event);
            waitSeconds = 0;
        }
        QApplication::processEvents();
    }

    // Loads the file at `startSeconds` and waits for its first frame to be painted; false when it
    // fails or takes longer than 10 s. Frames of the file before it may still come in first.
    bool loadUntilPainted(const QByteArray &file, double startSeconds)
    {
        std::vector<std::string> words{"loadfile", file.toStdString(), "replace"};
        if (startSeconds > 0)
            words.push_back("start=" + std::to_string(startSeconds));
        command(words);
        std::optional<int> rendersAtLoad;
        bool restarted = false;
        bool failed = false;
        QElapsedTimer timer;
        timer.start();
        const auto painted = [&] {
            return restarted && rendersAtLoad && mPicture.paintedRender > *rendersAtLoad;
        };
        while (!failed && !painted() && timer.elapsed() < 10000) {
            pump([&](const mpv_event &event) {
                if (event.event_id == MPV_EVENT_FILE_LOADED)
                    rendersAtLoad = mPicture.renders;
                if (event.event_id == MPV_EVENT_PLAYBACK_RESTART && rendersAtLoad)
                    restarted = true;
                if (event.event_id == MPV_EVENT_END_FILE &&
                    static_cast<const mpv_event_end_file *>(event.data)->reason ==
                        MPV_END_FILE_REASON_ERROR)
                    failed = true;
            });
        }
        return painted();
    }

  private:
    struct Destroy {
        void operator()(mpv_handle *handle) const { mpv_terminate_destroy(handle); }
    };
    struct Free {
        void operator()(mpv_render_context *context) const { mpv_render_context_free(context); }
    };
    RawPicture &mPicture;
    std::unique_ptr<mpv_handle, Destroy> mMpv;
    std::unique_ptr<mpv_render_context, Free> mRender; // freed before the core
};

// The best a player can do when the student moves on to another video: one core, kept from the
// video before, loads the next file in place of the one it has just played (`loadfile replace`)
// and plays it, in a shown widget of the player's video size. The core is created and has played
// a first clip before any figure is taken.
class WarmRawPlayer
{
  public:
    explicit WarmRawPlayer(QSize size)
    {
        mPicture.resize(size);
        mPicture.show();
        mCore = std::make_unique<RawCore>(mPicture);
    }

    bool ready() const { return mCore->ready(); }

    void resize(QSize size) { mPicture.resize(size); }

    // Milliseconds from the load to the first frame of `file` painted, or -1; the file then plays
    // on until `pause`.
    double openMs(const QByteArray &file)
    {
        QElapsedTimer timer;
        timer.start();
        mCore->setProperty("pause", "no");
        const bool painted = mCore->loadUntilPainted(file, 0);
        return painted ? elapsedMs(timer) : -1;
    }

    // Plays on, rendering and painting each frame, for `ms`.
    void playFor(int ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < ms)
            mCore->pump([](const mpv_event &) {});
    }

    void pause()
    {
        mCore->setProperty("pause", "yes");
        mCore->drainEvents();
    }

  private:
    RawPicture mPicture;
    std::unique_ptr<RawCore> mCore;
};

// Reading a file's length in-process: libavformat opens the container and reads what it needs of
// the streams (for an MPEG program stream, the timestamps at both ends). Milliseconds, or -1.
inline double headerReadMs(const QByteArray &file, qint64 *lengthMs = nullptr)
{
    QElapsedTimer timer;
    timer.start();
    AVFormatContext *context = nullptr;
    if (avformat_open_input(&context, file.constData(), nullptr, nullptr) < 0)
        return -1;
    const bool read = avformat_find_stream_info(context, nullptr) >= 0 && context->duration > 0;
    if (lengthMs)
        *lengthMs = read ? context->duration / 1000 : -1;
    avformat_close_input(&context);
    const double ms = elapsedMs(timer);
    return read ? ms : -1;
}

} // namespace bench

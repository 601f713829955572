#pragma once

#include "mci/libmpv/OpenFile.h"

#include <QByteArray>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>
#include <optional>

struct mpv_event;
struct mpv_handle;
struct mpv_render_context;

namespace mci
{

class VideoWidget;

// What ends a core: the render context is freed first, then the core. Freeing the render context
// waits for the core to let go of its video output, so a closing device hands these to a thread.
struct CoreHandles {
    struct Destroy {
        void operator()(mpv_handle *handle) const;
    };
    struct Free {
        void operator()(mpv_render_context *context) const;
    };
    std::unique_ptr<mpv_handle, Destroy> mpv;
    std::unique_ptr<mpv_render_context, Free> render; // declared last, so freed first
};

// One libmpv core, with a software render context when it draws pictures. Devices come and go
// around it: a closed device leaves it to the next one, so that a new file costs a load rather
// than a new core. It keeps what the core itself is doing apart from what a device reports: the
// load or seek under way, the newer seek target waiting behind it, whether the core runs. Nothing
// here waits for the core except waitUntilIdle(): loads and seeks are sent and their arrival is
// noticed as the core's events come in.
class Core final : public QObject
{
  public:
    // A new core, or nullptr when libmpv cannot start one. `audioOutput` is the process's choice
    // of sound output, which the first file with sound fills in when it is empty.
    static std::unique_ptr<Core> create(bool drawsPicture, QString &audioOutput);
    ~Core() override;
    Core(const Core &) = delete;
    Core &operator=(const Core &) = delete;

    bool drawsPicture() const { return mHandles.render != nullptr; }
    // False once the core has shut down or been detached.
    bool alive() const { return !mDead; }
    // Where frames go: the widget, or a small scratch image while there is none, because the
    // core only moves on while its frames are rendered.
    void setTarget(VideoWidget *widget);

    // Starts loading the file, paused, so that its first picture is the first frame at or after
    // `startMs`; it replaces whatever the core had. The core reads `file`, the file already open,
    // rather than opening the path again (it opens the path when `file` is not valid). False when
    // the core refuses the command.
    bool load(const QByteArray &path, OpenFile file, qint64 startMs, bool programStream);
    bool loadFailed() const { return mFailed; }
    // An option for the loaded file alone; the next load forgets it.
    void setFileOption(const char *name, const char *value);

    // Heads for the first frame at or after `ms`. While a load or a seek is under way the target
    // waits and a newer one replaces it; a paused core that already shows that frame stays.
    void seekTo(qint64 ms);
    // Whether the core is to run once it has arrived, and where it is to stop (at the end of
    // the file without `endMs`).
    void setRunning(bool run, std::optional<qint64> endMs);

    // The playback rate, 1 being normal; the sound keeps its pitch.
    void setSpeed(double rate);
    // The loudness from 0 to 1000, the command layer's scale; the engine's own runs to 100.
    void setVolume(int thousandths);

    bool busy() const { return mLoad || mSeek; }
    // Where a busy core is heading.
    qint64 destination() const;
    // The core was set running and has not been paused since (it may have paused itself at
    // the end).
    bool running() const { return mRunning; }

    double number(const char *name, double fallback);
    bool flag(const char *name);
    QByteArray text(const char *name);

    // Handles the core's pending events without waiting.
    void pump();
    // Waits for the load or seek under way, rendering meanwhile; false on a timeout or failure.
    bool waitUntilIdle(int timeoutMs);

    // Leaves the core to the caller: no callback reaches this object afterwards.
    CoreHandles detach();

  private:
    struct Load {
        quint64 request = 0;
        qint64 start = 0;
        std::optional<qint64> entry; // the core's playlist entry, from its reply to the load
        bool started = false;
        bool loaded = false;
    };
    struct Seek {
        quint64 request = 0;
        qint64 target = 0;
        bool replied = false;
    };

    Core(CoreHandles handles, QString &audioOutput);
    static void onWakeup(void *self);
    static void onRenderUpdate(void *self);

    void handle(const mpv_event &event);
    void handOverFile(quint64 hook);
    void failLoad();
    void arrived(qint64 at);
    void issueSeek(qint64 ms);
    void apply();
    bool showsFrameFor(qint64 ms);
    void serviceRender();
    void renderFrame();
    void chooseAudioOutput();
    void setAsync(const char *name, const char *value);
    void setNow(const char *name, const char *value);

    CoreHandles mHandles;
    QString &mAudioOutput;
    QString mCoreAudioOutput;
    QPointer<VideoWidget> mWidget;
    QImage mScratch;
    std::optional<Load> mLoad;
    // The open file of the latest load, until the core starts to read it.
    std::optional<std::pair<QByteArray, OpenFile>> mStream;
    std::optional<Seek> mSeek;
    std::optional<qint64> mNext;
    std::optional<qint64> mArrivedAt; // the target the paused core last arrived at
    bool mRunWanted = false;
    bool mRunning = false;
    std::optional<qint64> mEndWanted;
    QByteArray mEndSet = "none";
    bool mFailed = false;
    bool mDead = false;
    quint64 mNextRequest = 1;
};

} // namespace mci

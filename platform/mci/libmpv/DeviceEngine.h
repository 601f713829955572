#pragma once

#include "mci/Engine.h"
#include "mci/libmpv/Core.h"
#include "mci/libmpv/MediaHeader.h"
#include "mci/libmpv/OpenFile.h"

#include <QElapsedTimer>
#include <QPointer>

#include <memory>
#include <optional>

namespace mci
{

class CorePool;
class VideoWidget;

// One device played by libmpv. What it reports (mode, position, length) is its own; the core
// behind it only joins when a picture or the clock of the file is needed, so that opening a file
// costs a header read, and a device closed and opened again at once keeps its core and widget.
// The file is opened once: the header read and the core read the same open file.
class DeviceEngine final : public Engine
{
  public:
    explicit DeviceEngine(CorePool &pool);
    ~DeviceEngine() override;
    DeviceEngine(const DeviceEngine &) = delete;
    DeviceEngine &operator=(const DeviceEngine &) = delete;

    unsigned open(const QString &file, QWidget *parent, bool mpegDevice) override;
    qint64 length() override { return mLength; }
    qint64 position() override;
    Mode mode() override;
    QSize videoSize() override { return mHeader.videoSize; }
    void play(std::optional<qint64> from, std::optional<qint64> to) override;
    void pause() override;
    void resume() override;
    void stop() override;
    void seek(qint64 position) override;
    void setSpeed(double rate) override;
    void setVolume(int thousandths) override;
    int volume() override;
    bool readFailed() override { return mReadFailed; }
    QWidget *videoWidget() override;
    void setDestination(const QRect &rect) override;
    QRect destination() const override;

  private:
    // A play too short to show more than the picture it starts at runs on a clock alone.
    struct ClockPlay {
        QElapsedTimer started;
        qint64 from = 0;
        qint64 to = 0;
        double speed = 1;
        qint64 at() const;
    };

    unsigned loadThroughCore(unsigned unplayable);
    bool ensureCore(qint64 startMs);
    bool startLoad(qint64 startMs);
    void halt();
    // Whether the file is still there, readable and as long as it was when opened.
    bool fileIntact() const;

    CorePool &mPool;
    std::unique_ptr<Core> mCore;
    QPointer<VideoWidget> mWidget;
    bool mDrawsPicture = false;
    QByteArray mPath;
    OpenFile mFile;
    MediaHeader mHeader;
    qint64 mLength = 0;
    double mSpeed = 1;
    int mVolume = 1000;
    qint64 mOpenedSize = 0;
    bool mReadFailed = false;
    Mode mMode = Mode::Stopped;
    std::optional<qint64> mEnd;  // the "to" of the running play
    std::optional<qint64> mHeld; // the position reported while stopped at a known place
    std::optional<ClockPlay> mClock;
};

} // namespace mci

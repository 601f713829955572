#pragma once

#include "mci/libmpv/Core.h"
#include "mci/libmpv/MediaHeader.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <future>
#include <memory>
#include <optional>
#include <vector>

namespace mci
{

class VideoWidget;

// A closed device as the pool keeps it for a moment: the core with the file still loaded, and the
// video widget with its last frame, no longer a child of any window.
struct ParkedDevice {
    std::unique_ptr<Core> core;
    QPointer<VideoWidget> widget;
    QByteArray path;
    MediaHeader header;
};

// What the libmpv devices share between them: the device closed last, which an open of the same
// file adopts (moving the video between two windows closes it and opens it again at once), and
// one idle core that serves the next open. An open of another file or a short time releases the
// closed device (its core stays as the idle one); the idle core ends after a longer while. Cores
// end on threads of their own, because ending one waits for its video output to go.
class CorePool final : public QObject
{
  public:
    CorePool();
    ~CorePool() override;
    CorePool(const CorePool &) = delete;
    CorePool &operator=(const CorePool &) = delete;

    // The process's choice of sound output, which new cores take (empty: not chosen yet).
    QString &audioOutput() { return mAudioOutput; }

    // Keeps a closed device; one kept before it is released.
    void park(ParkedDevice device);
    // The kept device if it has this file and draws pictures as asked.
    std::optional<ParkedDevice> adopt(const QByteArray &path, bool drawsPicture);
    // The idle core when it draws pictures as asked; releases the kept device first.
    std::unique_ptr<Core> takeIdle(bool drawsPicture);
    // The idle core, or a new one; nullptr when libmpv cannot start one.
    std::unique_ptr<Core> take(bool drawsPicture);
    // Ends every core and widget kept and waits until all cores have ended.
    void releaseAll();

  private:
    void releaseParked();
    void keepIdle(std::unique_ptr<Core> core);
    void end(std::unique_ptr<Core> core);

    QString mAudioOutput;
    std::optional<ParkedDevice> mParked;
    std::unique_ptr<Core> mIdle;
    QTimer mParkedTimer;
    QTimer mIdleTimer;
    std::vector<std::future<void>> mEnding;
};

} // namespace mci

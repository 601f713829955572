#include "mci/libmpv/DeviceEngine.h"

#include "mci/ErrorCodes.h"
#include "mci/libmpv/CorePool.h"
#include "mci/libmpv/VideoWidget.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <utility>

#include <sys/stat.h>
#include <unistd.h>

namespace mci
{
namespace
{

constexpr int kOpenTimeoutMs = 15000;

} // namespace

qint64 DeviceEngine::ClockPlay::at() const
{
    return std::min(from + std::llround(started.elapsed() * speed), to);
}

DeviceEngine::DeviceEngine(CorePool &pool) : mPool(pool) {}

DeviceEngine::~DeviceEngine()
{
    if (!mCore) {
        discardVideoWidget(mWidget);
        return;
    }
    MediaHeader header = mHeader;
    header.length = mLength;
    mPool.park({std::move(mCore), mWidget, mPath, header});
}

unsigned DeviceEngine::open(const QString &name, QWidget *parent, bool mpegDevice)
{
    const unsigned unplayable = mpegDevice ? error::Internal : error::InvalidFile;
    // The interpreter hands over the name as it is on disk (the system stand-in's resolver).
    const QFileInfo info(name);
    if (name.isEmpty() || !info.exists() || info.isDir())
        return error::FileNotFound;
    if (!info.isReadable())
        return error::FileRead;
    mPath = QFile::encodeName(info.absoluteFilePath());
    mOpenedSize = info.size();
    mReadFailed = false;
    mDrawsPicture = parent != nullptr;
    mHeld = 0;

    if (std::optional<ParkedDevice> parked = mPool.adopt(mPath, mDrawsPicture)) {
        // The same file again at once (the video moves to another window): the core and the
        // widget go on from where they stand, and a seek to that place costs nothing.
        mCore = std::move(parked->core);
        mHeader = parked->header;
        mLength = *mHeader.length;
        mWidget = parked->widget;
        mCore->setSpeed(mSpeed);
        mCore->setVolume(mVolume);
        if (mWidget) {
            mWidget->setParent(parent);
        } else if (parent) {
            mWidget = new VideoWidget(parent);
            mCore->setTarget(mWidget);
        }
        return error::None;
    }

    if (parent)
        mWidget = new VideoWidget(parent);
    mFile = OpenFile::open(mPath);
    mHeader = readMediaHeader(mFile, mPath);
    if (!mHeader.recognised || !mHeader.length)
        return loadThroughCore(unplayable);
    mLength = *mHeader.length;
    // A core that waits idle starts on the file at once, so that the first picture is ready by
    // the time the file is played; otherwise the first play or seek brings a core.
    mCore = mPool.takeIdle(mDrawsPicture);
    if (mCore && !startLoad(0))
        mCore.reset();
    return error::None;
}

// The container does not state the length, or was not recognised for sure: the engine loads the
// file and tells (an MPEG program stream with a damaged end, say), or refuses it.
unsigned DeviceEngine::loadThroughCore(unsigned unplayable)
{
    if (!ensureCore(0))
        return error::Internal;
    if (!mCore->waitUntilIdle(kOpenTimeoutMs))
        return unplayable;
    const double duration = mCore->number("duration", -1);
    if (!std::isfinite(duration) || duration <= 0)
        return unplayable;
    mLength = std::llround(duration * 1000);
    mHeader.recognised = true;
    mHeader.length = mLength;
    mHeader.videoSize = QSize(static_cast<int>(mCore->number("width", 0)),
                              static_cast<int>(mCore->number("height", 0)));
    if (!mHeader.videoSize.isValid())
        mHeader.videoSize = {};
    const double fps = mCore->number("container-fps", 0);
    mHeader.frameMs = fps > 0 ? 1000.0 / fps : 0;
    // MPEG program streams land up to half a second late on exact seeks without a wider window.
    mHeader.programStream = mCore->text("file-format").startsWith("mpeg");
    if (mHeader.programStream)
        mCore->setFileOption("hr-seek-demuxer-offset", "0.5");
    return error::None;
}

bool DeviceEngine::ensureCore(qint64 startMs)
{
    if (mCore)
        return true;
    mCore = mPool.take(mDrawsPicture);
    if (mCore && startLoad(startMs))
        return true;
    mCore.reset();
    return false;
}

bool DeviceEngine::startLoad(qint64 startMs)
{
    mCore->setTarget(mWidget);
    mCore->setSpeed(mSpeed);
    mCore->setVolume(mVolume);
    return mCore->load(mPath, mFile.duplicate(), startMs, mHeader.programStream);
}

Mode DeviceEngine::mode()
{
    if (mMode != Mode::Playing)
        return mMode;
    if (mClock) {
        if (mClock->at() >= mClock->to) {
            mHeld = mClock->to;
            mClock.reset();
            mMode = Mode::Stopped;
        }
        return mMode;
    }
    if (!mCore)
        return mMode;
    mCore->pump();
    if (mCore->loadFailed()) {
        // The engine could not play the file after all: the play is over before it began.
        mHeld = mLength;
        mMode = Mode::Stopped;
        return mMode;
    }
    if (mCore->busy() || !mCore->running())
        return mMode;
    // The engine may read on from what it holds, or take a file cut short for one that ends
    // there: a playing file that is no longer what was opened is a failure, not an end.
    if (!fileIntact()) {
        halt();
        mReadFailed = true;
        mHeld = 0;
        mMode = Mode::Stopped;
        return mMode;
    }
    // keep-open pauses the core at the end (of the file or of "end"), sometimes just before it
    // reports eof-reached: either means the play has finished.
    if (mCore->flag("eof-reached") || mCore->flag("pause")) {
        mMode = Mode::Stopped;
        mHeld = mEnd.value_or(mLength);
    }
    return mMode;
}

qint64 DeviceEngine::position()
{
    mode();
    if (mHeld)
        return *mHeld;
    if (mClock)
        return mClock->at();
    if (!mCore)
        return 0;
    // Where a seek or load is heading is where the device stands for everyone asking.
    if (mCore->busy())
        return mCore->destination();
    if (mCore->flag("eof-reached"))
        return mLength;
    const double seconds = mCore->number("time-pos", 0);
    return std::clamp<qint64>(std::llround(seconds * 1000), 0, mLength);
}

void DeviceEngine::play(std::optional<qint64> from, std::optional<qint64> to)
{
    const qint64 start = from ? *from : position();
    mClock.reset();
    mHeld.reset();
    mEnd = to;
    mMode = Mode::Playing;
    if (!mCore && to && mHeader.frameMs > 0 && *to - start < mHeader.frameMs) {
        // The play shows at most the picture it starts at, and bringing a core for it would cost
        // far more than the play (the playlist measures each file it adds with a play of 1 ms).
        mClock = ClockPlay{QElapsedTimer(), start, *to, mSpeed};
        mClock->started.start();
        return;
    }
    if (!ensureCore(start)) {
        mHeld = start;
        mMode = Mode::Stopped;
        return;
    }
    if (from)
        mCore->seekTo(*from);
    else if (!mCore->busy() && mCore->flag("eof-reached"))
        mCore->seekTo(start); // after an end-stop the core stays at the end until it seeks
    mCore->setRunning(true, to);
}

void DeviceEngine::pause()
{
    if (mode() != Mode::Playing)
        return;
    halt();
    mMode = Mode::Paused;
}

void DeviceEngine::resume()
{
    if (mMode != Mode::Paused)
        return;
    if (!mCore) {
        // A paused clock play goes on from where it stood.
        play(std::nullopt, mEnd);
        return;
    }
    mCore->setRunning(true, mEnd);
    mMode = Mode::Playing;
}

void DeviceEngine::stop()
{
    if (mode() == Mode::Stopped)
        return;
    halt();
    mMode = Mode::Stopped;
}

bool DeviceEngine::fileIntact() const
{
    struct stat status {};
    return ::stat(mPath.constData(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(mPath.constData(), R_OK) == 0 && status.st_size >= mOpenedSize;
}

// Pause and stop both hold the picture where it stands: a clock play keeps its position, a core
// stops running.
void DeviceEngine::halt()
{
    if (mClock) {
        mHeld = mClock->at();
        mClock.reset();
    } else if (mCore) {
        mCore->setRunning(false, mEnd);
    }
}

void DeviceEngine::seek(qint64 position)
{
    mClock.reset();
    mEnd.reset();
    mHeld = position;
    mMode = Mode::Stopped;
    if (mCore) {
        mCore->seekTo(position);
        mCore->setRunning(false, std::nullopt);
    } else if (mWidget) {
        // The picture shows the frame there.
        ensureCore(position);
    }
}

void DeviceEngine::setSpeed(double rate)
{
    if (mClock) {
        // The clock play goes on from where it stands at the new rate.
        mClock->from = mClock->at();
        mClock->started.start();
        mClock->speed = rate;
    }
    mSpeed = rate;
    if (mCore)
        mCore->setSpeed(rate);
}

void DeviceEngine::setVolume(int thousandths)
{
    mVolume = thousandths;
    if (mCore)
        mCore->setVolume(thousandths);
}

int DeviceEngine::volume()
{
    // The engine's own volume where a core plays the file, so that what it was told is what it
    // does.
    if (!mCore)
        return mVolume;
    return int(std::lround(mCore->number("volume", mVolume / 10.0) * 10));
}

QWidget *DeviceEngine::videoWidget()
{
    return mWidget.data();
}

void DeviceEngine::setDestination(const QRect &rect)
{
    if (mWidget)
        mWidget->setDestination(rect);
}

QRect DeviceEngine::destination() const
{
    return mWidget ? mWidget->destination() : QRect();
}

} // namespace mci

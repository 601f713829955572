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

DeviceEngine::DeviceEngine(CorePool &pool) : pool_(pool) {}

DeviceEngine::~DeviceEngine()
{
    if (!core_) {
        discardVideoWidget(widget_);
        return;
    }
    MediaHeader header = header_;
    header.length = length_;
    pool_.park({std::move(core_), widget_, path_, header});
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
    path_ = QFile::encodeName(info.absoluteFilePath());
    openedSize_ = info.size();
    readFailed_ = false;
    drawsPicture_ = parent != nullptr;
    held_ = 0;

    if (std::optional<ParkedDevice> parked = pool_.adopt(path_, drawsPicture_)) {
        // The same file again at once (the video moves to another window): the core and the
        // widget go on from where they stand, and a seek to that place costs nothing.
        core_ = std::move(parked->core);
        header_ = parked->header;
        length_ = *header_.length;
        widget_ = parked->widget;
        core_->setSpeed(speed_);
        core_->setVolume(volume_);
        if (widget_) {
            widget_->setParent(parent);
        } else if (parent) {
            widget_ = new VideoWidget(parent);
            core_->setTarget(widget_);
        }
        return error::None;
    }

    if (parent)
        widget_ = new VideoWidget(parent);
    file_ = OpenFile::open(path_);
    header_ = readMediaHeader(file_, path_);
    if (!header_.recognised || !header_.length)
        return loadThroughCore(unplayable);
    length_ = *header_.length;
    // A core that waits idle starts on the file at once, so that the first picture is ready by
    // the time the file is played; otherwise the first play or seek brings a core.
    core_ = pool_.takeIdle(drawsPicture_);
    if (core_ && !startLoad(0))
        core_.reset();
    return error::None;
}

// The container does not state the length, or was not recognised for sure: the engine loads the
// file and tells (an MPEG program stream with a damaged end, say), or refuses it.
unsigned DeviceEngine::loadThroughCore(unsigned unplayable)
{
    if (!ensureCore(0))
        return error::Internal;
    if (!core_->waitUntilIdle(kOpenTimeoutMs))
        return unplayable;
    const double duration = core_->number("duration", -1);
    if (!std::isfinite(duration) || duration <= 0)
        return unplayable;
    length_ = std::llround(duration * 1000);
    header_.recognised = true;
    header_.length = length_;
    header_.videoSize = QSize(static_cast<int>(core_->number("width", 0)),
                              static_cast<int>(core_->number("height", 0)));
    if (!header_.videoSize.isValid())
        header_.videoSize = {};
    const double fps = core_->number("container-fps", 0);
    header_.frameMs = fps > 0 ? 1000.0 / fps : 0;
    // MPEG program streams land up to half a second late on exact seeks without a wider window.
    header_.programStream = core_->text("file-format").startsWith("mpeg");
    if (header_.programStream)
        core_->setFileOption("hr-seek-demuxer-offset", "0.5");
    return error::None;
}

bool DeviceEngine::ensureCore(qint64 startMs)
{
    if (core_)
        return true;
    core_ = pool_.take(drawsPicture_);
    if (core_ && startLoad(startMs))
        return true;
    core_.reset();
    return false;
}

bool DeviceEngine::startLoad(qint64 startMs)
{
    core_->setTarget(widget_);
    core_->setSpeed(speed_);
    core_->setVolume(volume_);
    return core_->load(path_, file_.duplicate(), startMs, header_.programStream);
}

Mode DeviceEngine::mode()
{
    if (mode_ != Mode::Playing)
        return mode_;
    if (clock_) {
        if (clock_->at() >= clock_->to) {
            held_ = clock_->to;
            clock_.reset();
            mode_ = Mode::Stopped;
        }
        return mode_;
    }
    if (!core_)
        return mode_;
    core_->pump();
    if (core_->loadFailed()) {
        // The engine could not play the file after all: the play is over before it began.
        held_ = length_;
        mode_ = Mode::Stopped;
        return mode_;
    }
    if (core_->busy() || !core_->running())
        return mode_;
    // The engine may read on from what it holds, or take a file cut short for one that ends
    // there: a playing file that is no longer what was opened is a failure, not an end.
    if (!fileIntact()) {
        halt();
        readFailed_ = true;
        held_ = 0;
        mode_ = Mode::Stopped;
        return mode_;
    }
    // keep-open pauses the core at the end (of the file or of "end"), sometimes just before it
    // reports eof-reached: either means the play has finished.
    if (core_->flag("eof-reached") || core_->flag("pause")) {
        mode_ = Mode::Stopped;
        held_ = end_.value_or(length_);
    }
    return mode_;
}

qint64 DeviceEngine::position()
{
    mode();
    if (held_)
        return *held_;
    if (clock_)
        return clock_->at();
    if (!core_)
        return 0;
    // Where a seek or load is heading is where the device stands for everyone asking.
    if (core_->busy())
        return core_->destination();
    if (core_->flag("eof-reached"))
        return length_;
    const double seconds = core_->number("time-pos", 0);
    return std::clamp<qint64>(std::llround(seconds * 1000), 0, length_);
}

void DeviceEngine::play(std::optional<qint64> from, std::optional<qint64> to)
{
    const qint64 start = from ? *from : position();
    clock_.reset();
    held_.reset();
    end_ = to;
    mode_ = Mode::Playing;
    if (!core_ && to && header_.frameMs > 0 && *to - start < header_.frameMs) {
        // The play shows at most the picture it starts at, and bringing a core for it would cost
        // far more than the play (the playlist measures each file it adds with a play of 1 ms).
        clock_ = ClockPlay{QElapsedTimer(), start, *to, speed_};
        clock_->started.start();
        return;
    }
    if (!ensureCore(start)) {
        held_ = start;
        mode_ = Mode::Stopped;
        return;
    }
    if (from)
        core_->seekTo(*from);
    else if (!core_->busy() && core_->flag("eof-reached"))
        core_->seekTo(start); // after an end-stop the core stays at the end until it seeks
    core_->setRunning(true, to);
}

void DeviceEngine::pause()
{
    if (mode() != Mode::Playing)
        return;
    halt();
    mode_ = Mode::Paused;
}

void DeviceEngine::resume()
{
    if (mode_ != Mode::Paused)
        return;
    if (!core_) {
        // A paused clock play goes on from where it stood.
        play(std::nullopt, end_);
        return;
    }
    core_->setRunning(true, end_);
    mode_ = Mode::Playing;
}

void DeviceEngine::stop()
{
    if (mode() == Mode::Stopped)
        return;
    halt();
    mode_ = Mode::Stopped;
}

bool DeviceEngine::fileIntact() const
{
    struct stat status {};
    return ::stat(path_.constData(), &status) == 0 && S_ISREG(status.st_mode) &&
           ::access(path_.constData(), R_OK) == 0 && status.st_size >= openedSize_;
}

// Pause and stop both hold the picture where it stands: a clock play keeps its position, a core
// stops running.
void DeviceEngine::halt()
{
    if (clock_) {
        held_ = clock_->at();
        clock_.reset();
    } else if (core_) {
        core_->setRunning(false, end_);
    }
}

void DeviceEngine::seek(qint64 position)
{
    clock_.reset();
    end_.reset();
    held_ = position;
    mode_ = Mode::Stopped;
    if (core_) {
        core_->seekTo(position);
        core_->setRunning(false, std::nullopt);
    } else if (widget_) {
        // The picture shows the frame there.
        ensureCore(position);
    }
}

void DeviceEngine::setSpeed(double rate)
{
    if (clock_) {
        // The clock play goes on from where it stands at the new rate.
        clock_->from = clock_->at();
        clock_->started.start();
        clock_->speed = rate;
    }
    speed_ = rate;
    if (core_)
        core_->setSpeed(rate);
}

void DeviceEngine::setVolume(int thousandths)
{
    volume_ = thousandths;
    if (core_)
        core_->setVolume(thousandths);
}

int DeviceEngine::volume()
{
    // The engine's own volume where a core plays the file, so that what it was told is what it
    // does.
    if (!core_)
        return volume_;
    return int(std::lround(core_->number("volume", volume_ / 10.0) * 10));
}

QWidget *DeviceEngine::videoWidget()
{
    return widget_.data();
}

void DeviceEngine::setDestination(const QRect &rect)
{
    if (widget_)
        widget_->setDestination(rect);
}

QRect DeviceEngine::destination() const
{
    return widget_ ? widget_->destination() : QRect();
}

} // namespace mci

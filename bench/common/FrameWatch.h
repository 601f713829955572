#pragma once

// Watches the frames a device's video widget shows over a stretch of playback: each paint that
// finds the widget's render count changed shows a new frame. From those paints and the stretch
// of the clip they covered come the dropped frames (frames of the clip that were never shown)
// and the delayed ones (shown more than two frame periods after the frame before).

#include "BenchSupport.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QObject>
#include <QVariant>

#include <algorithm>
#include <cmath>

namespace bench
{

class FrameWatch final : public QObject
{
  public:
    explicit FrameWatch(double framesPerSecond) : period_(1000.0 / framesPerSecond) {}

    // Starts counting at `positionMs` of the clip.
    void start(double positionMs)
    {
        startMs_ = positionMs;
        shown_ = 0;
        delayed_ = 0;
        counting_ = true;
        sinceFrame_.invalidate();
    }

    // Stops counting at `positionMs` and fills in the frame counts of `playback`.
    void stop(double positionMs, SteadyPlayback &playback)
    {
        counting_ = false;
        const int due = int(std::lround((positionMs - startMs_) / period_));
        // One frame either way is where the window's ends fall between two frames.
        playback.dropped = std::max(0, due - shown_ - 1);
        playback.delayed = delayed_;
    }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || watched->objectName() != QLatin1String("mciVideo"))
            return false;
        const int renders = watched->property("renders").toInt();
        if (renders == lastRenders_)
            return false;
        lastRenders_ = renders;
        if (!counting_)
            return false;
        ++shown_;
        if (sinceFrame_.isValid() && double(sinceFrame_.elapsed()) > 2 * period_)
            ++delayed_;
        sinceFrame_.start();
        return false;
    }

  private:
    double period_;
    double startMs_ = 0;
    int shown_ = 0;
    int delayed_ = 0;
    int lastRenders_ = -1;
    bool counting_ = false;
    QElapsedTimer sinceFrame_;
};

// The figures of several playbacks: the median CPU time and the most frames dropped or delayed
// in any of them.
inline SteadyPlayback combined(const std::vector<SteadyPlayback> &playbacks)
{
    SteadyPlayback all;
    std::vector<double> cpu;
    for (const SteadyPlayback &playback : playbacks) {
        cpu.push_back(playback.cpuSeconds);
        all.dropped = std::max(all.dropped, playback.dropped);
        all.delayed = std::max(all.delayed, playback.delayed);
    }
    all.cpuSeconds = median(cpu);
    return all;
}

} // namespace bench

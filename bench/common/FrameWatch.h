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
    explicit FrameWatch(double framesPerSecond) : mPeriod(1000.0 / framesPerSecond) {}

    // Starts counting at `positionMs` of the clip.
    void start(double positionMs)
    {
        mStartMs = positionMs;
        mShown = 0;
        mDelayed = 0;
        mCounting = true;
        mSinceFrame.invalidate();
    }

    // Stops counting at `positionMs` and fills in the frame counts of `playback`.
    void stop(double positionMs, SteadyPlayback &playback)
    {
        mCounting = false;
        const int due = int(std::lround((positionMs - mStartMs) / mPeriod));
        // One frame either way is where the window's ends fall between two frames.
        playback.dropped = std::max(0, due - mShown - 1);
        playback.delayed = mDelayed;
    }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Paint || watched->objectName() != QLatin1String("mciVideo"))
            return false;
        const int renders = watched->property("renders").toInt();
        if (renders == mLastRenders)
            return false;
        mLastRenders = renders;
        if (!mCounting)
            return false;
        ++mShown;
        if (mSinceFrame.isValid() && double(mSinceFrame.elapsed()) > 2 * mPeriod)
            ++mDelayed;
        mSinceFrame.start();
        return false;
    }

  private:
    double mPeriod;
    double mStartMs = 0;
    int mShown = 0;
    int mDelayed = 0;
    int mLastRenders = -1;
    bool mCounting = false;
    QElapsedTimer mSinceFrame;
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

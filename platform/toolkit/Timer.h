#pragma once

#include <QTimer>

#include <functional>

namespace toolkit
{

// A timer with an interval in ms, an enabled flag and one tick handler.
class Timer
{
  public:
    Timer();

    int Interval() const { return mTimer.interval(); }
    void setInterval(int ms);
    bool Enabled() const { return mEnabled; }
    void setEnabled(bool enabled);
    void onTimer(std::function<void()> handler) { mHandler = std::move(handler); }

    // Runs one tick now, as the event loop would (tests drive timers this way).
    void tick();

  private:
    QTimer mTimer;
    std::function<void()> mHandler;
    bool mEnabled = false;
};

} // namespace toolkit

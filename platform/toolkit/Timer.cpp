#include "toolkit/Timer.h"

#include "toolkit/Handlers.h"

namespace toolkit
{

Timer::Timer()
{
    QObject::connect(&mTimer, &QTimer::timeout, [this] { runHandler([this] { tick(); }); });
}

void Timer::setInterval(int ms)
{
    mTimer.setInterval(ms);
    if (mEnabled && ms > 0)
        mTimer.start();
}

void Timer::setEnabled(bool enabled)
{
    mEnabled = enabled;
    if (enabled && mTimer.interval() > 0)
        mTimer.start();
    else
        mTimer.stop();
}

void Timer::tick()
{
    if (mHandler)
        mHandler();
}

} // namespace toolkit

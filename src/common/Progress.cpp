#include "common/Progress.h"

#include <algorithm>

namespace pellin
{

namespace
{

ProgressDisplay &display()
{
    static ProgressDisplay shown;
    return shown;
}

} // namespace

void setProgressDisplay(ProgressDisplay shown)
{
    display() = std::move(shown);
}

ProgressSteps::ProgressSteps(QString what, qint64 total, qint64 from)
    : mWhat(std::move(what)), mTotal(std::max<qint64>(total, 1)), mTold(display() && total >= from)
{
    if (mTold)
        tell(0);
}

ProgressSteps::~ProgressSteps()
{
    if (mTold && display())
        display()(mWhat, 100);
}

void ProgressSteps::tell(qint64 done)
{
    const int percent = int(std::min<qint64>(done * 100 / mTotal, 99));
    // The next step that moves the percentage on.
    mNext = (percent + 1) * mTotal / 100 + 1;
    if (display())
        display()(mWhat, percent);
}

} // namespace pellin

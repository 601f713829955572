#pragma once

#include "BenchSupport.h"
#include "media/clsMCI.h"
#include "toolkit/WindowHandles.h"

#include <QElapsedTimer>
#include <QWidget>

namespace bench
{

// Milliseconds the controller takes to open its file inside `picture` (to the first frame), or -1
// when the open failed; the device is closed again afterwards.
inline double controllerOpenMs(clsMCI &mci, QWidget &picture)
{
    QElapsedTimer timer;
    timer.start();
    const std::string outcome = mci.OpenMultimedia(toolkit::handleOf(&picture));
    const double ms = elapsedMs(timer);
    mci.CloseMultimedia();
    return outcome == "Success" && mci.TotalTime() > 0 ? ms : -1;
}

} // namespace bench

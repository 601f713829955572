#pragma once

#include <QString>

// The progress of long work shown in the main window's status bar: "Reading list.pel: 40%". The
// windows are drawn and answer the desktop meanwhile; what the student types or clicks waits
// until the work is done, so that nothing changes the list while it is being read.
namespace progressDisplay
{

// Shows the progress of every long piece of work from now on, until stop().
void start();
void stop();

} // namespace progressDisplay

#pragma once

#include "mci/Engine.h"

#include <QString>

class QWidget;

// The libmpv engine as the program sees it. It lives in a module loaded at run time (see
// EngineModule.h): on first use, or ahead of it on a thread of its own once the main window has
// drawn its first frame.
namespace mci
{

// The engine's factory, loading the module first if need be; nullptr when it cannot be loaded
// (the reason goes to the log once).
EngineFactory *libmpvEngine();
// The factory if the module has been loaded already, without loading it.
EngineFactory *loadedLibmpvEngine();
// Loads the module on a thread of its own as soon as `window` has painted for the first time.
void loadLibmpvEngineAfterFirstPaint(QWidget &window);

// The audio output every later open uses ("null" for none). Without a call the environment
// variable PELLIN_AUDIO_OUTPUT decides, and without that the first file with sound probes the
// desktop's output once for the whole process.
void setAudioOutput(const QString &output);
// No audio output chosen, as the process starts: the first file with sound finds the desktop's.
void resetAudioOutput();

} // namespace mci

#pragma once

#include "mci/Engine.h"

#include <QString>

#include <memory>

namespace mci
{

std::unique_ptr<EngineFactory> makeLibmpvFactory();

// The audio output every later open uses ("null" for none). Without a call the environment
// variable PELLIN_AUDIO_OUTPUT decides, and without that the first file with sound probes the
// desktop's output once for the whole process.
void setAudioOutput(const QString &output);

} // namespace mci

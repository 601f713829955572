#pragma once

#include "mci/Engine.h"
#include "mci/EngineModuleVersion.h"

#include <QString>

// The libmpv engine is a module of its own that the program loads at run time, so that libmpv
// and the libraries under it (about 190) load after the program's first window instead of before
// main(). The program and the module are built from this header; the version, derived from the
// interface headers when the build is configured, tells a module of another build from one that
// fits.
namespace mci
{

class EngineModule : public EngineFactory
{
  public:
    // The audio output every later open uses ("null" for none); empty lets the first file with
    // sound find the desktop's output once for the whole process.
    virtual void setAudioOutput(const QString &output) = 0;
};

// The module's one exported function: its engine factory, or nullptr for another version.
inline constexpr char kEngineModuleEntry[] = "pellinEngineModule";
using EngineModuleEntry = EngineModule *(*)(int version);

} // namespace mci

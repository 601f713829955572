#include "mci/Reset.h"

#include "mci/Interpreter.h"
#include "mci/LibmpvEngine.h"
#include "mci/Transport.h"

namespace mci
{

void resetState()
{
    setTransport(nullptr);
    interpreter().closeAll();
    interpreter().setEngineFactory(nullptr);
    resetAudioOutput();
}

} // namespace mci

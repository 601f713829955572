#include "session/Session.h"

#include "session/ScreenAwake.h"

namespace session
{

void endSession()
{
    applyKeepAwakeNow();
}

void resetSession()
{
    applyKeepAwakeNow();
    setScreenSaverSeam({});
}

} // namespace session

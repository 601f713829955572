#include "session/Session.h"

#include "session/MediaControls.h"
#include "session/MediaPlayer.h"
#include "session/ScreenAwake.h"

namespace session
{

void endSession()
{
    stopMediaPlayer();
    applyKeepAwakeNow();
}

void resetSession()
{
    stopMediaPlayer();
    mediaControls().reset();
    applyKeepAwakeNow();
    setScreenSaverSeam({});
}

} // namespace session

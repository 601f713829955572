#pragma once

#include <functional>

// Keeping the screen awake: while any request is held, the desktop session is asked not to
// blank, lock or suspend for idleness (through the desktop portal's Inhibit where the session
// has the portal, else org.freedesktop.ScreenSaver). Changes take effect when the event loop
// next runs, so a release and a new hold within one handler (moving a video to another window)
// cost the session nothing.
namespace session
{

// One reason to keep the screen awake, such as a video that plays. Released when destroyed.
class KeepAwake
{
  public:
    KeepAwake() = default;
    ~KeepAwake();
    KeepAwake(const KeepAwake &) = delete;
    KeepAwake &operator=(const KeepAwake &) = delete;

    void hold(bool held);
    bool held() const { return mHeld; }

  private:
    bool mHeld = false;
};

// Test seam: receives each change the session would be asked for (true: inhibit, false: release)
// instead of the bus; it is asked at once if a request is held. An empty seam puts the bus back.
using ScreenSaverSeam = std::function<void(bool inhibit)>;
void setScreenSaverSeam(ScreenSaverSeam seam);

// Makes the session's state match the requests now, waiting for the bus a moment if need be (a
// quarter of a second for each call, however the bus fares): the program is about to end.
void applyKeepAwakeNow();

} // namespace session

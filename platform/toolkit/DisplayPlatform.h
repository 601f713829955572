#pragma once

#include <QByteArray>

namespace toolkit
{

// What the environment says about the displays there are and the user's own choice of platform.
struct DisplayEnvironment {
    QByteArray userPlatform;   // QT_QPA_PLATFORM
    QByteArray display;        // DISPLAY
    QByteArray waylandDisplay; // WAYLAND_DISPLAY
};

// The platform the windows run on. A platform the user set wins. Where an X display is there,
// Xwayland's on a Wayland session among them, the windows run on it: an X window manager lets a
// program place its windows, keep one on top and activate one, which a Wayland client cannot.
// With a Wayland display alone, natively on Wayland. Empty where neither is there: the toolkit's
// own choice, and its own message when that finds no display either.
QByteArray displayPlatform(const DisplayEnvironment &environment);

// The process's own environment.
DisplayEnvironment currentDisplayEnvironment();

// Made before the application object: it hands the chosen platform to the toolkit through
// QT_QPA_PLATFORM. Once the application object exists, the choice is taken out of the
// environment again, so that the programs the player starts (a document viewer, say) make
// their own.
class DisplayPlatformChoice
{
  public:
    DisplayPlatformChoice();
    DisplayPlatformChoice(const DisplayPlatformChoice &) = delete;
    DisplayPlatformChoice &operator=(const DisplayPlatformChoice &) = delete;

    void applicationMade() const;

  private:
    bool mWritten = false;
};

} // namespace toolkit

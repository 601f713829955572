#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>

#include <functional>
#include <optional>

// The one connection of the desktop session's services to the session bus. No call on it waits
// for the bus on the GUI thread while the program runs: a desktop session that hangs stops its
// bus daemon answering, and the player must go on playing.
namespace session
{

// The session bus, or nothing when the process has none (no bus address, no application object
// yet, or a bus that refuses the connection); asking again after that does not try anew.
std::optional<QDBusConnection> sessionBus();

// How long a call may stay unanswered, in ms, before it counts as failed.
inline constexpr int kCallTimeout = 2000;
// How long the program's end may wait for the bus, in ms, for each call it still makes.
inline constexpr int kExitCallTimeout = 250;

// Sends the call and returns at once; `answered` runs in the event loop with the reply, or with
// an error once the bus refuses it or `timeout` ms pass without an answer.
void callLater(const QDBusConnection &bus, const QDBusMessage &call,
               std::function<void(const QDBusMessage &reply)> answered, int timeout = kCallTimeout);

} // namespace session

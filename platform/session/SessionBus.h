#pragma once

#include <QDBusConnection>
#include <QString>

#include <optional>

// The one connection of the desktop session's services to the session bus.
namespace session
{

// The session bus, or nothing when the process has none (no bus address, no application object
// yet, or a bus that refuses the connection); asking again after that does not try anew.
std::optional<QDBusConnection> sessionBus();

// Whether a service of that name is on the bus now or can be started by it.
bool serviceAvailable(const QDBusConnection &bus, const QString &name);

// How long a call may keep the program waiting, in ms: a service that hangs must not freeze it.
inline constexpr int kCallTimeout = 2000;

} // namespace session

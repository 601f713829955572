#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>

// The one connection of the desktop session's services to the session bus. No call on it waits
// for the bus on the GUI thread while the program runs: a desktop session that hangs stops its
// bus daemon answering, and the player must go on playing. The connection itself is made only
// once the daemon has answered a look at its socket, since connecting waits for the daemon.
namespace session
{

// The session bus once its daemon has answered, or nothing: no bus named (no address, no
// application object), a bus that refuses the connection, or one that has not answered yet.
// Never waits; the first ask starts the look at the bus. After a refusal no new try is made.
std::optional<QDBusConnection> sessionBus();

// Runs `connected` with the session bus as soon as it is there: at once when it is, otherwise in
// the event loop once the daemon answers, while `context` lives. Never, without a bus.
void whenSessionBusAnswers(QObject *context, std::function<void(QDBusConnection bus)> connected);

// For what the program decides before its first window: waits up to `timeout` ms (an event loop
// that takes no user input) for the daemon's first answer, then gives what sessionBus() does.
// A daemon that has not answered by then is kept from the toolkit's own asks (which would wait
// for it on the GUI thread) until it answers.
std::optional<QDBusConnection> waitForSessionBus(int timeout);

// How long a call may stay unanswered, in ms, before it counts as failed.
inline constexpr int kCallTimeout = 2000;
// How long the program's end may wait for the bus, in ms, for each call it still makes.
inline constexpr int kExitCallTimeout = 250;
// How long the start-up waits for a daemon's first answer before it goes on without the bus.
inline constexpr int kStartUpBusWait = 500;

// Sends the call and returns at once; `answered` runs in the event loop with the reply, or with
// an error once the bus refuses it or `timeout` ms pass without an answer.
void callLater(const QDBusConnection &bus, const QDBusMessage &call,
               std::function<void(const QDBusMessage &reply)> answered, int timeout = kCallTimeout);

} // namespace session

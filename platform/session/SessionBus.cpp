#include "session/SessionBus.h"

#include <QCoreApplication>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QFileInfo>

namespace session
{

namespace
{

// The bus library would otherwise start a bus of its own for an X display that has none.
bool busNamed()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo(runtime + QStringLiteral("/bus")).exists();
}

} // namespace

std::optional<QDBusConnection> sessionBus()
{
    if (!QCoreApplication::instance() || !busNamed())
        return std::nullopt;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return std::nullopt;
    return bus;
}

void callLater(const QDBusConnection &bus, const QDBusMessage &call,
               std::function<void(const QDBusMessage &reply)> answered, int timeout)
{
    auto *watcher =
        new QDBusPendingCallWatcher(bus.asyncCall(call, timeout), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                     [watcher, answered = std::move(answered)] {
                         watcher->deleteLater();
                         if (answered)
                             answered(watcher->reply());
                     });
}

} // namespace session

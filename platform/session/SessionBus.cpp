#include "session/SessionBus.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QFileInfo>
#include <QStringList>

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

bool serviceAvailable(const QDBusConnection &bus, const QString &name)
{
    const QDBusConnectionInterface *daemon = bus.interface();
    if (!daemon)
        return false;
    const QDBusReply<bool> registered = daemon->isServiceRegistered(name);
    if (registered.isValid() && registered.value())
        return true;
    const QDBusReply<QStringList> activatable = daemon->activatableServiceNames();
    return activatable.isValid() && activatable.value().contains(name);
}

} // namespace session

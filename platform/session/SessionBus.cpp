#include "session/SessionBus.h"

#include "session/BusProbe.h"

#include <QCoreApplication>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>
#include <QFileInfo>
#include <QPointer>
#include <QTimer>

#include <utility>
#include <vector>

namespace session
{

namespace
{

const char *const kAddressVariable = "DBUS_SESSION_BUS_ADDRESS";

// The bus's address; empty where none is named, since the bus library would otherwise start a
// bus of its own for an X display that has none.
QString busAddress()
{
    const QString named = qEnvironmentVariable(kAddressVariable);
    if (!named.isEmpty())
        return named;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString socket = runtime + QStringLiteral("/bus");
    if (runtime.isEmpty() || !QFileInfo(socket).exists())
        return {};
    return QStringLiteral("unix:path=") + socket;
}

// The application's link to the bus: looked at, then connected, or found missing. It lives as
// long as the application object.
class BusLink : public QObject
{
    Q_OBJECT
  public:
    enum class State { Looking, Connected, Missing };

    explicit BusLink(QObject *application) : QObject(application), mAddress(busAddress())
    {
        if (mAddress.isEmpty()) {
            mState = State::Missing;
            return;
        }
        const std::optional<BusSocket> socket = busSocketOf(mAddress);
        // An address this look cannot reach (TCP, say) goes to the bus library as it stands.
        if (!socket) {
            probe_Done(true);
            return;
        }
        mProbe = new BusProbe(
            *socket, [this](bool answered) { probe_Done(answered); }, this);
    }

    State state() const { return mState; }
    const std::optional<QDBusConnection> &bus() const { return mBus; }

    void whenConnected(QObject *context, std::function<void(QDBusConnection)> connected)
    {
        if (mState == State::Connected)
            connected(*mBus);
        else if (mState == State::Looking)
            mWaiting.push_back({QPointer<QObject>(context), std::move(connected)});
    }

    // The toolkit asks the session bus for itself, on the GUI thread and waiting for the
    // daemon (the accessibility bridge as the first window appears, say). While the daemon has
    // not answered, the process's bus address leads nowhere, so that those asks fail at once;
    // it is put back once the daemon answers.
    void shieldToolkit()
    {
        if (mState != State::Looking || mShielded)
            return;
        mShielded = true;
        qputenv(kAddressVariable, QByteArrayLiteral("disabled:"));
    }

  signals:
    void settled();

  private:
    void probe_Done(bool answered)
    {
        if (mProbe)
            mProbe->deleteLater();
        if (mShielded)
            qputenv(kAddressVariable, mAddress.toLocal8Bit());
        // A connection of the services' own to the address: the toolkit's may have been tried
        // while the address led nowhere.
        if (answered) {
            QDBusConnection bus =
                QDBusConnection::connectToBus(mAddress, QStringLiteral("pellin-session"));
            if (bus.isConnected())
                mBus = bus;
        }
        mState = mBus ? State::Connected : State::Missing;
        for (auto &[context, connected] : std::exchange(mWaiting, {}))
            if (context && mBus)
                connected(*mBus);
        emit settled();
    }

    const QString mAddress;
    bool mShielded = false;
    State mState = State::Looking;
    QPointer<BusProbe> mProbe;
    std::optional<QDBusConnection> mBus;
    std::vector<std::pair<QPointer<QObject>, std::function<void(QDBusConnection)>>> mWaiting;
};

BusLink *busLink()
{
    static QPointer<BusLink> link;
    if (!link && QCoreApplication::instance())
        link = new BusLink(QCoreApplication::instance());
    return link;
}

} // namespace

std::optional<QDBusConnection> sessionBus()
{
    BusLink *link = busLink();
    if (!link)
        return std::nullopt;
    return link->bus();
}

void whenSessionBusAnswers(QObject *context, std::function<void(QDBusConnection bus)> connected)
{
    if (BusLink *link = busLink())
        link->whenConnected(context, std::move(connected));
}

std::optional<QDBusConnection> waitForSessionBus(int timeout)
{
    BusLink *link = busLink();
    if (!link)
        return std::nullopt;
    if (link->state() == BusLink::State::Looking) {
        QEventLoop loop;
        QObject::connect(link, &BusLink::settled, &loop, &QEventLoop::quit);
        QTimer::singleShot(timeout, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        link->shieldToolkit();
    }
    return link->bus();
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

#include "SessionBus.moc"

#include "session/SingleInstance.h"

#include "session/SessionBus.h"

#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QTimer>

#include <memory>
#include <optional>

namespace session
{
namespace
{

const QString kObjectPath = QStringLiteral("/Instance");
const QString kInterface = QStringLiteral("com.vorlund.PellinPlayer.Instance");
const QString kDaemon = QStringLiteral("org.freedesktop.DBus");

// The bus's answers to RequestName with DO_NOT_QUEUE.
constexpr uint kDoNotQueue = 4;
constexpr uint kPrimaryOwner = 1;
constexpr uint kAlreadyOwner = 4;

// The running player's side: a later start's files are taken at once, so that the caller is
// answered, and opened from the event loop, where the boxes they may raise can wait for the
// student.
class InstanceObject : public QObject
{
    Q_OBJECT
  public:
    explicit InstanceObject(std::function<void(const QStringList &)> open) : mOpen(std::move(open))
    {
    }
    void take(const QStringList &files)
    {
        QTimer::singleShot(0, this, [this, files] { mOpen(files); });
    }

  private:
    std::function<void(const QStringList &)> mOpen;
};

class InstanceAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.vorlund.PellinPlayer.Instance")
  public:
    explicit InstanceAdaptor(InstanceObject &instance)
        : QDBusAbstractAdaptor(&instance), mInstance(instance)
    {
    }

  public slots:
    void Open(const QStringList &files) { mInstance.take(files); }

  private:
    InstanceObject &mInstance;
};

std::unique_ptr<InstanceObject> &instanceObject()
{
    static std::unique_ptr<InstanceObject> held;
    return held;
}

QDBusMessage daemonCall(const QString &method, const QVariantList &arguments)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        kDaemon, QStringLiteral("/org/freedesktop/DBus"), kDaemon, method);
    call.setArguments(arguments);
    return call;
}

bool handOver(QDBusConnection &bus, const QString &name, const QStringList &files)
{
    QDBusMessage call =
        QDBusMessage::createMethodCall(name, kObjectPath, kInterface, QStringLiteral("Open"));
    call.setArguments({files});
    return bus.call(call, QDBus::Block, kCallTimeout).type() == QDBusMessage::ReplyMessage;
}

} // namespace

InstanceClaim claimInstance(const QString &name, const QStringList &files,
                            std::function<void(const QStringList &)> open)
{
    // The object is there before the name, so that a start that finds the name finds it too.
    std::unique_ptr<InstanceObject> &instance = instanceObject();
    if (!instance) {
        instance = std::make_unique<InstanceObject>(std::move(open));
        new InstanceAdaptor(*instance);
    }
    std::optional<QDBusConnection> bus = waitForSessionBus(kStartUpBusWait);
    if (!bus) {
        // A daemon that answers later still gets the name, without a wait, so that later starts
        // come to this player.
        whenSessionBusAnswers(
            instance.get(), [name, object = instance.get()](QDBusConnection late) {
                late.registerObject(kObjectPath, object, QDBusConnection::ExportAdaptors);
                late.send(daemonCall(QStringLiteral("RequestName"), {name, kDoNotQueue}));
            });
        return InstanceClaim::First;
    }
    bus->registerObject(kObjectPath, instance.get(), QDBusConnection::ExportAdaptors);
    const QDBusMessage reply = bus->call(
        daemonCall(QStringLiteral("RequestName"), {name, kDoNotQueue}), QDBus::Block, kCallTimeout);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return InstanceClaim::First;
    const uint answer = reply.arguments().constFirst().toUInt();
    if (answer == kPrimaryOwner || answer == kAlreadyOwner)
        return InstanceClaim::First;
    return handOver(*bus, name, files) ? InstanceClaim::HandedOver : InstanceClaim::First;
}

void releaseInstance(const QString &name)
{
    std::unique_ptr<InstanceObject> &instance = instanceObject();
    if (!instance)
        return;
    if (std::optional<QDBusConnection> bus = sessionBus()) {
        bus->unregisterObject(kObjectPath);
        bus->send(daemonCall(QStringLiteral("ReleaseName"), {name}));
    }
    instance.reset();
}

} // namespace session

#include "SingleInstance.moc"

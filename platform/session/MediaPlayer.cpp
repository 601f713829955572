#include "session/MediaPlayer.h"

#include "session/MediaControls.h"
#include "session/SessionBus.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QStringList>

#include <memory>
#include <optional>

namespace session
{
namespace
{

const QString kServiceName = QStringLiteral("org.mpris.MediaPlayer2.PellinPlayer");
const QString kObjectPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kPlayerInterface = QStringLiteral("org.mpris.MediaPlayer2.Player");

// The object on the bus; its two adaptors are the two interfaces.
class PlayerObject : public QObject
{
    Q_OBJECT
  public:
    PlayerObject(PlayerActions playerActions, QString name, QString entry)
        : actions(std::move(playerActions)), identity(std::move(name)),
          desktopEntry(std::move(entry))
    {
    }
    PlayerActions actions;
    QString identity;
    QString desktopEntry;
};

void run(const std::function<void()> &action)
{
    if (action)
        action();
}

class RootAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ canQuit)
    Q_PROPERTY(bool CanRaise READ canRaise)
    Q_PROPERTY(bool HasTrackList READ hasTrackList)
    Q_PROPERTY(QString Identity READ identity)
    Q_PROPERTY(QString DesktopEntry READ desktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ supportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ supportedMimeTypes)
  public:
    explicit RootAdaptor(PlayerObject &player) : QDBusAbstractAdaptor(&player), mPlayer(player) {}
    bool canQuit() const { return false; }
    bool canRaise() const { return true; }
    bool hasTrackList() const { return false; }
    QString identity() const { return mPlayer.identity; }
    QString desktopEntry() const { return mPlayer.desktopEntry; }
    QStringList supportedUriSchemes() const { return {}; }
    QStringList supportedMimeTypes() const { return {}; }

  public slots:
    void Raise() { run(mPlayer.actions.raise); }
    void Quit() {}

  private:
    PlayerObject &mPlayer;
};

class PlayerAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ playbackStatus)
    Q_PROPERTY(double Rate READ rate)
    Q_PROPERTY(double MinimumRate READ minimumRate)
    Q_PROPERTY(double MaximumRate READ maximumRate)
    Q_PROPERTY(QVariantMap Metadata READ metadata)
    Q_PROPERTY(double Volume READ volume)
    Q_PROPERTY(qlonglong Position READ position)
    Q_PROPERTY(bool CanGoNext READ canGoNext)
    Q_PROPERTY(bool CanGoPrevious READ canGoPrevious)
    Q_PROPERTY(bool CanPlay READ canPlay)
    Q_PROPERTY(bool CanPause READ canPause)
    Q_PROPERTY(bool CanSeek READ canSeek)
    Q_PROPERTY(bool CanControl READ canControl)
  public:
    explicit PlayerAdaptor(PlayerObject &player) : QDBusAbstractAdaptor(&player), mPlayer(player) {}
    QString playbackStatus() const { return mediaControls().playbackStatus(); }
    double rate() const { return mediaControls().state().rate; }
    // The speeds of the View menu.
    double minimumRate() const { return 0.75; }
    double maximumRate() const { return 2.0; }
    QVariantMap metadata() const { return mediaControls().metadata(); }
    double volume() const { return 1.0; }
    qlonglong position() const { return mPlayer.actions.position ? mPlayer.actions.position() : 0; }
    bool canGoNext() const { return mediaControls().canGoNext(); }
    bool canGoPrevious() const { return mediaControls().canGoPrevious(); }
    bool canPlay() const { return mediaControls().canPlay(); }
    bool canPause() const { return mediaControls().canPause(); }
    bool canSeek() const { return mediaControls().canSeek(); }
    bool canControl() const { return true; }

  public slots:
    void Next() { run(mPlayer.actions.next); }
    void Previous() { run(mPlayer.actions.previous); }
    void Pause() { run(mPlayer.actions.pause); }
    void PlayPause() { run(mPlayer.actions.playPause); }
    void Stop() { run(mPlayer.actions.stop); }
    void Play() { run(mPlayer.actions.play); }
    void Seek(qlonglong Offset)
    {
        if (mPlayer.actions.seek)
            mPlayer.actions.seek(Offset);
    }
    void SetPosition(const QDBusObjectPath &TrackId, qlonglong Position)
    {
        if (mPlayer.actions.setPosition)
            mPlayer.actions.setPosition(TrackId.path(), Position);
    }
    void OpenUri(const QString &) {}

  signals:
    // Declared for the interface's description; announceSeek sends it.
    void Seeked(qlonglong Position);

  private:
    PlayerObject &mPlayer;
};

struct Service {
    std::unique_ptr<PlayerObject> object;
    // The name the bus gave the player, once it has answered.
    QString name;
    QMetaObject::Connection changes;
    quint64 generation = 0;
    // The object is on the bus.
    bool offered = false;
};

std::optional<Service> &service()
{
    static std::optional<Service> running;
    return running;
}

// Counts the starts, so that the answer to an old start's name request changes nothing.
quint64 &generation()
{
    static quint64 count = 0;
    return count;
}

QDBusMessage busDaemonCall(const QString &method)
{
    return QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                          QStringLiteral("/org/freedesktop/DBus"),
                                          QStringLiteral("org.freedesktop.DBus"), method);
}

// Asks for the player's name without waiting for the answer. A second player of the same user
// takes a name of its own, as the desktop expects.
void requestName(const QDBusConnection &bus, const QString &name, quint64 start)
{
    constexpr uint kDoNotQueue = 4;
    constexpr uint kPrimaryOwner = 1;
    constexpr uint kAlreadyOwner = 4;
    callLater(bus, busDaemonCall(QStringLiteral("RequestName")) << name << kDoNotQueue,
              [name, start](const QDBusMessage &reply) {
                  std::optional<Service> &running = service();
                  if (!running || running->generation != start)
                      return;
                  const uint result =
                      reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
                          ? reply.arguments().constFirst().toUInt()
                          : 0;
                  if (result == kPrimaryOwner || result == kAlreadyOwner) {
                      running->name = name;
                      return;
                  }
                  // A bus that does not answer is not asked again.
                  if (reply.type() != QDBusMessage::ReplyMessage || name != kServiceName)
                      return;
                  if (const std::optional<QDBusConnection> connection = sessionBus())
                      requestName(*connection,
                                  kServiceName + QStringLiteral(".instance") +
                                      QString::number(QCoreApplication::applicationPid()),
                                  start);
              });
}

void sendPropertiesChanged(const QVariantMap &changed)
{
    const std::optional<QDBusConnection> bus = sessionBus();
    if (!bus)
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                   QStringLiteral("PropertiesChanged"));
    signal << kPlayerInterface << changed << QStringList();
    bus->send(signal);
}

// Puts the running player's object on the bus and asks for its name.
void offer(QDBusConnection bus, quint64 start)
{
    std::optional<Service> &running = service();
    if (!running || running->generation != start)
        return;
    if (!bus.registerObject(kObjectPath, running->object.get(), QDBusConnection::ExportAdaptors))
        return;
    running->offered = true;
    requestName(bus, kServiceName, start);
}

} // namespace

bool startMediaPlayer(PlayerActions actions, const QString &identity, const QString &desktopEntry)
{
    stopMediaPlayer();
    Service running;
    running.object = std::make_unique<PlayerObject>(std::move(actions), identity, desktopEntry);
    new RootAdaptor(*running.object);
    new PlayerAdaptor(*running.object);
    running.changes = QObject::connect(&mediaControls(), &MediaControls::propertiesChanged,
                                       running.object.get(), &sendPropertiesChanged);
    running.generation = ++generation();
    QObject *const object = running.object.get();
    service() = std::move(running);
    // A bus whose daemon has not answered yet gets the player once it does.
    const quint64 start = generation();
    whenSessionBusAnswers(object, [start](QDBusConnection bus) { offer(bus, start); });
    return service() && service()->offered;
}

void stopMediaPlayer()
{
    std::optional<Service> &running = service();
    if (!running)
        return;
    if (std::optional<QDBusConnection> bus = sessionBus(); bus && running->offered) {
        // Sent without waiting for the answer: the bus may have stopped answering.
        if (!running->name.isEmpty())
            bus->send(busDaemonCall(QStringLiteral("ReleaseName")) << running->name);
        bus->unregisterObject(kObjectPath);
    }
    running.reset();
}

void announceSeek(qint64 position)
{
    if (!service())
        return;
    const std::optional<QDBusConnection> bus = sessionBus();
    if (!bus)
        return;
    QDBusMessage signal =
        QDBusMessage::createSignal(kObjectPath, kPlayerInterface, QStringLiteral("Seeked"));
    signal << qlonglong(position);
    bus->send(signal);
}

} // namespace session

#include "MediaPlayer.moc"

#include "session/ScreenAwake.h"

#include "session/SessionBus.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QTimer>
#include <QVariantMap>

#include <optional>

namespace session
{
namespace
{

const QString kPortal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kPortalInhibit = QStringLiteral("org.freedesktop.portal.Inhibit");
const QString kPortalRequest = QStringLiteral("org.freedesktop.portal.Request");
const QString kScreenSaver = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kReason = QStringLiteral("Playing a video");
// The portal's flag for idleness: the screen neither blanks nor locks, the session does not
// suspend for want of input.
constexpr unsigned kInhibitIdle = 8;

enum class Route { Unknown, Portal, ScreenSaver };

// What the session has been asked on the bus, and how to take it back.
struct BusInhibition {
    // The service that answered an inhibit call; until one has, the portal is tried first and
    // the screen saver where the portal is missing or refuses.
    Route route = Route::Unknown;
    // The inhibit call while its answer is still on the way, and the service it went to.
    std::optional<QDBusPendingCall> pending;
    Route asked = Route::Unknown;
    // Tells an answer that still counts from one given up on at the program's end.
    quint64 ticket = 0;
    // The answer: the screen saver's cookie or the portal's request handle.
    std::optional<unsigned> cookie;
    QString handle;
};

QDBusMessage inhibitCall(Route route)
{
    QDBusMessage call;
    if (route == Route::Portal) {
        call = QDBusMessage::createMethodCall(kPortal, kPortalPath, kPortalInhibit,
                                              QStringLiteral("Inhibit"));
        call << QString() << kInhibitIdle << QVariantMap{{QStringLiteral("reason"), kReason}};
    } else {
        call = QDBusMessage::createMethodCall(kScreenSaver, kScreenSaverPath, kScreenSaver,
                                              QStringLiteral("Inhibit"));
        call << QCoreApplication::applicationName() << kReason;
    }
    return call;
}

// No call waits for the bus while the program runs: answers come in the event loop. Only at the
// program's end does it wait, briefly, so that the release leaves before the process does; a
// bus that does not answer by then is left to drop the inhibition with the connection.
class Inhibition
{
  public:
    void add(int holders)
    {
        mHolders += holders;
        if (!QCoreApplication::instance()) {
            apply();
            return;
        }
        if (mScheduled)
            return;
        mScheduled = true;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [this] {
                mScheduled = false;
                apply();
            },
            Qt::QueuedConnection);
    }

    void setSeam(ScreenSaverSeam seam)
    {
        applyNow();
        mSeam = std::move(seam);
        // The new listener has been asked nothing yet.
        mAsked = false;
        apply();
    }

    void applyNow()
    {
        mEnding = true;
        apply();
        if (mBus.pending)
            waitForAnswer();
        if (mBus.pending) {
            mBus.pending.reset();
            ++mBus.ticket;
        }
        mEnding = false;
    }

  private:
    void apply()
    {
        const bool wanted = mHolders > 0;
        if (wanted == mAsked)
            return;
        mAsked = wanted;
        if (mSeam)
            mSeam(wanted);
        else if (wanted)
            inhibit();
        else
            release();
    }

    void inhibit()
    {
        // A release asked for meanwhile waits for this answer; nothing new is sent.
        if (mBus.pending)
            return;
        send(mBus.route == Route::Unknown ? Route::Portal : mBus.route);
    }

    void send(Route route)
    {
        const std::optional<QDBusConnection> bus = sessionBus();
        if (!bus) {
            awaitBus();
            return;
        }
        mBus.asked = route;
        mBus.pending = bus->asyncCall(inhibitCall(route), kCallTimeout);
        const quint64 ticket = ++mBus.ticket;
        auto *watcher = new QDBusPendingCallWatcher(*mBus.pending, QCoreApplication::instance());
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
                         [this, watcher, ticket] {
                             watcher->deleteLater();
                             if (mBus.pending && ticket == mBus.ticket)
                                 answered();
                         });
    }

    // A bus that has not answered yet may still: the screen is kept awake then, should a video
    // still be playing.
    void awaitBus()
    {
        if (mAwaitingBus || !QCoreApplication::instance())
            return;
        mAwaitingBus = true;
        whenSessionBusAnswers(QCoreApplication::instance(), [this](const QDBusConnection &) {
            mAwaitingBus = false;
            if (mAsked && !mSeam && !mBus.pending && !mBus.cookie && mBus.handle.isEmpty())
                inhibit();
        });
    }

    // The program ends: the answer of the inhibit call on the way is waited for a moment.
    void waitForAnswer()
    {
        QEventLoop loop;
        QDBusPendingCallWatcher watcher(*mBus.pending);
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit,
                         Qt::QueuedConnection);
        QTimer::singleShot(kExitCallTimeout, &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        if (mBus.pending && watcher.isFinished())
            answered();
    }

    // The inhibit call has its answer; a release asked for meanwhile goes out now.
    void answered()
    {
        const QDBusPendingCall call = *mBus.pending;
        mBus.pending.reset();
        if (call.isError()) {
            // The portal is missing or cannot inhibit: the screen saver may.
            if (mBus.route == Route::Unknown && mBus.asked == Route::Portal && mAsked)
                send(Route::ScreenSaver);
            return;
        }
        mBus.route = mBus.asked;
        if (mBus.route == Route::Portal) {
            const QDBusPendingReply<QDBusObjectPath> reply = call;
            mBus.handle = reply.value().path();
        } else {
            const QDBusPendingReply<unsigned> reply = call;
            mBus.cookie = reply.value();
        }
        if (!mAsked)
            release();
    }

    void release()
    {
        if (mBus.pending)
            return;
        const std::optional<QDBusConnection> bus = sessionBus();
        if (!bus)
            return;
        QDBusMessage call;
        if (!mBus.handle.isEmpty()) {
            call = QDBusMessage::createMethodCall(kPortal, mBus.handle, kPortalRequest,
                                                  QStringLiteral("Close"));
        } else if (mBus.cookie) {
            call = QDBusMessage::createMethodCall(kScreenSaver, kScreenSaverPath, kScreenSaver,
                                                  QStringLiteral("UnInhibit"));
            call << *mBus.cookie;
        } else {
            return;
        }
        mBus.handle.clear();
        mBus.cookie.reset();
        // When the program is ending the release must leave before the process does.
        if (mEnding)
            bus->call(call, QDBus::Block, kExitCallTimeout);
        else
            bus->send(call);
    }

    int mHolders = 0;
    bool mAsked = false;
    bool mScheduled = false;
    bool mEnding = false;
    bool mAwaitingBus = false;
    ScreenSaverSeam mSeam;
    BusInhibition mBus;
};

Inhibition &inhibition()
{
    static Inhibition state;
    return state;
}

} // namespace

KeepAwake::~KeepAwake()
{
    hold(false);
}

void KeepAwake::hold(bool held)
{
    if (held == mHeld)
        return;
    mHeld = held;
    inhibition().add(held ? 1 : -1);
}

void setScreenSaverSeam(ScreenSaverSeam seam)
{
    inhibition().setSeam(std::move(seam));
}

void applyKeepAwakeNow()
{
    inhibition().applyNow();
}

} // namespace session

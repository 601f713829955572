#include "session/ScreenAwake.h"

#include "session/SessionBus.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
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

enum class Route { Unknown, None, Portal, ScreenSaver };

// What the session has been asked on the bus, and how to take it back.
struct BusInhibition {
    Route route = Route::Unknown;
    // The inhibit call while its answer is still on the way.
    std::optional<QDBusPendingCall> pending;
    // The answer: the screen saver's cookie or the portal's request handle.
    std::optional<unsigned> cookie;
    QString handle;
};

class Inhibition
{
  public:
    void add(int holders)
    {
        mHolders += holders;
        if (!QCoreApplication::instance()) {
            apply(false);
            return;
        }
        if (mScheduled)
            return;
        mScheduled = true;
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [this] {
                mScheduled = false;
                apply(false);
            },
            Qt::QueuedConnection);
    }

    void setSeam(ScreenSaverSeam seam)
    {
        applyNow();
        mSeam = std::move(seam);
        // The new listener has been asked nothing yet.
        mAsked = false;
        apply(true);
    }

    void applyNow()
    {
        apply(true);
        if (mBus.pending) {
            mBus.pending->waitForFinished();
            answered(true);
        }
    }

  private:
    void apply(bool now)
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
            release(now);
    }

    void inhibit()
    {
        const std::optional<QDBusConnection> bus = sessionBus();
        if (!bus)
            return;
        if (mBus.pending) // a release asked meanwhile waits for this answer; nothing new is sent
            return;
        if (mBus.route == Route::Unknown) {
            mBus.route = serviceAvailable(*bus, kPortal)        ? Route::Portal
                         : serviceAvailable(*bus, kScreenSaver) ? Route::ScreenSaver
                                                                : Route::None;
        }
        QDBusMessage call;
        if (mBus.route == Route::Portal) {
            call = QDBusMessage::createMethodCall(kPortal, kPortalPath, kPortalInhibit,
                                                  QStringLiteral("Inhibit"));
            call << QString() << kInhibitIdle << QVariantMap{{QStringLiteral("reason"), kReason}};
        } else if (mBus.route == Route::ScreenSaver) {
            call = QDBusMessage::createMethodCall(kScreenSaver, kScreenSaverPath, kScreenSaver,
                                                  QStringLiteral("Inhibit"));
            call << QCoreApplication::applicationName() << kReason;
        } else {
            return;
        }
        mBus.pending = bus->asyncCall(call, kCallTimeout);
        auto *watcher = new QDBusPendingCallWatcher(*mBus.pending, QCoreApplication::instance());
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [this, watcher] {
            watcher->deleteLater();
            if (mBus.pending)
                answered(false);
        });
    }

    // The inhibit call has its answer; a release asked for meanwhile goes out now.
    void answered(bool now)
    {
        const QDBusPendingCall call = *mBus.pending;
        mBus.pending.reset();
        if (call.isError())
            return;
        if (mBus.route == Route::Portal) {
            const QDBusPendingReply<QDBusObjectPath> reply = call;
            mBus.handle = reply.value().path();
        } else {
            const QDBusPendingReply<unsigned> reply = call;
            mBus.cookie = reply.value();
        }
        if (!mAsked)
            release(now);
    }

    void release(bool now)
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
        if (now)
            bus->call(call, QDBus::Block, kCallTimeout);
        else
            bus->send(call);
    }

    int mHolders = 0;
    bool mAsked = false;
    bool mScheduled = false;
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

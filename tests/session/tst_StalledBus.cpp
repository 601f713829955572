// The player on a session bus whose daemon stops answering (stopped with SIGSTOP, as when the
// desktop session hangs), before the player's first connection or after it: start-up, playing,
// pausing and the desktop's media controls go on, the GUI thread keeps answering, and File > Exit
// ends the run within a moment.
#include "common/modGlobals.h"
#include "player/DesktopControls.h"
#include "player/frmMain.h"
#include "session/MediaControls.h"
#include "session/Session.h"
#include "session/SingleInstance.h"
#include "support/SimulatedCourse.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusReply>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <optional>

#include <sys/types.h>
#include <unistd.h>

using support::playEntry;
using support::course::kModule;

namespace
{

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.PellinPlayer");
// The longest the GUI thread may go without running the watchdog's timer: a window that does
// not answer for longer looks frozen. On a loaded two-core machine the thread idling in the
// event loop was seen to miss its timer by up to 142 ms with nothing of the program running,
// so the bound sits above that, and far below the bus's waits (2 s for a call, 25 s for a
// connection) that it guards against.
constexpr qint64 kLongestStand = 250;
// The name the suite claims as the one player of the session.
const QString kInstance = QStringLiteral("com.vorlund.PellinPlayer.Stalled");

// How long, in ns, the calling thread has been ready to run but waiting for a processor (the
// second field of its schedstat): time the machine's load takes, not the program.
qint64 waitedForProcessor()
{
    QFile stat(QStringLiteral("/proc/thread-self/schedstat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = stat.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : 0;
}

// The longest time the GUI thread went without running a short timer, less the time it stood
// ready while other processes had the machine's processors: a GUI thread that waits for the bus
// sleeps, and that counts in full.
class Watchdog
{
  public:
    Watchdog()
    {
        mTimer.setInterval(10);
        QObject::connect(&mTimer, &QTimer::timeout, [this] { tick(); });
        mTimer.start();
        mSince.start();
        mWaited = waitedForProcessor();
    }
    // Counts the time until now as well: a thread still stuck has not ticked yet.
    qint64 longestGap()
    {
        tick();
        return mLongest;
    }

  private:
    void tick()
    {
        const qint64 waited = waitedForProcessor();
        const qint64 gap = mSince.restart() - (waited - mWaited) / 1000000;
        mWaited = waited;
        mLongest = std::max(mLongest, gap);
    }

    QTimer mTimer;
    QElapsedTimer mSince;
    qint64 mWaited = 0;
    qint64 mLongest = 0;
};

pid_t parentOf(pid_t process)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(process));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    // "pid (name) state ppid ...": the name may hold spaces, the last ')' ends it.
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 1 ? pid_t(fields.at(1).toInt()) : 0;
}

} // namespace

class StalledBusTest : public QObject
{
    Q_OBJECT

  private:
    std::optional<support::WindowFixture> f;
    // The suite's own connection, made before the daemon stops; the player's is the process's
    // session bus connection, made when the player first asks for it.
    std::optional<QDBusConnection> mSuiteBus;
    pid_t mDaemon = 0;
    bool mStopped = false;

    frmMain &main() { return forms::frmMain(); }

    void stopDaemon()
    {
        QVERIFY(::kill(mDaemon, SIGSTOP) == 0);
        mStopped = true;
    }
    void continueDaemon()
    {
        if (mStopped)
            ::kill(mDaemon, SIGCONT);
        mStopped = false;
    }

    // Playing, pausing and resuming, then File > Exit and what the program does once its event
    // loop has ended, all while the daemon is stopped: the GUI thread never stands longer than
    // a moment, and the end comes well within the bus's timeouts.
    void playPauseAndExitWithTheDaemonStopped(Watchdog &watchdog)
    {
        playEntry(kModule);
        QCOMPARE(session::mediaControls().playbackStatus(), QStringLiteral("Playing"));
        support::pressMain("play");
        QCOMPARE(session::mediaControls().playbackStatus(), QStringLiteral("Paused"));
        support::pressMain("play");
        QCOMPARE(session::mediaControls().playbackStatus(), QStringLiteral("Playing"));
        // Long enough for every call the player made to the bus to run out of time.
        QTest::qWait(3000);
        QCOMPARE(main().tlbMain.Buttons("play").Image(), QStringLiteral("pause"));

        // The stands are those of playing; the exit waits on purpose (up to 250 ms for a
        // pending inhibit) and has its own bound below.
        const qint64 gap = watchdog.longestGap();
        QElapsedTimer exit;
        exit.start();
        main().mnuExit_Click();
        session::endSession();
        const qint64 exitMs = exit.elapsed();
        qInfo("exit took %lld ms; the GUI thread stood at most %lld ms", exitMs, gap);
        // Liveness bounds far below the bus's timeouts (25 s for a connection, 2 s for a call).
        QVERIFY2(exitMs < 2000, qPrintable(QStringLiteral("exit took %1 ms").arg(exitMs)));
        QVERIFY2(gap < kLongestStand,
                 qPrintable(QStringLiteral("the GUI thread stood %1 ms").arg(gap)));
    }

    bool playerOnTheBus() { return mSuiteBus->interface()->isServiceRegistered(kService); }

  private slots:
    void initTestCase()
    {
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
            QSKIP("needs a session bus of its own (dbus-run-session)");
        mSuiteBus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("suite"));
        QVERIFY(mSuiteBus->isConnected());
        const QDBusReply<uint> daemon =
            mSuiteBus->interface()->servicePid(QStringLiteral("org.freedesktop.DBus"));
        QVERIFY2(daemon.isValid(), qPrintable(daemon.error().message()));
        mDaemon = pid_t(daemon.value());
        QVERIFY(mDaemon > 0);
        if (parentOf(mDaemon) != ::getppid())
            QSKIP("the session bus is not one that dbus-run-session started for this suite");
    }

    void init()
    {
        f.emplace();
        support::loadSimulatedCourse(*f);
        main().Show();
    }

    void cleanup()
    {
        continueDaemon();
        f.reset();
    }

    // Runs first: the player has not connected to the bus yet.
    void startUpAndPlayGoOnWhenTheBusStallsBeforeTheFirstConnection()
    {
        Watchdog watchdog;
        stopDaemon();
        // The services ask for the bus as the program's start does: the one player of the
        // session, then the desktop's media controls.
        QCOMPARE(session::claimInstance(kInstance, {}, [](const QStringList &) {}),
                 session::InstanceClaim::First);
        desktopControls::start();
        playPauseAndExitWithTheDaemonStopped(watchdog);
        // A daemon that answers again gets the player after all.
        continueDaemon();
        QTRY_VERIFY(mSuiteBus->interface()->isServiceRegistered(kInstance));
        session::releaseInstance(kInstance);
    }

    void playingAndExitGoOnWhenTheBusStallsAfterTheFirstConnection()
    {
        desktopControls::start();
        // The player is on the bus before the bus stops.
        QTRY_VERIFY(playerOnTheBus());
        Watchdog watchdog;
        stopDaemon();
        playPauseAndExitWithTheDaemonStopped(watchdog);
    }
};

QTEST_MAIN(StalledBusTest)
#include "tst_StalledBus.moc"

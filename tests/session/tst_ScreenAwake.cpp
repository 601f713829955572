#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "mci/SimulatedMedia.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "session/ScreenAwake.h"
#include "session/Session.h"
#include "session/SessionBus.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QMutex>
#include <QMutexLocker>
#include <QTest>
#include <QThread>

#include <optional>

using namespace modGlobals;

namespace
{

const QString kModule = QStringLiteral("/course/videos/module1.avi");

// What the session was asked, in order: "inhibit" and "release".
class Journal
{
  public:
    void add(const QString &entry)
    {
        QMutexLocker lock(&mMutex);
        mEntries << entry;
    }
    void clear()
    {
        QMutexLocker lock(&mMutex);
        mEntries.clear();
    }
    QStringList entries() const
    {
        QMutexLocker lock(&mMutex);
        return mEntries;
    }

  private:
    mutable QMutex mMutex;
    QStringList mEntries;
};

// A desktop's screen saver as far as the player uses it, on a connection and thread of its own
// so that the player's calls are answered while the test's thread waits.
class ScreenSaverService : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
  public:
    explicit ScreenSaverService(Journal &journal) : mJournal(journal) {}

  public slots:
    uint Inhibit(const QString &application, const QString &reason)
    {
        mJournal.add(QStringLiteral("inhibit"));
        mApplication = application;
        mReason = reason;
        return ++mCookie;
    }
    void UnInhibit(uint cookie)
    {
        mJournal.add(cookie == mCookie
                         ? QStringLiteral("release")
                         : QStringLiteral("release of unknown cookie %1").arg(cookie));
    }

  public:
    QString mApplication;
    QString mReason;

  private:
    Journal &mJournal;
    uint mCookie = 40;
};

} // namespace

// The screen is kept awake from play until pause, stop, close or exit, and the moves between the
// main window and full screen keep it so without asking the session again.
class ScreenAwakeTest : public QObject
{
    Q_OBJECT

  private:
    std::optional<support::WindowFixture> f;
    Journal mJournal;
    QThread mServiceThread;
    ScreenSaverService *mService = nullptr;
    bool mOnBus = false;

    frmMain &main() { return forms::frmMain(); }

    void act(const QString &step)
    {
        if (step == QLatin1String("play")) {
            forms::frmPlaylist().lvPlaylist.findKey(kModule)->setSelected(true);
            forms::frmPlaylist().lvPlaylist_Click();
        } else if (step == QLatin1String("pause") || step == QLatin1String("resume")) {
            support::pressMain("play");
        } else if (step == QLatin1String("stop")) {
            support::pressMain("stop");
        } else if (step == QLatin1String("end")) {
            f->media->advance(20000);
            main().tmrMediaScroller.tick();
        } else if (step == QLatin1String("full screen")) {
            main().tlbMain.click("full");
        } else if (step == QLatin1String("Esc")) {
            QTest::keyClick(&forms::frmFullScreen().screener, Qt::Key_Escape);
            support::flushDeletes();
        } else if (step == QLatin1String("exit")) {
            main().mnuExit_Click();
            // What the program does once its event loop has ended.
            session::endSession();
        }
        // The event loop runs between the student's actions.
        QCoreApplication::processEvents();
    }

  private slots:
    void initTestCase()
    {
        mOnBus = session::waitForSessionBus(session::kCallTimeout).has_value();
        if (!mOnBus)
            return;
        mServiceThread.start();
        QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("saver"));
        QVERIFY(bus.isConnected());
        mService = new ScreenSaverService(mJournal);
        mService->moveToThread(&mServiceThread);
        QVERIFY(bus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"), mService,
                                   QDBusConnection::ExportAllSlots));
        QVERIFY(bus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    }

    void cleanupTestCase()
    {
        if (!mOnBus)
            return;
        QDBusConnection::disconnectFromBus(QStringLiteral("saver"));
        mServiceThread.quit();
        mServiceThread.wait();
        delete mService;
    }

    void init()
    {
        f.emplace();
        f->simulateMedia().addFile(kModule, 20000, QSize(640, 480));
        forms::frmPlaylist().AddEntry(kModule, "Module 1", "0:20");
        main().Show();
        if (!mOnBus)
            session::setScreenSaverSeam([this](bool inhibit) {
                mJournal.add(inhibit ? QStringLiteral("inhibit") : QStringLiteral("release"));
            });
    }

    void cleanup()
    {
        f.reset();
        // Whatever a case left held is given back before the next one counts.
        QTRY_VERIFY(mJournal.entries().size() % 2 == 0);
        mJournal.clear();
    }

    // Each step with what the session has been asked once it is done, in order.
    void fromPlayUntilPauseStopCloseOrExit_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QStringList>("asked");
        QTest::newRow("play") << QStringList{"play"} << QStringList{"inhibit"};
        QTest::newRow("play, pause")
            << QStringList{"play", "pause"} << QStringList{"inhibit", "inhibit release"};
        QTest::newRow("play, pause, resume")
            << QStringList{"play", "pause", "resume"}
            << QStringList{"inhibit", "inhibit release", "inhibit release inhibit"};
        QTest::newRow("play, stop")
            << QStringList{"play", "stop"} << QStringList{"inhibit", "inhibit release"};
        QTest::newRow("play to the end")
            << QStringList{"play", "end"} << QStringList{"inhibit", "inhibit release"};
        QTest::newRow("play, full screen, Esc") << QStringList{"play", "full screen", "Esc"}
                                                << QStringList{"inhibit", "inhibit", "inhibit"};
        QTest::newRow("play, exit")
            << QStringList{"play", "exit"} << QStringList{"inhibit", "inhibit release"};
        QTest::newRow("play, pause, exit")
            << QStringList{"play", "pause", "exit"}
            << QStringList{"inhibit", "inhibit release", "inhibit release"};
    }

    void fromPlayUntilPauseStopCloseOrExit()
    {
        QFETCH(QStringList, steps);
        QFETCH(QStringList, asked);
        for (int i = 0; i < steps.size(); ++i) {
            act(steps[i]);
            QTRY_COMPARE(mJournal.entries().join(u' '), asked[i]);
        }
        if (mOnBus) {
            QCOMPARE(mService->mApplication, QCoreApplication::applicationName());
            QCOMPARE(mService->mReason, QStringLiteral("Playing a video"));
        }
    }

    void withoutASessionBusNothingIsAsked()
    {
        if (mOnBus)
            QSKIP("this run has a session bus");
        session::setScreenSaverSeam({});
        act("play");
        act("pause");
        act("resume");
        act("exit");
        QVERIFY(!session::sessionBus());
        QVERIFY(mJournal.entries().isEmpty());
    }
};

QTEST_MAIN(ScreenAwakeTest)
#include "tst_ScreenAwake.moc"

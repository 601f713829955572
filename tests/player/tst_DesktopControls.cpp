// The player on a session bus of the test's own (dbus-run-session), driven by a client on a
// connection of its own as the desktop's media controls would: what the bus shows of the player,
// every method against the player's states, the change signals, Seek and SetPosition. Without a
// bus (the _nobus run) nothing is offered and the player plays as before.
#include "common/modGlobals.h"
#include "fullscreen/frmFullScreen.h"
#include "fullscreen/frmFullToolbar.h"
#include "mci/SimulatedMedia.h"
#include "player/DesktopControls.h"
#include "player/GivenFiles.h"
#include "player/frmMain.h"
#include "playlist/frmPlaylist.h"
#include "session/MediaControls.h"
#include "support/Files.h"
#include "support/SimulatedCourse.h"
#include "support/WindowFixture.h"
#include "support/Windows.h"
#include "toolkit/Forms.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QTest>

#include <optional>

using namespace modGlobals;
using support::playEntry;

namespace
{
using support::course::kIntro;
using support::course::kLong;
using support::course::kModule;

const QString kService = QStringLiteral("org.mpris.MediaPlayer2.PellinPlayer");
const QString kPath = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRootInterface = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");

bool busAvailable()
{
    return !qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS");
}

} // namespace

// The desktop's side: a connection of its own that hears the player's signals.
class Desktop : public QObject
{
    Q_OBJECT
  public:
    Desktop()
        : bus(QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("desktop")))
    {
        bus.connect(kService, kPath, kProperties, QStringLiteral("PropertiesChanged"), this,
                    SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        bus.connect(kService, kPath, kPlayer, QStringLiteral("Seeked"), this,
                    SLOT(seeked(qlonglong)));
    }
    ~Desktop() override { QDBusConnection::disconnectFromBus(QStringLiteral("desktop")); }

    // Waits for the answer while the player, on this same thread, answers.
    QDBusMessage call(const QString &interface, const QString &method,
                      const QVariantList &arguments = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, interface, method);
        message.setArguments(arguments);
        return bus.call(message, QDBus::BlockWithGui, 5000);
    }

    QVariant property(const QString &interface, const QString &name)
    {
        const QDBusMessage reply = call(kProperties, QStringLiteral("Get"), {interface, name});
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return {};
        const QVariant value = reply.arguments().at(0).value<QDBusVariant>().variant();
        if (value.canConvert<QDBusArgument>())
            return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
        return value;
    }

    QDBusConnection bus;
    QList<QVariantMap> changes;
    QList<qlonglong> seeks;

  public slots:
    void propertiesChanged(const QString &interface, const QVariantMap &changed,
                           const QStringList &)
    {
        if (interface == kPlayer)
            changes << changed;
    }
    void seeked(qlonglong position) { seeks << position; }
};

class tst_DesktopControls : public QObject
{
    Q_OBJECT

  private:
    std::optional<support::WindowFixture> f;
    std::optional<Desktop> desktop;

    frmMain &main() { return forms::frmMain(); }
    frmPlaylist &playlist() { return forms::frmPlaylist(); }
    mci::SimulatedMedia &media() { return *f->media; }

    QString statusOnTheBus() { return desktop->property(kPlayer, "PlaybackStatus").toString(); }

    // The statuses the desktop heard of, in order.
    QStringList heardStatuses() const
    {
        QStringList statuses;
        for (const QVariantMap &change : desktop->changes)
            if (change.contains("PlaybackStatus"))
                statuses << change.value("PlaybackStatus").toString();
        return statuses;
    }

    // Selecting a row changes what the desktop may do without a press of the player's own, so
    // the state is published as the position timer would.
    void arrange(const QString &before)
    {
        support::arrangeState(*f, before);
        if (before == QLatin1String("empty"))
            playlist().lvPlaylist.Clear();
        if (before == QLatin1String("selected") || before == QLatin1String("empty"))
            desktopControls::publish();
    }

  private slots:
    void init()
    {
        f.emplace();
        support::loadSimulatedCourse(*f);
        main().Show();
        desktopControls::start();
        if (busAvailable()) {
            desktop.emplace();
            // The player goes on the bus once its daemon has answered the player's first look.
            QTRY_VERIFY(desktop->bus.interface()->isServiceRegistered(kService));
        }
    }

    void cleanup()
    {
        desktop.reset();
        f.reset();
    }

    void withoutABusThePlayerPlaysAsBefore()
    {
        if (busAvailable())
            QSKIP("the run with a session bus");
        playEntry(kModule);
        support::pressMain("play");
        QCOMPARE(main().tlbMain.Buttons("play").Image(), QStringLiteral("play"));
        QCOMPARE(session::mediaControls().playbackStatus(), QStringLiteral("Paused"));
    }

    void thePlayerOnTheBus()
    {
        if (!busAvailable())
            QSKIP("no session bus");
        QVERIFY(desktop->bus.interface()->isServiceRegistered(kService));
        const QDBusMessage introspection = desktop->call(
            QStringLiteral("org.freedesktop.DBus.Introspectable"), QStringLiteral("Introspect"));
        const QString xml = introspection.arguments().value(0).toString();
        for (const char *part :
             {"interface name=\"org.mpris.MediaPlayer2\"",
              "interface name=\"org.mpris.MediaPlayer2.Player\"", "method name=\"Raise\"",
              "method name=\"PlayPause\"", "method name=\"Play\"", "method name=\"Pause\"",
              "method name=\"Stop\"", "method name=\"Seek\"", "method name=\"SetPosition\"",
              "signal name=\"Seeked\"", "property name=\"PlaybackStatus\" type=\"s\"",
              "property name=\"Metadata\" type=\"a{sv}\"", "property name=\"Position\" type=\"x\"",
              "property name=\"CanSeek\" type=\"b\""})
            QVERIFY2(xml.contains(QLatin1String(part)), part);
        QCOMPARE(desktop->property(kRootInterface, "Identity").toString(),
                 QStringLiteral("Pellin Player"));
        QCOMPARE(desktop->property(kRootInterface, "DesktopEntry").toString(),
                 QStringLiteral("com.vorlund.PellinPlayer"));
        QCOMPARE(desktop->property(kRootInterface, "CanRaise").toBool(), true);
        QCOMPARE(desktop->call(kRootInterface, "Raise").type(), QDBusMessage::ReplyMessage);

        playEntry(kModule);
        media().advance(10000);
        const QVariantMap metadata = desktop->property(kPlayer, "Metadata").toMap();
        QCOMPARE(metadata.value("xesam:title").toString(), QStringLiteral("Module 1"));
        QCOMPARE(metadata.value("xesam:url").toString(),
                 QStringLiteral("file:///course/videos/module1.avi"));
        QCOMPARE(metadata.value("mpris:length").toLongLong(), 60000000LL);
        QCOMPARE(desktop->property(kPlayer, "Position").toLongLong(), 10000000LL);
        QCOMPARE(desktop->property(kPlayer, "CanGoNext").toBool(), true);
        QCOMPARE(desktop->property(kPlayer, "CanSeek").toBool(), true);
    }

    void methods_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("loaded");
        QTest::addColumn<QString>("playImage");
        QTest::newRow("PlayPause plays the selected entry") << "selected"
                                                            << "PlayPause"
                                                            << "Playing" << kModule << "pause";
        QTest::newRow("Play plays the selected entry") << "selected"
                                                       << "Play"
                                                       << "Playing" << kModule << "pause";
        QTest::newRow("Play with nothing chosen plays the first entry")
            << ""
            << "Play"
            << "Playing" << kIntro << "pause";
        QTest::newRow("PlayPause with nothing chosen plays the first entry")
            << ""
            << "PlayPause"
            << "Playing" << kIntro << "pause";
        QTest::newRow("Play with an empty playlist") << "empty"
                                                     << "Play"
                                                     << "Stopped"
                                                     << ""
                                                     << "play";
        QTest::newRow("PlayPause pauses") << "playing"
                                          << "PlayPause"
                                          << "Paused" << kModule << "play";
        QTest::newRow("Pause pauses") << "playing"
                                      << "Pause"
                                      << "Paused" << kModule << "play";
        QTest::newRow("Play while playing goes on") << "playing"
                                                    << "Play"
                                                    << "Playing" << kModule << "pause";
        QTest::newRow("Pause while paused stays") << "paused"
                                                  << "Pause"
                                                  << "Paused" << kModule << "play";
        QTest::newRow("Play resumes") << "paused"
                                      << "Play"
                                      << "Playing" << kModule << "pause";
        QTest::newRow("PlayPause resumes") << "paused"
                                           << "PlayPause"
                                           << "Playing" << kModule << "pause";
        QTest::newRow("Stop stops") << "playing"
                                    << "Stop"
                                    << "Stopped"
                                    << ""
                                    << "play";
        QTest::newRow("Stop with nothing loaded") << ""
                                                  << "Stop"
                                                  << "Stopped"
                                                  << ""
                                                  << "play";
        QTest::newRow("Next plays the next entry") << "playing"
                                                   << "Next"
                                                   << "Playing" << kLong << "pause";
        QTest::newRow("Previous plays the entry before") << "playing"
                                                         << "Previous"
                                                         << "Playing" << kIntro << "pause";
        QTest::newRow("Next after the last entry") << "last"
                                                   << "Next"
                                                   << "Playing" << kLong << "pause";
        QTest::newRow("a media key in full screen pauses") << "full screen"
                                                           << "PlayPause"
                                                           << "Paused" << kModule << "play";
    }

    // Each method does what the button or the entry's click does, and the desktop hears of the
    // status it leaves.
    void methods()
    {
        if (!busAvailable())
            QSKIP("no session bus");
        QFETCH(QString, before);
        QFETCH(QString, method);
        QFETCH(QString, status);
        QFETCH(QString, loaded);
        QFETCH(QString, playImage);
        arrange(before);
        const QString statusBefore = statusOnTheBus();

        QCOMPARE(desktop->call(kPlayer, method).type(), QDBusMessage::ReplyMessage);

        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), loaded);
        QCOMPARE(main().tlbMain.Buttons("play").Image(), playImage);
        QCOMPARE(statusOnTheBus(), status);
        if (status != statusBefore)
            QTRY_VERIFY(heardStatuses().endsWith(status));
        if (gFullScreen)
            QCOMPARE(forms::frmFullToolbar().tlbFullScreen.Buttons("play").Image(), playImage);
    }

    // Play, pause and stop are each heard once, in order, as the student presses them.
    void theDesktopHearsEveryChange()
    {
        if (!busAvailable())
            QSKIP("no session bus");
        playEntry(kModule);
        support::pressMain("play");
        support::pressMain("play");
        support::pressMain("stop");
        QTRY_COMPARE(heardStatuses(), (QStringList{"Playing", "Paused", "Playing", "Stopped"}));
        // The position timer ticking on a playing video tells nothing new.
        playEntry(kModule);
        QTRY_COMPARE(heardStatuses().size(), 5);
        // What the play told may still be on its way on a loaded machine: count from after it.
        QTest::qWait(200);
        const int heard = int(desktop->changes.size());
        for (int tick = 0; tick < 4; ++tick) {
            media().advance(500);
            main().tmrMediaScroller_Timer();
        }
        QTest::qWait(100);
        QCOMPARE(int(desktop->changes.size()), heard);
    }

    // A list that fills or empties without a video changing tells the desktop whether Play has
    // something to play.
    void aListFilledOrEmptiedChangesCanPlay()
    {
        if (!busAvailable())
            QSKIP("no session bus");
        playlist().lvPlaylist.Clear();
        desktopControls::publish();
        QCOMPARE(desktop->property(kPlayer, "CanPlay").toBool(), false);
        const QString list = f->filePath("list.pel");
        QVERIFY(support::writeFile(list, "/course/videos/module1.avi;Module 1;1:00\r\n"));
        givenFiles::open({list});
        QCOMPARE(desktop->property(kPlayer, "CanPlay").toBool(), true);
        f->boxAnswer = toolkit::vbYes;
        playlist().tlbPlaylist_ButtonClick(playlist().tlbPlaylist.Buttons("new"));
        QCOMPARE(playlist().lvPlaylist.Count(), 0);
        QCOMPARE(desktop->property(kPlayer, "CanPlay").toBool(), false);
    }

    // After a video's end the controls offer Play only where Play plays: the entry again from
    // its start, the opened file again, or the course's first entry after the welcome video.
    void playAfterTheEnd_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("again");
        QTest::newRow("a playlist entry") << "entry" << kModule;
        QTest::newRow("a file opened") << "file" << kModule;
        QTest::newRow("the welcome video") << "welcome" << kIntro;
    }

    void playAfterTheEnd()
    {
        if (!busAvailable())
            QSKIP("no session bus");
        QFETCH(QString, how);
        QFETCH(QString, again);
        if (how == QLatin1String("entry")) {
            playEntry(kModule);
        } else if (how == QLatin1String("file")) {
            main().OpenVideoFile(kModule);
        } else {
            media().addFile(support::course::kRoot + "/welcome.asf", 5000);
            main().mnuWelcome_Click();
        }
        QVERIFY(!gMCI->LoadedFilename().empty());
        media().advance(800000);
        main().tmrMediaScroller_Timer();
        QCOMPARE(statusOnTheBus(), QStringLiteral("Stopped"));
        QCOMPARE(desktop->property(kPlayer, "CanPlay").toBool(), true);

        QCOMPARE(desktop->call(kPlayer, "Play").type(), QDBusMessage::ReplyMessage);

        QCOMPARE(QString::fromStdString(gMCI->LoadedFilename()), again);
        QCOMPARE(gMCI->GetCurrentMultimediaPos(), 0);
        QCOMPARE(statusOnTheBus(), QStringLiteral("Playing"));
    }

    void seekAndSetPosition_data()
    {
        QTest::addColumn<bool>("paused");
        QTest::addColumn<QString>("method");
        QTest::addColumn<qlonglong>("argument"); // microseconds
        QTest::addColumn<bool>("thisTrack");
        QTest::addColumn<int>("position"); // ms, afterwards
        QTest::newRow("Seek ahead, paused") << true << "Seek" << 5000000LL << true << 15000;
        QTest::newRow("Seek back, paused") << true << "Seek" << -4000000LL << true << 6000;
        QTest::newRow("Seek before the start, paused")
            << true << "Seek" << -20000000LL << true << 0;
        QTest::newRow("SetPosition, paused")
            << true << "SetPosition" << 30000000LL << true << 30000;
        QTest::newRow("SetPosition at the end, paused")
            << true << "SetPosition" << 60000000LL << true << 60000;
        QTest::newRow("SetPosition beyond the end, paused")
            << true << "SetPosition" << 60000001LL << true << 10000;
        QTest::newRow("SetPosition before the start, paused")
            << true << "SetPosition" << -1LL << true << 10000;
        QTest::newRow("SetPosition of another track, paused")
            << true << "SetPosition" << 30000000LL << false << 10000;
        QTest::newRow("Seek ahead, playing") << false << "Seek" << 5000000LL << true << 15000;
        QTest::newRow("Seek back, playing") << false << "Seek" << -4000000LL << true << 6000;
        QTest::newRow("Seek before the start, playing")
            << false << "Seek" << -20000000LL << true << 0;
        QTest::newRow("SetPosition, playing")
            << false << "SetPosition" << 30000000LL << true << 30000;
        QTest::newRow("SetPosition at the end, playing")
            << false << "SetPosition" << 60000000LL << true << 60000;
        QTest::newRow("SetPosition beyond the end, playing")
            << false << "SetPosition" << 60000001LL << true << 10000;
        QTest::newRow("SetPosition before the start, playing")
            << false << "SetPosition" << -1LL << true << 10000;
        QTest::newRow("SetPosition of another track, playing")
            << false << "SetPosition" << 30000000LL << false << 10000;
    }

    void seekAndSetPosition()
    {
        if (!busAvailable())
            QSKIP("no session bus");
        QFETCH(bool, paused);
        QFETCH(QString, method);
        QFETCH(qlonglong, argument);
        QFETCH(bool, thisTrack);
        QFETCH(int, position);
        playEntry(kModule);
        media().advance(10000);
        if (paused)
            support::pressMain("play");
        const QString image = paused ? QStringLiteral("play") : QStringLiteral("pause");
        desktop->seeks.clear();
        QVariantList arguments{argument};
        if (method == QLatin1String("SetPosition")) {
            const QString track =
                thisTrack ? session::mediaControls().trackId() : QStringLiteral("/other/track");
            arguments.prepend(QVariant::fromValue(QDBusObjectPath(track)));
        }

        QCOMPARE(desktop->call(kPlayer, method, arguments).type(), QDBusMessage::ReplyMessage);

        QCOMPARE(gMCI->GetCurrentMultimediaPos(), position);
        // A jump leaves the video as it was: paused stays paused, as the desktop's other
        // players keep it, and playing plays on.
        QCOMPARE(main().tlbMain.Buttons("play").Image(), image);
        QCOMPARE(statusOnTheBus(), paused ? QStringLiteral("Paused") : QStringLiteral("Playing"));
        if (position == 10000)
            return;
        QCOMPARE(main().sldVideo.Value(), position);
        QTRY_COMPARE(desktop->seeks, (QList<qlonglong>{qlonglong(position) * 1000}));
    }
};

QTEST_MAIN(tst_DesktopControls)
#include "tst_DesktopControls.moc"

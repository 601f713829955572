// What the desktop's media controls see of the player's state, apart from any bus: the derived
// properties of each state, and a change told only when something changed, with only what did.
#include "session/MediaControls.h"

#include <QDBusObjectPath>
#include <QSignalSpy>
#include <QTest>

using session::PlayerState;

Q_DECLARE_METATYPE(session::PlayerState)

namespace
{

PlayerState loaded(bool playing)
{
    PlayerState state;
    state.loaded = true;
    state.playing = playing;
    state.playable = true;
    state.seekable = true;
    state.hasNext = true;
    state.hasPrevious = true;
    state.title = QStringLiteral("Module 1");
    state.file = QStringLiteral("/course/videos/module 1.avi");
    state.lengthMs = 60000;
    return state;
}

QString trackOf(const QVariantMap &metadata)
{
    return metadata.value(QStringLiteral("mpris:trackid")).value<QDBusObjectPath>().path();
}

} // namespace

class tst_MediaControls : public QObject
{
    Q_OBJECT

  private slots:
    void init() { session::mediaControls().reset(); }

    void derivedProperties_data()
    {
        QTest::addColumn<PlayerState>("state");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QString>("can"); // play, pause, seek, next, previous as 1 and 0
        PlayerState selected;
        selected.playable = true;
        selected.hasNext = true;
        PlayerState intro = loaded(true);
        intro.seekable = true;
        intro.hasPrevious = false;
        PlayerState single = loaded(false);
        single.hasNext = single.hasPrevious = false;
        PlayerState stopping = loaded(true);
        stopping.seekable = false;
        QTest::newRow("nothing at all") << PlayerState{} << "Stopped"
                                        << "00000";
        QTest::newRow("an entry selected") << selected << "Stopped"
                                           << "10010";
        QTest::newRow("playing") << loaded(true) << "Playing"
                                 << "11111";
        QTest::newRow("paused") << loaded(false) << "Paused"
                                << "11111";
        QTest::newRow("the first entry") << intro << "Playing"
                                         << "11110";
        QTest::newRow("a file opened, paused") << single << "Paused"
                                               << "11100";
        QTest::newRow("the transport disabled") << stopping << "Playing"
                                                << "11011";
    }

    void derivedProperties()
    {
        QFETCH(PlayerState, state);
        QFETCH(QString, status);
        QFETCH(QString, can);
        session::MediaControls &controls = session::mediaControls();
        controls.setState(state);
        QCOMPARE(controls.playbackStatus(), status);
        const QString derived =
            QString::number(controls.canPlay()) + QString::number(controls.canPause()) +
            QString::number(controls.canSeek()) + QString::number(controls.canGoNext()) +
            QString::number(controls.canGoPrevious());
        QCOMPARE(derived, can);
        const QVariantMap properties = controls.properties();
        QCOMPARE(properties.value("PlaybackStatus").toString(), status);
        QCOMPARE(properties.value("CanGoNext").toBool(), can[3] == '1');
    }

    void metadataOfTheLoadedVideo()
    {
        session::MediaControls &controls = session::mediaControls();
        QCOMPARE(controls.metadata().keys(), QStringList{"mpris:trackid"});
        QCOMPARE(trackOf(controls.metadata()),
                 QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
        controls.setState(loaded(true));
        const QVariantMap data = controls.metadata();
        QCOMPARE(data.value("xesam:title").toString(), QStringLiteral("Module 1"));
        QCOMPARE(data.value("xesam:url").toString(),
                 QStringLiteral("file:///course/videos/module%201.avi"));
        QCOMPARE(data.value("mpris:length").toLongLong(), 60000000LL);
        QVERIFY(trackOf(data).startsWith(QStringLiteral("/com/vorlund/PellinPlayer/Track/")));
    }

    // Each state change is told once, with the properties it changed and no other.
    void changesAreToldOnce()
    {
        session::MediaControls &controls = session::mediaControls();
        QSignalSpy changes(&controls, &session::MediaControls::propertiesChanged);
        const auto last = [&changes] { return changes.last().at(0).toMap(); };

        controls.setState(loaded(true));
        QCOMPARE(changes.size(), 1);
        QCOMPARE(last().keys(), (QStringList{"CanGoNext", "CanGoPrevious", "CanPause", "CanPlay",
                                             "CanSeek", "Metadata", "PlaybackStatus"}));
        const QString firstTrack = trackOf(last().value("Metadata").toMap());

        controls.setState(loaded(true));
        QCOMPARE(changes.size(), 1);

        controls.setState(loaded(false));
        QCOMPARE(changes.size(), 2);
        QCOMPARE(last(), (QVariantMap{{"PlaybackStatus", "Paused"}}));

        PlayerState faster = loaded(false);
        faster.rate = 2;
        controls.setState(faster);
        QCOMPARE(last(), (QVariantMap{{"Rate", 2.0}}));

        PlayerState next = faster;
        next.file = QStringLiteral("/course/videos/module2.avi");
        next.title = QStringLiteral("Module 2");
        controls.setState(next);
        QCOMPARE(last().keys(), QStringList{"Metadata"});
        QVERIFY(trackOf(last().value("Metadata").toMap()) != firstTrack);

        controls.setState(PlayerState{});
        QCOMPARE(last().value("PlaybackStatus").toString(), QStringLiteral("Stopped"));
        QCOMPARE(changes.size(), 5);
    }
};

QTEST_MAIN(tst_MediaControls)
#include "tst_MediaControls.moc"

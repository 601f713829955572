// The playback speed of the command layer ("set ... speed", thousandths of the normal rate): its
// grammar and range, its effect on the simulated clock, and on real libmpv a clip at twice the
// speed, which plays to its end in about half its length (the wall time is printed). The volume
// ("setaudio ... volume to") likewise, on both engines.
#include "Send.h"
#include "mci/LibmpvEngine.h"
#include "mci/SimulatedMedia.h"
#include "support/Clips.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>

namespace
{
const QString kScripted = QStringLiteral("/course/lesson.avi");
} // namespace

class SpeedTest : public QObject
{
    Q_OBJECT

  private slots:
    void cleanup() { mci::useLibmpvEngine(); }

    void commands_data();
    void commands();
    void theClockMovesAtTheSpeed_data();
    void theClockMovesAtTheSpeed();
    void twiceTheSpeedOnLibmpv();
    void volume_data();
    void volume();
    void volumeOnLibmpv();
};

void SpeedTest::commands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<unsigned>("code");
    QTest::addColumn<qint64>("afterASecond"); // the position one second of clock later
    QTest::newRow("double") << "set movie speed 2000" << 0u << 2000LL;
    QTest::newRow("three quarters") << "set movie speed 750" << 0u << 750LL;
    QTest::newRow("with the time format") << "set movie time format ms speed 1500" << 0u << 1500LL;
    QTest::newRow("slowest") << "set movie speed 10" << 0u << 10LL;
    QTest::newRow("fastest") << "set movie speed 100000" << 0u << 100000LL;
    QTest::newRow("too slow") << "set movie speed 9" << 282u << 1000LL;
    QTest::newRow("stopped") << "set movie speed 0" << 282u << 1000LL;
    QTest::newRow("too fast") << "set movie speed 100001" << 282u << 1000LL;
    QTest::newRow("no number") << "set movie speed fast" << 270u << 1000LL;
    QTest::newRow("no value") << "set movie speed" << 270u << 1000LL;
    QTest::newRow("twice") << "set movie speed 2000 speed 1500" << 295u << 1000LL;
    QTest::newRow("another time format")
        << "set movie time format frames speed 2000" << 293u << 1000LL;
    QTest::newRow("only tested") << "set movie speed 2000 test" << 0u << 1000LL;
    QTest::newRow("no such device") << "set other speed 2000" << 263u << 1000LL;
}

// A refused speed leaves the rate as it was.
void SpeedTest::commands()
{
    QFETCH(QString, command);
    QFETCH(unsigned, code);
    QFETCH(qint64, afterASecond);
    mci::SimulatedMedia media;
    media.addFile(kScripted, 200000);
    mci::useSimulatedEngine(media);
    QCOMPARE(send("open " + kScripted + " alias movie").code, 0u);
    QCOMPARE(send(command).code, code);
    QCOMPARE(send("play movie from 0").code, 0u);
    media.advance(1000);
    QCOMPARE(reply("status movie position").toLongLong(), afterASecond);
}

void SpeedTest::theClockMovesAtTheSpeed_data()
{
    QTest::addColumn<QStringList>("commands"); // after the open, each followed by a second
    QTest::addColumn<QList<qint64>>("positions");
    QTest::newRow("play, pause, resume")
        << QStringList{"set movie speed 2000", "play movie from 0", "pause movie", "resume movie"}
        << QList<qint64>{0, 2000, 2000, 4000};
    QTest::newRow("a seek keeps the speed")
        << QStringList{"set movie speed 1500", "seek movie to 10000", "play movie"}
        << QList<qint64>{0, 10000, 11500};
    QTest::newRow("changed while playing")
        << QStringList{"play movie from 0", "set movie speed 2000", "set movie speed 1000"}
        << QList<qint64>{1000, 3000, 4000};
    QTest::newRow("held at the end of the play")
        << QStringList{"set movie speed 2000", "play movie from 0 to 3000", "status movie mode"}
        << QList<qint64>{0, 2000, 3000};
    QTest::newRow("reopened at the normal rate")
        << QStringList{"set movie speed 2000", "close movie", "open " + kScripted + " alias movie",
                       "play movie from 0"}
        << QList<qint64>{0, 0, 0, 1000};
}

void SpeedTest::theClockMovesAtTheSpeed()
{
    QFETCH(QStringList, commands);
    QFETCH(QList<qint64>, positions);
    mci::SimulatedMedia media;
    media.addFile(kScripted, 200000);
    mci::useSimulatedEngine(media);
    QCOMPARE(send("open " + kScripted + " alias movie").code, 0u);
    for (int i = 0; i < commands.size(); ++i) {
        QCOMPARE(send(commands[i]).code, 0u);
        media.advance(1000);
        QCOMPARE(reply("status movie position").toLongLong(), positions[i]);
    }
}

// The clip's four seconds play to their end, at every step where it stands read back; paused on
// the way and sought back, it keeps the speed.
void SpeedTest::twiceTheSpeedOnLibmpv()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString failure;
    const QString clip = clips::make(dir.path(), clips::format("avi-mpeg4-mp3"), {}, &failure);
    QVERIFY2(!clip.isEmpty(), qPrintable(failure));
    mci::setAudioOutput(QStringLiteral("null"));
    mci::useLibmpvEngine();
    QCOMPARE(send(QStringLiteral("open \"%1\" alias movie").arg(clip)).code, 0u);
    const qint64 length = reply("status movie length").toLongLong();
    QVERIFY(length > 3900);
    QCOMPARE(send("set movie speed 2000").code, 0u);

    const auto playToTheEnd = [] {
        QElapsedTimer wall;
        wall.start();
        qint64 last = 0;
        while (reply("status movie mode") == QLatin1String("playing") && wall.elapsed() < 20000) {
            const qint64 position = reply("status movie position").toLongLong();
            if (position < last)
                return qint64(-1); // the position went back
            last = position;
            QTest::qWait(20);
        }
        return wall.elapsed();
    };

    QCOMPARE(send("play movie from 0").code, 0u);
    const qint64 wholeClip = playToTheEnd();
    QVERIFY(wholeClip >= 0);
    QCOMPARE(reply("status movie mode"), QStringLiteral("stopped"));
    QCOMPARE(reply("status movie position").toLongLong(), length);
    qInfo("%lld ms of video at twice the speed took %lld ms of wall time", length, wholeClip);
    // About half the length; three quarters is far beyond what a loaded machine adds, and far
    // below the whole length a speed left unapplied takes.
    QVERIFY2(wholeClip < length * 3 / 4, "the clip played at less than twice the speed");

    QCOMPARE(send("play movie from 1000").code, 0u);
    QTRY_VERIFY_WITH_TIMEOUT(reply("status movie position").toLongLong() > 1500, 10000);
    QCOMPARE(send("pause movie").code, 0u);
    QCOMPARE(send("seek movie to 2000").code, 0u);
    QCOMPARE(send("play movie").code, 0u);
    const qint64 rest = playToTheEnd();
    QVERIFY(rest >= 0);
    QCOMPARE(reply("status movie position").toLongLong(), length);
    qInfo("the last %lld ms after a pause and a seek took %lld ms", length - 2000, rest);
    QCOMPARE(send("close movie").code, 0u);
}

// "setaudio ... volume to": 0 to 1000, beyond that 282, and a refused volume leaves the one before.
void SpeedTest::volume_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<unsigned>("code");
    QTest::addColumn<int>("volume");
    QTest::newRow("half") << "setaudio movie volume to 500" << 0u << 500;
    QTest::newRow("silent") << "setaudio movie volume to 0" << 0u << 0;
    QTest::newRow("loudest") << "setaudio movie volume to 1000" << 0u << 1000;
    QTest::newRow("too loud") << "setaudio movie volume to 1001" << 282u << 1000;
    QTest::newRow("negative") << "setaudio movie volume to -1" << 282u << 1000;
    QTest::newRow("no number") << "setaudio movie volume to loud" << 270u << 1000;
    QTest::newRow("nothing to set") << "setaudio movie" << 273u << 1000;
    QTest::newRow("only tested") << "setaudio movie volume to 500 test" << 0u << 1000;
    // A verb of the device's own table, unknown without a device to name.
    QTest::newRow("no such device") << "setaudio other volume to 500" << 261u << 1000;
    QTest::newRow("one channel") << "setaudio movie left volume to 500" << 274u << 1000;
}

void SpeedTest::volume()
{
    QFETCH(QString, command);
    QFETCH(unsigned, code);
    QFETCH(int, volume);
    mci::SimulatedMedia media;
    media.addFile(kScripted, 200000);
    mci::useSimulatedEngine(media);
    QCOMPARE(send("open " + kScripted + " alias movie").code, 0u);
    QCOMPARE(send(command).code, code);
    QCOMPARE(media.volumes(), QList<int>{volume});
    QCOMPARE(reply("status movie volume").toInt(), volume);
}

// libmpv's own volume follows, on its scale of 0 to 100, before the play and during it.
void SpeedTest::volumeOnLibmpv()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString failure;
    const QString clip = clips::make(dir.path(), clips::format("avi-mpeg4-mp3"), {}, &failure);
    QVERIFY2(!clip.isEmpty(), qPrintable(failure));
    mci::setAudioOutput(QStringLiteral("null"));
    mci::useLibmpvEngine();
    QCOMPARE(send(QStringLiteral("open \"%1\" alias movie").arg(clip)).code, 0u);
    QCOMPARE(send("setaudio movie volume to 250").code, 0u);
    QCOMPARE(send("play movie from 0").code, 0u);
    QTRY_COMPARE(reply("status movie volume"), QStringLiteral("250"));
    QCOMPARE(send("setaudio movie volume to 1001").code, 282u);
    QCOMPARE(send("setaudio movie volume to 0").code, 0u);
    QTRY_COMPARE(reply("status movie volume"), QStringLiteral("0"));
    QCOMPARE(send("close movie").code, 0u);
}

QTEST_MAIN(SpeedTest)
#include "tst_mci_speed.moc"

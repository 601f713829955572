// The command language against the simulated engine: grammar, error codes, device state.
#include "Send.h"
#include "mci/Command.h"
#include "mci/SimulatedMedia.h"
#include "support/MediaRecorder.h"
#include "support/VideoWidget.h"
#include "toolkit/WindowHandles.h"

#include <QWidget>
#include <QtTest>

#include <memory>

class GrammarTest : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void errorCodes_data();
    void errorCodes();
    void replies_data();
    void replies();
    void integers_data();
    void integers();
    void everyReturnedCodeHasText();
    void errorTextsFollowTheCodeTable();

    void openRepliesIncreasingDeviceIds();
    void elementWithoutAliasIsTheDeviceName();
    void quotedNamesKeepBlanksQuotesAndCase();
    void typeGivenWithExclamationMark();
    void aliasesAreGlobalAndCaseInsensitive();
    void replyLimit();
    void testFlagChangesNothing();

    void playFromToHoldsAtTo();
    void playToTheEndReportsTheLength();
    void playWithoutFromContinuesFromThePosition();
    void playFromEqualToStopsThere();
    void outOfRangeChangesNothing();
    void pauseResumeStop();
    void resumeWhenStoppedIsRefused();
    void seekStops_data();
    void seekStops();
    void closeAndCloseAll();

    void windowIsAChildOfTheParent();
    void putWindowAt();
    void whereDestinationFollowsPutDestination();
    void transportSeam();
    void simulatedMediaCleansUpWhenDestroyed();

  private:
    void open(const QString &alias = QStringLiteral("m"));
    std::unique_ptr<mci::SimulatedMedia> mMedia;
};

void GrammarTest::init()
{
    mMedia = std::make_unique<mci::SimulatedMedia>();
    mMedia->addFile("/sim/a.avi", 4000, QSize(320, 240));
    mMedia->addFile("/sim/b.mpg", 9000, QSize(352, 288));
    mMedia->addFile("/sim/Mixed Case.avi", 3000);
    mMedia->addFile("/sim/say \"hi\".avi", 3000);
    mMedia->addFile("/sim/plain", 3000);
    mMedia->addUnplayableFile("/sim/bad.avi");
    mMedia->addUnplayableFile("/sim/bad.mpg");
    mci::useSimulatedEngine(*mMedia);
}

void GrammarTest::cleanup()
{
    send("close all");
    mMedia.reset();
}

void GrammarTest::open(const QString &alias)
{
    QCOMPARE(send("open /sim/a.avi type avivideo alias " + alias).code, 0u);
}

void GrammarTest::errorCodes_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<unsigned>("code");
    const QList<std::pair<const char *, unsigned>> rows{
        {"", 267},
        {"   \t ", 267},
        {"open", 292},
        {"frobnicate m", 261},
        {"\"play\" m", 261},
        {"play", 292},
        {"play nosuch", 263},
        {"close nosuch", 263},
        {"status m", 274},
        {"status m nsa", 290},
        {"status m 0x4", 290},
        {"status m length position", 284},
        {"status m length length", 284},
        {"status m position wait wait", 295},
        {"status m frame rate", 274},
        {"set m", 273},
        {"set m milliseconds", 259},
        {"set m time format milliseconds time format ms", 284},
        {"set m time format frames", 293},
        {"set m time format bytes", 293},
        {"set m time format 8", 293},
        {"set m time format smpte 30 drop", 293},
        {"set m time format xyz", 290},
        {"set m time format", 273},
        {"set m audio all off", 274},
        {"set m audio middle off", 290},
        {"seek m", 273},
        {"seek m wait", 273},
        {"seek m to start to 0", 284},
        {"seek m to 4001", 282},
        {"seek m to -1", 282},
        {"seek m to 12x", 270},
        {"seek m to 99999999999", 270},
        {"seek m to 256:0:0:0", 270},
        {"seek m to", 270},
        {"seek m sideways", 259},
        {"play m from 3000 to 1000", 282},
        {"play m to 5000", 282},
        {"play m from 4001", 282},
        {"play m from -1", 282},
        {"play m from abc", 270},
        {"play m from", 270},
        {"play m from 1 from 2", 295},
        {"play m repeat", 274},
        {"play m reverse", 274},
        {"play m fullscreen", 274},
        {"play m window fullscreen", 284},
        {"play m wait", 274},
        {"put m window at 0 0", 270},
        {"put m window at 0 0 a b", 270},
        {"put m window at 0 0 -5 10", 282},
        {"put m source at 0 0 1 1", 274},
        {"put m at 0 0 1 1", 273},
        {"where m", 273},
        {"where m frame", 274},
        {"where m window max", 274},
        {"status all mode", 279},
        {"play all", 279},
        {"seek all to 0", 279},
        {"put all window at 0 0 1 1", 279},
        {"info m usage", 274},
        {"capability m has audio", 274},
        {"window m state show", 274},
        {"info nosuch file", 263},
        {"open all", 279},
        {"open /sim/a.avi alias all", 279},
        {"open \"/sim/a.avi", 294},
        {"open \"/sim/a.avi\"x alias q", 305},
        {"open /sim/a.xyz alias q", 281},
        {"open /sim/a.avi type nonsense alias q", 263},
        {"open /sim/a.avi type", 269},
        {"open /sim/a.avi alias", 269},
        {"open /sim/a.avi alias \"\"", 263},
        {"open /sim/missing.avi alias q", 275},
        {"open /sim/a.avi alias m", 289},
        {"open /sim/a.avi alias M", 289},
        {"open /sim/a.avi alias q parent 12345", 346},
        {"open /sim/a.avi alias q parent abc", 270},
        {"open /sim/a.avi alias q parent -5", 270},
        {"open /sim/a.avi alias q style weird", 290},
        {"open /sim/a.avi alias q style", 273},
        {"open /sim/a.avi alias q shareable shareable", 295},
        {"open /sim/a.avi alias q frobnicate", 259},
        {"open /sim/bad.avi alias q", 296},
        {"open /sim/bad.mpg alias q", 277},
        {"open /sim/plain alias q", 281},
        {"open avivideo alias q", 274},
        {"open notify", 263},
        {"open frobnicate alias q", 263},
        {"open /sim/plain.", 281},
        {"open !/sim/a.avi alias q", 263},
        {"open avivideo! alias q", 263},
    };
    for (const auto &[command, code] : rows)
        QTest::newRow(command) << QString::fromLatin1(command) << code;
}

void GrammarTest::errorCodes()
{
    QFETCH(QString, command);
    QFETCH(unsigned, code);
    open();
    const Sent sent = send(command);
    QCOMPARE(sent.code, code);
    QCOMPARE(sent.reply, QString());
    QVERIFY(!mci::transport().errorText(sent.code).empty());
    // A refused command leaves the device as it was.
    QCOMPARE(reply("status m mode"), QStringLiteral("stopped"));
    QCOMPARE(reply("status m position"), QStringLiteral("0"));
}

void GrammarTest::replies_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");
    QTest::newRow("length") << "status m length"
                            << "4000";
    QTest::newRow("capitals") << "STATUS M LENGTH"
                              << "4000";
    QTest::newRow("mixed case") << "Status m Length"
                                << "4000";
    QTest::newRow("runs of blanks") << "status   m \t  mode  "
                                    << "stopped";
    QTest::newRow("quoted alias") << "status \"m\" length"
                                  << "4000";
    QTest::newRow("position") << "status m position"
                              << "0";
    QTest::newRow("mode") << "status m mode"
                          << "stopped";
    QTest::newRow("ready") << "status m ready"
                           << "true";
    QTest::newRow("time format") << "status m time format"
                                 << "milliseconds";
    QTest::newRow("media present") << "status m media present"
                                   << "true";
    QTest::newRow("number of tracks") << "status m number of tracks"
                                      << "1";
    QTest::newRow("item by code 4") << "status m 4"
                                    << "stopped";
    QTest::newRow("item by code 1") << "status m 1"
                                    << "4000";
    QTest::newRow("notify ignored") << "status m length notify"
                                    << "4000";
    QTest::newRow("wait ignored") << "status m length wait"
                                  << "4000";
    QTest::newRow("where source") << "where m source"
                                  << "0 0 320 240";
    QTest::newRow("where destination") << "Where m destination"
                                       << "0 0 320 240";
    QTest::newRow("set ms") << "set m time format ms"
                            << "";
    QTest::newRow("set milliseconds") << "set m time format milliseconds"
                                      << "";
    QTest::newRow("set 0") << "set m time format 0"
                           << "";
    QTest::newRow("stop hold") << "stop m hold"
                               << "";
    QTest::newRow("play window") << "play m from 0 to 0 window"
                                 << "";
    QTest::newRow("info file") << "info m file"
                               << "/sim/a.avi";
    QTest::newRow("capability can play") << "capability m can play"
                                         << "true";
    QTest::newRow("close all with devices") << "close all"
                                            << "";
}

void GrammarTest::replies()
{
    QFETCH(QString, command);
    QFETCH(QString, expected);
    open();
    const Sent sent = send(command);
    QCOMPARE(sent.code, 0u);
    QCOMPARE(sent.reply, expected);
}

void GrammarTest::integers_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<quint32>("value");
    QTest::newRow("0") << "0" << true << 0u;
    QTest::newRow("-1") << "-1" << true << 4294967295u;
    QTest::newRow("255") << "255" << true << 255u;
    QTest::newRow("max") << "4294967295" << true << 4294967295u;
    QTest::newRow("12345678") << "12345678" << true << 12345678u;
    QTest::newRow("255:0") << "255:0" << true << 255u;
    QTest::newRow("all bytes") << "255:255:255:255" << true << 4294967295u;
    QTest::newRow(":::1") << ":::1" << true << 0x01000000u;
    QTest::newRow("1:::") << "1:::" << true << 1u;
    QTest::newRow("2::3") << "2::3" << true << 0x030002u;
    QTest::newRow("::4:") << "::4:" << true << 0x040000u;
    QTest::newRow("too big") << "4294967296" << false << 0u;
    QTest::newRow("huge") << "99999999999999999999999" << false << 0u;
    QTest::newRow("-1:0") << "-1:0" << false << 0u;
    QTest::newRow("0:-1") << "0:-1" << false << 0u;
    QTest::newRow("::") << "::" << false << 0u;
    QTest::newRow("256:0") << "256:0" << false << 0u;
    QTest::newRow("1:256") << "1:256" << false << 0u;
    QTest::newRow("0::::1") << "0::::1" << false << 0u;
    QTest::newRow("five fields") << "0:0:0:0:0" << false << 0u;
    QTest::newRow("hex") << "0x4" << false << 0u;
    QTest::newRow("minus only") << "-" << false << 0u;
    QTest::newRow("plus") << "+5" << false << 0u;
    QTest::newRow("empty") << "" << false << 0u;
}

void GrammarTest::integers()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QFETCH(quint32, value);
    const auto parsed = mci::parseInteger(text.toStdString());
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void GrammarTest::everyReturnedCodeHasText()
{
    open();
    const QStringList commands{"",
                               "open",
                               "bogus m",
                               "status m",
                               "seek m to 9999999",
                               "play nosuch",
                               "open /sim/missing.avi alias z",
                               "open \"x",
                               "status m length length"};
    for (const QString &command : commands) {
        const Sent sent = send(command);
        QVERIFY2(sent.code != 0, qPrintable(command));
        QVERIFY2(!mci::transport().errorText(sent.code).empty(), qPrintable(command));
    }
}

void GrammarTest::errorTextsFollowTheCodeTable()
{
    for (unsigned code = 257; code <= 312; ++code) {
        const bool unassigned = code == 258 || code == 260 || code == 283 || code == 285;
        QCOMPARE(mci::transport().errorText(code).empty(), unassigned);
    }
    for (unsigned code : {346u, 347u, 348u, 349u})
        QVERIFY(!mci::transport().errorText(code).empty());
    for (unsigned code : {0u, 256u, 313u, 345u, 350u, 1000u})
        QVERIFY(mci::transport().errorText(code).empty());
    // Texts fit the classic 128-character buffer.
    for (unsigned code = 0; code < 1024; ++code)
        QVERIFY(mci::transport().errorText(code).size() < 128);
}

void GrammarTest::openRepliesIncreasingDeviceIds()
{
    const Sent first = send("open /sim/a.avi alias one");
    const Sent second = send("open /sim/b.mpg alias two");
    QCOMPARE(first.code, 0u);
    QCOMPARE(second.code, 0u);
    bool ok = false;
    const int id = first.reply.toInt(&ok);
    QVERIFY(ok && id > 0);
    QCOMPARE(second.reply.toInt(), id + 1);
    // Without a reply buffer the open still succeeds.
    const Sent silent = send("open /sim/a.avi alias three", 0);
    QCOMPARE(silent.code, 0u);
    QCOMPARE(silent.reply, QString());
    QCOMPARE(reply("status three ready"), QStringLiteral("true"));
}

void GrammarTest::elementWithoutAliasIsTheDeviceName()
{
    QCOMPARE(send("open /sim/a.avi").code, 0u);
    QCOMPARE(reply("status /sim/a.avi length"), QStringLiteral("4000"));
    QCOMPARE(send("open /sim/a.avi").code, 265u);
    QCOMPARE(send("close /SIM/A.AVI").code, 0u);
    QCOMPARE(send("status /sim/a.avi length").code, 263u);
}

void GrammarTest::quotedNamesKeepBlanksQuotesAndCase()
{
    QCOMPARE(send("open \"/sim/Mixed Case.avi\" type AVIVideo alias q").code, 0u);
    QCOMPARE(reply("status q length"), QStringLiteral("3000"));
    QCOMPARE(send("open \"/sim/say \"\"hi\"\".avi\" alias r").code, 0u);
    QCOMPARE(send("open /sim/Mixed Case.avi alias s").code, 259u); // "Case.avi" is no keyword
    // A file without extension needs its type.
    QCOMPARE(send("open /sim/plain type MPEGVideo alias t").code, 0u);
}

void GrammarTest::typeGivenWithExclamationMark()
{
    QCOMPARE(send("open MPEGVideo!/sim/b.mpg alias q").code, 0u);
    QCOMPARE(reply("status q length"), QStringLiteral("9000"));
    QCOMPARE(send("open nonsense!/sim/b.mpg alias r").code, 263u);
}

void GrammarTest::aliasesAreGlobalAndCaseInsensitive()
{
    open("Movie");
    QCOMPARE(reply("status MOVIE length"), QStringLiteral("4000"));
    QCOMPARE(send("open /sim/b.mpg alias movie").code, 289u);
    QCOMPARE(send("close movie").code, 0u);
    QCOMPARE(send("open /sim/b.mpg alias movie").code, 0u);
    QCOMPARE(reply("status Movie length"), QStringLiteral("9000"));
}

void GrammarTest::replyLimit()
{
    open();
    QCOMPARE(send("status m length", 4).code, 268u);
    QCOMPARE(send("status m length", 4).reply, QString());
    QCOMPARE(send("status m length", 5).reply, QStringLiteral("4000"));
    const Sent none = send("status m length", 0);
    QCOMPARE(none.code, 0u);
    QCOMPARE(none.reply, QString());
    QCOMPARE(send("where m source", 11).code, 268u);
    QCOMPARE(send("where m source", 12).reply, QStringLiteral("0 0 320 240"));
}

void GrammarTest::testFlagChangesNothing()
{
    open();
    QCOMPARE(send("play m from 1000 test").code, 0u);
    QCOMPARE(reply("status m mode"), QStringLiteral("stopped"));
    QCOMPARE(send("open /sim/b.mpg alias q test").code, 0u);
    QCOMPARE(send("status q mode").code, 263u);
    QCOMPARE(send("close m test").code, 0u);
    QCOMPARE(reply("status m mode"), QStringLiteral("stopped"));
}

void GrammarTest::playFromToHoldsAtTo()
{
    open();
    QCOMPARE(send("play m from 1000 to 2500").code, 0u);
    QCOMPARE(reply("status m mode"), QStringLiteral("playing"));
    QCOMPARE(reply("status m position"), QStringLiteral("1000"));
    mMedia->advance(1000);
    QCOMPARE(reply("status m position"), QStringLiteral("2000"));
    QCOMPARE(reply("status m mode"), QStringLiteral("playing"));
    mMedia->advance(1000);
    QCOMPARE(reply("status m position"), QStringLiteral("2500"));
    QCOMPARE(reply("status m mode"), QStringLiteral("stopped"));
    mMedia->advance(1000);
    QCOMPARE(reply("status m position"), QStringLiteral("2500"));
}

void GrammarTest::playToTheEndReportsTheLength()
{
    open();
    QCOMPARE(send("play m from 0 to 4000").code, 0u);
    mMedia->advance(10000);
    QCOMPARE(reply("status m position"), reply("status m length"));
    QCOMPARE(reply("status m mode"), QStringLiteral("stopped"));
    // Play again at the end: nothing left to play, still at the end.
    QCOMPARE(send("play m").code, 0u);
    QCOMPARE(reply("status m mode"), QStringLiteral("stopped"));
    QCOMPARE(reply("status m position"), QStringLiteral("4000"));
}

void GrammarTest::playWithoutFromContinuesFromThePosition()
{
    open();
    send("play m");
    mMedia->advance(700);
    send("stop m");
    QCOMPARE(reply("status m position"), QStringLiteral("700"));
    send("play m to 1500");
    mMedia->advance(300);
    QCOMPARE(reply("status m position"), QStringLiteral("1000"));
    QCOMPARE(send("play m to 900").code, 282u);
    QCOMPARE(reply("status m mode"), QStringLiteral("playing"));
}

void GrammarTest::playFromEqualToStopsThere()
{
    open();
    QCOMPARE(send("play m from 1200 to 1200").code, 0u);
    QCOMPARE(reply("status m mode"), QStringLiteral("stopped"));
    QCOMPARE(reply("status m position"), QStringLiteral("1200"));
}

void GrammarTest::outOfRangeChangesNothing()
{
    open();
    send("play m from 500 to 3000");
    mMedia->advance(500);
    QCOMPARE(send("seek m to 4001").code, 282u);
    QCOMPARE(send("play m from 3500 to 1000").code, 282u);
    QCOMPARE(reply("status m mode"), QStringLiteral("playing"));
    QCOMPARE(reply("status m position"), QStringLiteral("1000"));
}

void GrammarTest::pauseResumeStop()
{
    open();
    QCOMPARE(send("pause m").code, 0u); // nothing playing: nothing happens
    QCOMPARE(reply("status m mode"), QStringLiteral("stopped"));
    send("play m from 0 to 3000");
    mMedia->advance(1000);
    QCOMPARE(send("Pause m").code, 0u);
    QCOMPARE(reply("status m mode"), QStringLiteral("paused"));
    mMedia->advance(1000);
    QCOMPARE(reply("status m position"), QStringLiteral("1000"));
    QCOMPARE(send("Resume m").code, 0u);
    QCOMPARE(reply("status m mode"), QStringLiteral("playing"));
    QCOMPARE(send("resume m").code, 0u); // already playing
    mMedia->advance(500);
    QCOMPARE(send("Stop m").code, 0u);
    QCOMPARE(reply("status m mode"), QStringLiteral("stopped"));
    QCOMPARE(reply("status m position"), QStringLiteral("1500"));
    mMedia->advance(1000);
    QCOMPARE(reply("status m position"), QStringLiteral("1500"));
    // Resumed play goes on toward the old end point.
    send("play m from 2500 to 3000");
    send("pause m");
    send("resume m");
    mMedia->advance(5000);
    QCOMPARE(reply("status m position"), QStringLiteral("3000"));
}

void GrammarTest::resumeWhenStoppedIsRefused()
{
    open();
    QCOMPARE(send("resume m").code, 302u);
    QCOMPARE(reply("status m mode"), QStringLiteral("stopped"));
}

void GrammarTest::seekStops_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QString>("position");
    QTest::newRow("to 1234") << "to 1234"
                             << "1234";
    QTest::newRow("to start") << "to start"
                              << "0";
    QTest::newRow("to end") << "to end"
                            << "4000";
    QTest::newRow("TO END") << "TO END"
                            << "4000";
    QTest::newRow("to length") << "to 4000"
                               << "4000";
}

void GrammarTest::seekStops()
{
    QFETCH(QString, target);
    QFETCH(QString, position);
    open();
    send("play m from 500");
    mMedia->advance(200);
    QCOMPARE(send("seek m " + target).code, 0u);
    QCOMPARE(reply("status m mode"), QStringLiteral("stopped"));
    QCOMPARE(reply("status m position"), position);
    mMedia->advance(500);
    QCOMPARE(reply("status m position"), position);
}

void GrammarTest::closeAndCloseAll()
{
    QCOMPARE(send("close all").code, 0u); // nothing open
    open("one");
    open("two");
    QCOMPARE(mMedia->openDevices(), 2);
    QCOMPARE(send("close one").code, 0u);
    QCOMPARE(send("close one").code, 263u);
    QCOMPARE(reply("status two length"), QStringLiteral("4000"));
    QCOMPARE(send("Close All").code, 0u);
    QCOMPARE(send("status two length").code, 263u);
    QCOMPARE(mMedia->openDevices(), 0);
}

void GrammarTest::windowIsAChildOfTheParent()
{
    QWidget parent;
    parent.resize(400, 300);
    const long long handle = toolkit::handleOf(&parent);
    QCOMPARE(
        send(QStringLiteral("open /sim/a.avi type AviVideo Alias movie parent %1 Style 1073741824")
                 .arg(handle))
            .code,
        0u);
    auto *video = support::videoWidget(&parent);
    QVERIFY(video);
    QVERIFY(video->isHidden());
    QCOMPARE(video->geometry(), QRect(0, 0, 320, 240));
    const long long videoHandle = reply("status movie window handle").toLongLong();
    QCOMPARE(toolkit::widgetOf(videoHandle), video);
    QCOMPARE(reply("status movie window visible"), QStringLiteral("false"));
    send("play movie from 0 to 4000");
    QVERIFY(!video->isHidden());
    send("close movie");
    QVERIFY(!support::videoWidget(&parent));
    // Named styles are accepted as well.
    for (const char *style : {"child", "popup", "overlapped"})
        QCOMPARE(
            send(
                QStringLiteral("open /sim/a.avi alias s parent %1 style %2").arg(handle).arg(style))
                    .code +
                send("close s").code,
            0u);
}

void GrammarTest::putWindowAt()
{
    QWidget parent;
    parent.resize(400, 300);
    send(QStringLiteral("open /sim/a.avi alias movie parent %1").arg(toolkit::handleOf(&parent)));
    auto *video = support::videoWidget(&parent);
    QCOMPARE(send("put movie window at 10 20 300 200").code, 0u);
    QCOMPARE(video->geometry(), QRect(10, 20, 300, 200));
    QCOMPARE(reply("where movie window"), QStringLiteral("10 20 300 200"));
    QCOMPARE(send("put movie window at 5 6 0 0").code, 0u); // moves only
    QCOMPARE(video->geometry(), QRect(5, 6, 300, 200));
    // The picture is not stretched by moving its window.
    QCOMPARE(reply("where movie destination"), QStringLiteral("0 0 320 240"));
    // Without a parent there is no window to place.
    send("open /sim/b.mpg alias probe");
    QCOMPARE(send("put probe window at 0 0 10 10").code, 346u);
    QCOMPARE(reply("status probe length"), QStringLiteral("9000"));
}

void GrammarTest::whereDestinationFollowsPutDestination()
{
    QWidget parent;
    send(QStringLiteral("open /sim/b.mpg alias movie parent %1").arg(toolkit::handleOf(&parent)));
    QCOMPARE(reply("where movie destination"), QStringLiteral("0 0 352 288"));
    QCOMPARE(send("put movie destination at 1 2 100 80").code, 0u);
    QCOMPARE(reply("where movie destination"), QStringLiteral("1 2 100 80"));
    QCOMPARE(send("put movie destination").code, 0u);
    QCOMPARE(reply("where movie destination"), QStringLiteral("0 0 352 288"));
}

void GrammarTest::transportSeam()
{
    QStringList recorded;
    {
        support::MediaRecorder recorder;
        recorder.answers["anything at all"] = {0, "42"};
        QCOMPARE(reply("anything at all"), QStringLiteral("42"));
        recorded = recorder.commands();
    }
    QCOMPARE(recorded, QStringList{"anything at all"});
    QCOMPARE(send("frobnicate").code, 261u);
}

void GrammarTest::simulatedMediaCleansUpWhenDestroyed()
{
    open();
    mMedia.reset();
    QCOMPARE(send("status m length").code, 263u);
    // The libmpv engine is back: a missing file is still a missing file.
    QCOMPARE(send("open /sim/a.avi alias m").code, 275u);
}

QTEST_MAIN(GrammarTest)
#include "tst_mci_grammar.moc"

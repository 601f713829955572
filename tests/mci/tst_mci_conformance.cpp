// The command layer answers as the platform's own media command service answers: the error codes,
// replies and device states it is known to give, checked case by case through the interpreter.
#include "Send.h"
#include "mci/LibmpvEngine.h"
#include "mci/SimulatedMedia.h"
#include "support/Clips.h"
#include "support/VideoWidget.h"
#include "toolkit/WindowHandles.h"

#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <memory>

namespace
{

// The modes of the devices named, "alias=mode" joined by blanks.
QString modes(const QStringList &aliases)
{
    QStringList parts;
    for (const QString &alias : aliases)
        parts << alias + '=' + reply("status " + alias + " mode");
    return parts.join(' ');
}

} // namespace

class ConformanceTest : public QObject
{
    Q_OBJECT

  private slots:
    void init();
    void cleanup();

    void refusals_data();
    void refusals();
    void replies_data();
    void replies();
    void deviceIdsStartAgainAtOne();
    void replyBuffer();
    void playRangesAndPositions();
    void pauseResumeStopAndCue();
    void transportCommandsToAll_data();
    void transportCommandsToAll();
    void videoWindowShowsOnPlayAndStaysShown();
    void putDestinationWithoutAtIsTheWholeWindow();
    void putDestinationWithoutAtDrawsOverTheWholeWindow();

  private:
    void openX();
    std::unique_ptr<mci::SimulatedMedia> mMedia;
};

void ConformanceTest::init()
{
    mMedia = std::make_unique<mci::SimulatedMedia>();
    mMedia->addFile("/sim/tempfile.avi", 2000, QSize(32, 24));
    mMedia->addFile("/sim/other.mpg", 3000, QSize(32, 24));
    mci::useSimulatedEngine(*mMedia);
}

void ConformanceTest::cleanup()
{
    send("close all");
    mMedia.reset();
}

void ConformanceTest::openX()
{
    QCOMPARE(send("open /sim/tempfile.avi alias x").code, 0u);
}

// Each command is refused with its code, leaves no reply and changes nothing, with device "x"
// open and stopped at 0.
void ConformanceTest::refusals_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<unsigned>("code");
    const QList<std::pair<const char *, unsigned>> rows{
        // the parser
        {"", 267},
        {"open", 292},
        {"open notify", 263},
        {"open new", 299},
        {"open new type avivideo alias r", 274},
        {"open new type avivideo alias r shareable shareable", 295},
        {"open all", 279},
        {"open ! alias no", 263},
        {"status x position wait wait", 295},
        {"status x length length", 284},
        {"status x length position", 284},
        {"set x time format milliseconds time format ms", 284},
        {"set x milliseconds", 259},
        {"set x milliseconds ms", 259},
        {"status x nsa", 290},
        {"status x 0x4", 290},
        {"seek x to 0:0:0:0:0", 270},
        {"seek x to 0:0:0:0:", 270},
        {"seek x to :0:0:0:0", 270},
        {"seek x to 256:0:0:0", 270},
        {"seek x to 0:256", 270},
        {"put x window at 0 0", 270},
        // the device's answers
        {"status x", 274},
        {"status x track", 270},
        {"status x track 3", 274}, // a track but no item: this device's "no item"
        {"status x 2 track 3", 282},
        {"status x position track 0", 282},
        {"seek x wait", 273},
        {"seek x to start to 0", 284},
        {"play x from 250 to 0", 282},
        {"play X from 250 to 0 notify", 282},
        {"play x to 3000", 282},
        {"play x TO 3000 notify", 282},
        {"info x", 273},
        {"info x file version", 284},
        {"capability x", 273},
        {"capability x can play can save", 284},
        // names and "all"
        {"close waveaudio", 263},
        {"close nosuch", 263},
        {"play nosuch", 263},
        {"status all time format", 279},
        {"cue all", 261},
        {"cue output", 261},
        {"window nosuch state hide", 261},
        {"open /sim/other.mpg alias x", 289},
        {"open /sim/other.mpg alias X", 289},
        {"open /sim/no-such-file-exists.avi alias y", 275},
        {"open /sim/no-such-dir/file.avi type avivideo alias y", 275},
        {"open nosuchdevice!/sim/tempfile.avi alias no", 263},
        // sysinfo
        {"sysinfo", 292},
        {"sysinfo all", 273},
        {"sysinfo avivideo quantity", 287},
        {"sysinfo x quantity open", 287},
        {"sysinfo nosuchalias quantity open", 287},
        {"sysinfo all installname", 279},
        {"sysinfo nodev installname", 263},
        {"sysinfo all name 0", 282},
        {"sysinfo all name 2 open", 282},
        {"sysinfo waveaudio name 1 open", 282},
        {"sysinfo all quantity quantity", 284},
        // refused on purpose
        {"play x wait", 274},
        {"set x time format frames", 293},
        {"set x time format 8", 293},
    };
    for (const auto &[command, code] : rows)
        QTest::newRow(command) << QString::fromLatin1(command) << code;
}

void ConformanceTest::refusals()
{
    QFETCH(QString, command);
    QFETCH(unsigned, code);
    openX();
    std::string answer = "left over";
    QCOMPARE(mci::transport().send(command.toStdString(), answer, 128), code);
    QCOMPARE(answer, std::string());
    QVERIFY(!mci::transport().errorText(code).empty());
    QCOMPARE(reply("status x mode"), QStringLiteral("stopped"));
    QCOMPARE(reply("status x position"), QStringLiteral("0"));
    QCOMPARE(reply("sysinfo all quantity open"), QStringLiteral("1"));
}

void ConformanceTest::replies_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("expected");
    const QList<std::pair<const char *, const char *>> rows{
        {"status x mode", "stopped"},
        {"status x 4", "stopped"},
        {"status x 4 notify", "stopped"},
        {"status x time format", "milliseconds"},
        {"status x length", "2000"},
        {"status x length track 1", "2000"},
        {"status x number of tracks", "1"},
        {"capability x uses files", "true"},
        {"capability x has video", "true"},
        {"capability x device type", "digitalvideo"},
        {"capability x can   save", "false"},
        {"capability x can record", "false"},
        {"capability x can stretch", "true"},
        {"capability x windows", "1"},
        {"info x version", "1.1"},
        {"info x file", "/sim/tempfile.avi"},
        {"info x product", "AVIVideo"},
        {"sysinfo all quantity", "2"},
        {"sysinfo all name 2", "MPEGVideo"},
        {"sysinfo all quantity open", "1"},
        {"sysinfo all name 1 open", "x"},
        {"sysinfo digitalvideo quantity", "0"},
        {"sysinfo digitalvideo quantity open", "1"},
        {"sysinfo digitalvideo name 1 open notify", "x"},
        {"sysinfo waveaudio quantity open", "0"},
        {"sysinfo x installname", "AVIVideo"},
        {"pause  x wait", ""},
        {"close all notify", ""},
    };
    for (const auto &[command, expected] : rows)
        QTest::newRow(command) << QString::fromLatin1(command) << QString::fromLatin1(expected);
}

void ConformanceTest::replies()
{
    QFETCH(QString, command);
    QFETCH(QString, expected);
    openX();
    const Sent sent = send(command);
    QCOMPARE(sent.code, 0u);
    QCOMPARE(sent.reply, expected);
}

void ConformanceTest::deviceIdsStartAgainAtOne()
{
    QCOMPARE(send("open /sim/tempfile.avi alias mysound notify").reply, QStringLiteral("1"));
    QCOMPARE(send("open /sim/other.mpg type MPEGVideo alias two").reply, QStringLiteral("2"));
    QCOMPARE(send("close mysound notify").code, 0u);
    // The freed number is the lowest again.
    QCOMPARE(send("open /sim/tempfile.avi alias three").reply, QStringLiteral("1"));
    QCOMPARE(send("open /sim/tempfile.avi alias four").reply, QStringLiteral("3"));
    QCOMPARE(send("close all").code, 0u);
    QCOMPARE(reply("sysinfo all quantity open"), QStringLiteral("0"));
    QCOMPARE(send("open /sim/tempfile.avi type mpegvideo alias mysound").reply,
             QStringLiteral("1"));
}

void ConformanceTest::replyBuffer()
{
    QCOMPARE(send("open /sim/tempfile.avi alias mysound").code, 0u);
    // Text replies need a buffer; numbers and keywords do not.
    QCOMPARE(send("sysinfo digitalvideo quantity open", 0).code, 268u);
    QCOMPARE(send("sysinfo all quantity", 0).code, 268u);
    QCOMPARE(send("info mysound file", 0).code, 268u);
    QCOMPARE(send("status mysound mode", 0).code, 0u);
    QCOMPARE(send("capability mysound device type", 0).code, 0u);
    // "mysound" and its terminating NUL need 8 characters.
    QCOMPARE(send("sysinfo all name 1 open", 7).code, 268u);
    QCOMPARE(send("sysinfo all name 1 open", 7).reply, QString());
    QCOMPARE(send("sysinfo all name 1 open", 8).reply, QStringLiteral("mysound"));
    // A failure or an empty answer leaves the buffer empty.
    for (const char *command : {"", "open", "status mysound", "pause all", "close all"}) {
        std::string answer = "z";
        mci::transport().send(command, answer, 128);
        QVERIFY2(answer.empty(), command);
    }
}

void ConformanceTest::playRangesAndPositions()
{
    QCOMPARE(send("open /sim/tempfile.avi alias mysound").code, 0u);
    QCOMPARE(send("cue mysound output notify").code, 0u);
    QCOMPARE(send("play mysound from 0 to 0 notify").code, 0u);
    QCOMPARE(send("play mysound from 250 to 0").code, 282u);
    QCOMPARE(reply("status mysound mode"), QStringLiteral("stopped"));

    QCOMPARE(send("play mysound from 500 to 1500").code, 0u);
    mMedia->advance(5000);
    QCOMPARE(reply("status mysound position"), QStringLiteral("1500"));
    QCOMPARE(send("play mysound to 1000").code, 282u); // before the position
    QCOMPARE(send("play mysound TO 3000 notify").code, 282u);
    QCOMPARE(send("play mysound to 2000").code, 0u);
    QCOMPARE(send("cue mysound output").code, 302u); // not while playing
    QCOMPARE(send("play mysound to 3000").code, 282u);
    QCOMPARE(send("stop mysound Wait").code, 0u);

    QCOMPARE(send("Seek Mysound to 250 wait Notify").code, 0u);
    QCOMPARE(reply("status mysound position notify"), QStringLiteral("250"));
    QCOMPARE(reply("status mysound mode"), QStringLiteral("stopped"));
    QCOMPARE(send("play mysound to 250 notify").code, 0u);
    QCOMPARE(reply("status mysound mode"), QStringLiteral("stopped"));
    QCOMPARE(send("cue mysound output").code, 0u);
    QCOMPARE(send("cue mysound to 2001").code, 282u);
    QCOMPARE(send("cue mysound to 700").code, 0u);
    QCOMPARE(reply("status mysound position"), QStringLiteral("700"));
    QCOMPARE(send("cue mysound input").code, 274u);
    QCOMPARE(send("close mysound").code, 0u);
}

void ConformanceTest::pauseResumeStopAndCue()
{
    QCOMPARE(send("open /sim/tempfile.avi alias mysound notify type mpegvideo").code, 0u);
    QCOMPARE(send("play mysound notify").code, 0u);
    QCOMPARE(reply("status mysound mode"), QStringLiteral("playing"));
    mMedia->advance(100);
    QCOMPARE(send("pause mysound wait").code, 0u);
    QCOMPARE(reply("status mysound mode notify"), QStringLiteral("paused"));
    const QString paused = reply("status mysound position");
    mMedia->advance(300);
    QCOMPARE(reply("status mysound position"), paused);
    QCOMPARE(send("cue mysound output notify").code, 302u); // not while paused
    QCOMPARE(send("stop mysound wait").code, 0u);
    QCOMPARE(reply("status mysound mode"), QStringLiteral("stopped"));
    QCOMPARE(reply("status mysound position"), paused); // stop does not rewind
    QCOMPARE(send("resume mysound wait").code, 302u);   // no resume once stopped

    QCOMPARE(send("seek mysound to start wait").code, 0u);
    QCOMPARE(send("play mysound to 1000 notify").code, 0u);
    QCOMPARE(send("pause mysound notify").code, 0u);
    QCOMPARE(send("resume mysound notify").code, 0u);
    QCOMPARE(reply("status mysound mode"), QStringLiteral("playing"));
    QCOMPARE(send("seek mysound to 0 wait").code, 0u);
    QCOMPARE(reply("status mysound mode"), QStringLiteral("stopped")); // seek stops
    QCOMPARE(send("PLAY mysound to 1000 notify").code, 0u);
    QCOMPARE(send("pause mysound wait").code, 0u);
    QCOMPARE(send("resume mysound wait").code, 0u);
    QCOMPARE(reply("status mysound mode"), QStringLiteral("playing"));
    QCOMPARE(send("pause  mysound wait").code, 0u);
    QCOMPARE(reply("status mysound mode"), QStringLiteral("paused"));
    QCOMPARE(send("close mysound wait").code, 0u);
}

// "all" sends pause, resume and stop to every open device: one answer for all is the answer,
// different answers are the "several devices failed" error.
void ConformanceTest::transportCommandsToAll_data()
{
    QTest::addColumn<QStringList>("setup");
    QTest::addColumn<QString>("command");
    QTest::addColumn<unsigned>("code");
    QTest::addColumn<QString>("after");
    const QStringList both{"play a", "play b"};
    const QStringList onePaused{"play a", "pause a"};
    QTest::newRow("pause all, nothing open") << QStringList{"close all"} << "pause all" << 0u << "";
    QTest::newRow("pause all playing") << both << "pause all" << 0u << "a=paused b=paused";
    QTest::newRow("pause all, one stopped")
        << QStringList{"play a"} << "pause all" << 0u << "a=paused b=stopped";
    QTest::newRow("resume all, both stopped")
        << QStringList{} << "resume all" << 302u << "a=stopped b=stopped";
    QTest::newRow("resume all, one paused, one stopped")
        << onePaused << "resume all" << 280u << "a=playing b=stopped";
    QTest::newRow("stop all") << both << "Stop All wait" << 0u << "a=stopped b=stopped";
    QTest::newRow("pause all test") << both << "pause all test" << 0u << "a=playing b=playing";
    QTest::newRow("play all") << QStringList{} << "play all" << 279u << "a=stopped b=stopped";
    QTest::newRow("seek all") << both << "seek all to 0" << 279u << "a=playing b=playing";
}

void ConformanceTest::transportCommandsToAll()
{
    QFETCH(QStringList, setup);
    QFETCH(QString, command);
    QFETCH(unsigned, code);
    QFETCH(QString, after);
    QCOMPARE(send("open /sim/tempfile.avi alias a").code, 0u);
    QCOMPARE(send("open /sim/other.mpg alias b").code, 0u);
    for (const QString &step : setup)
        QCOMPARE(send(step).code, 0u);
    const Sent sent = send(command);
    QCOMPARE(sent.code, code);
    QCOMPARE(sent.reply, QString());
    QCOMPARE(modes(after.isEmpty() ? QStringList{} : QStringList{"a", "b"}), after);
}

void ConformanceTest::videoWindowShowsOnPlayAndStaysShown()
{
    QWidget parent;
    parent.resize(640, 480);
    parent.show();
    QCOMPARE(send(QStringLiteral("open /sim/other.mpg type MPEGVideo alias v parent %1 style child")
                      .arg(toolkit::handleOf(&parent)))
                 .code,
             0u);
    QCOMPARE(reply("status v window visible"), QStringLiteral("false"));
    QCOMPARE(reply("where v window"), QStringLiteral("0 0 32 24"));
    QCOMPARE(send("play v").code, 0u);
    QCOMPARE(reply("status v window visible"), QStringLiteral("true"));
    for (const char *command : {"stop v", "play v", "seek v to start", "pause v"}) {
        QCOMPARE(send(command).code, 0u);
        QVERIFY2(reply("status v window visible") == QStringLiteral("true"), command);
    }
}

void ConformanceTest::putDestinationWithoutAtIsTheWholeWindow()
{
    QWidget parent;
    parent.resize(640, 480);
    QCOMPARE(send(QStringLiteral("open /sim/tempfile.avi alias v parent %1 style child")
                      .arg(toolkit::handleOf(&parent)))
                 .code,
             0u);
    QCOMPARE(reply("where v source"), QStringLiteral("0 0 32 24"));
    QCOMPARE(reply("where v destination"), QStringLiteral("0 0 32 24"));
    QCOMPARE(send("put v window at 0 0 400 300").code, 0u);
    QCOMPARE(send("put v destination at 0 0 64 12").code, 0u);
    QCOMPARE(reply("where v destination"), QStringLiteral("0 0 64 12"));
    QCOMPARE(send("put v destination").code, 0u);
    QCOMPARE(reply("where v destination"), QStringLiteral("0 0 400 300"));
    // It stays the whole window when the window changes size.
    QCOMPARE(send("put v window at 10 10 200 100").code, 0u);
    QCOMPARE(reply("where v destination"), QStringLiteral("0 0 200 100"));
    QCOMPARE(send("put v destination at 1 2 30 40").code, 0u);
    QCOMPARE(reply("where v destination"), QStringLiteral("1 2 30 40"));
}

// On the real engine the reply and the picture agree: after "put destination" without a
// rectangle the picture covers the whole window, not the rectangle put before.
void ConformanceTest::putDestinationWithoutAtDrawsOverTheWholeWindow()
{
    QTemporaryDir dir;
    QString failure;
    const QString file = clips::make(dir.path(), clips::format("avi-mpeg4-mp3"), {}, &failure);
    QVERIFY2(!file.isEmpty(), qPrintable(failure));
    mci::setAudioOutput(QStringLiteral("null"));
    mci::useLibmpvEngine();

    QWidget parent;
    parent.resize(400, 300);
    parent.show();
    QCOMPARE(send(QStringLiteral("open \"%1\" alias movie parent %2 style 1073741824")
                      .arg(file)
                      .arg(toolkit::handleOf(&parent)))
                 .code,
             0u);
    QWidget *video = support::videoWidget(&parent);
    QVERIFY(video);
    QCOMPARE(send("put movie window at 0 0 400 300").code, 0u);
    QCOMPARE(send("put movie destination at 0 0 100 75").code, 0u);
    QCOMPARE(send("play movie from 0").code, 0u);

    // Pixels of the test picture in the lower right quarter, which the small rectangle leaves
    // black.
    const auto pictureInLowerRight = [video] {
        const QImage image = video->grab().toImage();
        int coloured = 0;
        for (int x = image.width() * 5 / 8; x < image.width(); x += image.width() / 16)
            for (int y = image.height() * 5 / 8; y < image.height(); y += image.height() / 16) {
                const QColor pixel = image.pixelColor(x, y);
                coloured += pixel.red() + pixel.green() + pixel.blue() > 60 ? 1 : 0;
            }
        return coloured;
    };
    const auto pictureInUpperLeft = [video] {
        const QImage image = video->grab().toImage();
        const QColor pixel = image.pixelColor(50, 25);
        return pixel.red() + pixel.green() + pixel.blue() > 60;
    };
    // Before its first frame the widget shows no picture at all.
    QTRY_VERIFY_WITH_TIMEOUT(pictureInUpperLeft() && pictureInLowerRight() == 0, 10000);

    QCOMPARE(send("put movie destination").code, 0u);
    QCOMPARE(reply("where movie destination"), QStringLiteral("0 0 400 300"));
    QTRY_VERIFY_WITH_TIMEOUT(pictureInLowerRight() > 4, 10000);
    QCOMPARE(send("close movie").code, 0u);
}

QTEST_MAIN(ConformanceTest)
#include "tst_mci_conformance.moc"

// The command layer over real libmpv, on clips that ffmpeg makes in a temporary folder.
#include "Send.h"
#include "mci/LibmpvEngine.h"
#include "mci/SimulatedMedia.h"
#include "support/Clips.h"
#include "support/VideoWidget.h"
#include "toolkit/WindowHandles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QPointer>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <mpv/client.h>

#include <clocale>
#include <cmath>

class EngineTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase();
    void cleanup();

    void openAndLength_data();
    void openAndLength();
    void playFromToEndsAtTo_data();
    void playFromToEndsAtTo();
    void pauseResumeStop();
    void seekLandsOnTheTarget_data();
    void seekLandsOnTheTarget();
    void endOfFileReportsTheLength_data();
    void endOfFileReportsTheLength();
    void twoAliasesAndCloseAll();
    void fileNamesKeepTheirCase();
    void errors_data();
    void errors();
    void videoIsDrawnInsideTheParent();

    void lengthIsTheEnginesOwn_data();
    void lengthIsTheEnginesOwn();
    void movingTheVideoKeepsItsCoreAndWidget();
    void anotherOpenReleasesTheClosedDevice();
    void theClosedDeviceGoesAfterAWhile();
    void closeAllLeavesNoCoreRunning();
    void theNextFileNeverShowsThePreviousPicture();
    void seeksInARowEndAtTheLast_data();
    void seeksInARowEndAtTheLast();

  private:
    QString clip(const char *name) const { return mClips.value(QLatin1String(name)); }
    static long long position(const char *alias)
    {
        return reply(QStringLiteral("status %1 position").arg(QLatin1String(alias))).toLongLong();
    }

    QTemporaryDir mDir;
    QHash<QString, QString> mClips;
};

void EngineTest::initTestCase()
{
    QVERIFY(mDir.isValid());
    mci::setAudioOutput(QStringLiteral("null"));
    mci::useLibmpvEngine();
    for (const clips::Format &format : clips::formats()) {
        QString failure;
        const QString path = clips::make(mDir.path(), format, {}, &failure);
        QVERIFY2(!path.isEmpty(), qPrintable(failure));
        mClips.insert(QLatin1String(format.name), path);
    }
}

void EngineTest::cleanup()
{
    send("close all");
}

void EngineTest::openAndLength_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("type");
    for (const clips::Format &format : clips::formats())
        QTest::newRow(format.name)
            << QString::fromLatin1(format.name)
            << (QLatin1String(format.extension) == "avi" ? "AviVideo" : "MPEGVideo");
}

void EngineTest::openAndLength()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    const Sent opened =
        send(QStringLiteral("open \"%1\" type %2 Alias movie2").arg(mClips.value(name), type));
    QCOMPARE(opened.code, 0u);
    QVERIFY(opened.reply.toInt() > 0);
    QCOMPARE(send("set movie2 time format ms").code, 0u);
    const long long length = reply("status movie2 length").toLongLong();
    QVERIFY2(length >= 3950 && length <= 4150, qPrintable(QString::number(length)));
    QCOMPARE(reply("status movie2 mode"), QStringLiteral("stopped"));
    QCOMPARE(reply("status movie2 position"), QStringLiteral("0"));
    QCOMPARE(reply("where movie2 source"), QStringLiteral("0 0 320 240"));
    QCOMPARE(send("close movie2").code, 0u);
}

void EngineTest::playFromToEndsAtTo_data()
{
    openAndLength_data();
}

void EngineTest::playFromToEndsAtTo()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QWidget parent;
    parent.resize(320, 240);
    QCOMPARE(send(QStringLiteral("open \"%1\" type %2 alias movie parent %3 style 1073741824")
                      .arg(mClips.value(name), type)
                      .arg(toolkit::handleOf(&parent)))
                 .code,
             0u);
    QCOMPARE(send("play movie from 1000 to 1600").code, 0u);
    QCOMPARE(reply("status movie mode"), QStringLiteral("playing"));
    QTRY_COMPARE_WITH_TIMEOUT(reply("status movie mode"), QStringLiteral("stopped"), 10000);
    QCOMPARE(reply("status movie position"), QStringLiteral("1600"));
    QTest::qWait(100);
    QCOMPARE(reply("status movie position"), QStringLiteral("1600"));
    QCOMPARE(reply("status movie mode"), QStringLiteral("stopped"));
    // Playing on from the held position reaches the new end.
    QCOMPARE(send("play movie to 1900").code, 0u);
    QTRY_COMPARE_WITH_TIMEOUT(reply("status movie mode"), QStringLiteral("stopped"), 10000);
    QCOMPARE(reply("status movie position"), QStringLiteral("1900"));
}

void EngineTest::pauseResumeStop()
{
    QCOMPARE(
        send(QStringLiteral("open \"%1\" type AviVideo alias movie").arg(clip("avi-mpeg4-mp3")))
            .code,
        0u);
    QCOMPARE(send("play movie from 0 to 4000").code, 0u);
    QTRY_VERIFY_WITH_TIMEOUT(position("movie") >= 400, 10000);
    QCOMPARE(send("pause movie").code, 0u);
    QCOMPARE(reply("status movie mode"), QStringLiteral("paused"));
    const long long paused = position("movie");
    QVERIFY(paused >= 400 && paused < 4000);
    QTest::qWait(300);
    QCOMPARE(position("movie"), paused);
    QCOMPARE(send("resume movie").code, 0u);
    QCOMPARE(reply("status movie mode"), QStringLiteral("playing"));
    QTRY_VERIFY_WITH_TIMEOUT(position("movie") > paused + 200, 10000);
    QCOMPARE(send("stop movie").code, 0u);
    QCOMPARE(reply("status movie mode"), QStringLiteral("stopped"));
    const long long stopped = position("movie");
    QVERIFY(stopped > paused);
    QTest::qWait(300);
    QCOMPARE(position("movie"), stopped);
    QCOMPARE(send("resume movie").code, 302u);
}

void EngineTest::seekLandsOnTheTarget_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("target");
    for (const clips::Format &format : clips::formats())
        for (int target : {1000, 2520, 3300})
            QTest::addRow("%s at %d", format.name, target)
                << QString::fromLatin1(format.name) << target;
}

void EngineTest::seekLandsOnTheTarget()
{
    QFETCH(QString, name);
    QFETCH(int, target);
    QCOMPARE(send(QStringLiteral("open \"%1\" alias movie").arg(mClips.value(name))).code, 0u);
    QCOMPARE(send("play movie from 200").code, 0u);
    QCOMPARE(send(QStringLiteral("seek movie to %1").arg(target)).code, 0u);
    QCOMPARE(reply("status movie mode"), QStringLiteral("stopped"));
    QCOMPARE(position("movie"), target);
    // The engine really is there: playing on and pausing at once reads the engine's own clock.
    send("play movie");
    send("pause movie");
    const long long actual = position("movie");
    QVERIFY2(actual >= target - 20 && actual <= target + 120, qPrintable(QString::number(actual)));
}

void EngineTest::endOfFileReportsTheLength_data()
{
    openAndLength_data();
}

void EngineTest::endOfFileReportsTheLength()
{
    QFETCH(QString, name);
    QFETCH(QString, type);
    QCOMPARE(
        send(QStringLiteral("open \"%1\" type %2 alias movie").arg(mClips.value(name), type)).code,
        0u);
    const QString length = reply("status movie length");
    QCOMPARE(send(QStringLiteral("play movie from %1").arg(length.toLongLong() - 500)).code, 0u);
    QTRY_COMPARE_WITH_TIMEOUT(reply("status movie mode"), QStringLiteral("stopped"), 10000);
    QCOMPARE(reply("status movie position"), length);
    QCOMPARE(send("seek movie to start").code, 0u);
    QCOMPARE(reply("status movie position"), QStringLiteral("0"));
    QCOMPARE(send("seek movie to end").code, 0u);
    QCOMPARE(reply("status movie position"), length);
    QCOMPARE(reply("status movie mode"), QStringLiteral("stopped"));
}

void EngineTest::twoAliasesAndCloseAll()
{
    QCOMPARE(send(QStringLiteral("open \"%1\" alias movie").arg(clip("avi-msmpeg4v2-pcm"))).code,
             0u);
    QCOMPARE(
        send(QStringLiteral("open \"%1\" type MPEGVideo alias movie2").arg(clip("mpeg1-ps"))).code,
        0u);
    QCOMPARE(send("play movie from 0").code, 0u);
    QCOMPARE(send("play movie2 from 2000 to 2400").code, 0u);
    QTRY_COMPARE_WITH_TIMEOUT(reply("status movie2 mode"), QStringLiteral("stopped"), 10000);
    QCOMPARE(reply("status movie2 position"), QStringLiteral("2400"));
    QCOMPARE(reply("status movie mode"), QStringLiteral("playing"));
    QCOMPARE(send("close movie2").code, 0u);
    QCOMPARE(reply("status movie mode"), QStringLiteral("playing"));
    QCOMPARE(send("Close All").code, 0u);
    QCOMPARE(send("status movie mode").code, 263u);
    QCOMPARE(send("status movie2 mode").code, 263u);
}

void EngineTest::fileNamesKeepTheirCase()
{
    const QString mixed = mDir.filePath(QStringLiteral("Mixed Case Clip.AVI"));
    QVERIFY(QFile::copy(clip("avi-msvideo1"), mixed));
    QCOMPARE(send(QStringLiteral("open \"%1\" type AviVideo alias movie").arg(mixed)).code, 0u);
    // Course data names files in another case than the disk: found all the same.
    QCOMPARE(
        send(QStringLiteral("open \"%1\" type AviVideo alias lower").arg(mixed.toLower())).code,
        0u);
    QCOMPARE(reply("status lower length"), reply("status movie length"));
}

void EngineTest::errors_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<unsigned>("code");
    QTest::newRow("missing file") << "open \"%dir/missing.avi\" type AviVideo alias x" << 275u;
    QTest::newRow("missing folder") << "open \"%dir/nowhere/a.mpg\" alias x" << 275u;
    QTest::newRow("text file as avi") << "open \"%dir/notes.avi\" type AviVideo alias x" << 296u;
    QTest::newRow("text file as mpeg") << "open \"%dir/notes.avi\" type MPEGVideo alias x" << 277u;
    QTest::newRow("unknown alias") << "status nosuch position" << 263u;
    QTest::newRow("duplicate alias") << "open \"%clip\" alias movie" << 289u;
    QTest::newRow("bad integer") << "seek movie to 1O00" << 270u;
    QTest::newRow("out of range seek") << "seek movie to 60000" << 282u;
    QTest::newRow("out of range play") << "play movie from 0 to 60000" << 282u;
    QTest::newRow("frames") << "set movie time format frames" << 293u;
}

void EngineTest::errors()
{
    QFETCH(QString, command);
    QFETCH(unsigned, code);
    QFile notes(mDir.filePath(QStringLiteral("notes.avi")));
    QVERIFY(notes.open(QIODevice::WriteOnly));
    notes.write("These are not moving pictures.\n");
    notes.close();
    QCOMPARE(send(QStringLiteral("open \"%1\" alias movie").arg(clip("avi-mpeg4-mp3"))).code, 0u);
    command.replace(QLatin1String("%dir"), mDir.path())
        .replace(QLatin1String("%clip"), clip("avi-mpeg4-mp3"));
    const Sent sent = send(command);
    QCOMPARE(sent.code, code);
    QVERIFY(!mci::transport().errorText(sent.code).empty());
    QCOMPARE(send("status x mode").code, 263u);
    QCOMPARE(reply("status movie mode"), QStringLiteral("stopped"));
}

void EngineTest::videoIsDrawnInsideTheParent()
{
    QWidget parent;
    parent.resize(400, 300);
    parent.show();
    QCOMPARE(send(QStringLiteral("open \"%1\" type AviVideo alias movie parent %2 style 1073741824")
                      .arg(clip("avi-mpeg4-mp3"))
                      .arg(toolkit::handleOf(&parent)))
                 .code,
             0u);
    auto *video = support::videoWidget(&parent);
    QVERIFY(video);
    QCOMPARE(send("put movie window at 20 10 200 150").code, 0u);
    QCOMPARE(video->geometry(), QRect(20, 10, 200, 150));
    QCOMPARE(send("play movie from 0").code, 0u);
    QVERIFY(video->isVisible());
    // The test picture is colourful: some pixel in the middle is far from black.
    const auto colourful = [video] {
        const QImage image = video->grab().toImage();
        const QColor centre = image.pixelColor(image.width() / 2, image.height() / 3);
        return centre.red() + centre.green() + centre.blue() > 120;
    };
    QTRY_VERIFY_WITH_TIMEOUT(colourful(), 10000);
    // Closing while it plays leaves the parent intact.
    QCOMPARE(send("close movie").code, 0u);
    QVERIFY(!support::videoWidget(&parent));
}

namespace
{

// The length libmpv itself gives the file once it has loaded it, in ms; -1 when it cannot.
long long enginesOwnLength(const QString &file)
{
    std::setlocale(LC_NUMERIC, "C");
    mpv_handle *mpv = mpv_create();
    for (const char *option : {"vo=null", "ao=null", "pause=yes", "config=no", "terminal=no"}) {
        const QByteArray pair(option);
        const int equals = pair.indexOf('=');
        mpv_set_option_string(mpv, pair.left(equals).constData(), pair.mid(equals + 1).constData());
    }
    mpv_initialize(mpv);
    const QByteArray path = QFile::encodeName(file);
    const char *load[] = {"loadfile", path.constData(), nullptr};
    mpv_command(mpv, load);
    double seconds = -1;
    for (;;) {
        const mpv_event *event = mpv_wait_event(mpv, 10);
        if (event->event_id == MPV_EVENT_FILE_LOADED)
            mpv_get_property(mpv, "duration", MPV_FORMAT_DOUBLE, &seconds);
        if (event->event_id == MPV_EVENT_FILE_LOADED || event->event_id == MPV_EVENT_END_FILE ||
            event->event_id == MPV_EVENT_NONE)
            break;
    }
    mpv_terminate_destroy(mpv);
    return seconds > 0 ? std::llround(seconds * 1000) : -1;
}

// The engine's threads in this process; each core runs several.
int engineThreads()
{
    int count = 0;
    for (const QString &task : QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs)) {
        QFile name(QStringLiteral("/proc/self/task/%1/comm").arg(task));
        if (name.open(QIODevice::ReadOnly) && name.readAll().startsWith("mpv/"))
            ++count;
    }
    return count;
}

Sent openIn(const QString &file, QWidget &parent, const char *alias = "movie")
{
    return send(QStringLiteral("open \"%1\" alias %2 parent %3 style 1073741824")
                    .arg(file, QLatin1String(alias))
                    .arg(toolkit::handleOf(&parent)));
}

} // namespace

void EngineTest::lengthIsTheEnginesOwn_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<bool>("stated");
    for (const clips::Format &format : clips::formats())
        QTest::newRow(format.name) << mClips.value(QLatin1String(format.name)) << true;
    // A bare MPEG video stream states no length: the engine loads it and gives its estimate,
    // which grows as it reads on, so only its being there is checked.
    const clips::Format elementary{"mpeg1-es", "m1v", {"-c:v", "mpeg1video", "-f", "mpeg1video"}};
    QString failure;
    const QString path = clips::make(mDir.path(), elementary, {.sound = false}, &failure);
    QVERIFY2(!path.isEmpty(), qPrintable(failure));
    QTest::newRow("mpeg1-es") << path << false;
}

void EngineTest::lengthIsTheEnginesOwn()
{
    QFETCH(QString, file);
    QFETCH(bool, stated);
    QWidget parent;
    parent.resize(320, 240);
    QCOMPARE(openIn(file, parent).code, 0u);
    const long long length = reply("status movie length").toLongLong();
    QVERIFY(length > 0);
    if (stated)
        QCOMPARE(length, enginesOwnLength(file));
    // Played to its end, the file reports that length as its position.
    const long long from = std::max(0LL, length - 300);
    QCOMPARE(send(QStringLiteral("play movie from %1").arg(from)).code, 0u);
    QTRY_COMPARE_WITH_TIMEOUT(reply("status movie mode"), QStringLiteral("stopped"), 10000);
    QCOMPARE(reply("status movie position").toLongLong(), length);
}

// Moving the video between two windows: close, open the same file under the other window, seek
// to the position read before and play. The picture goes on in the same widget.
void EngineTest::movingTheVideoKeepsItsCoreAndWidget()
{
    QWidget first;
    QWidget second;
    first.resize(320, 240);
    second.resize(640, 480);
    first.show();
    second.show();
    const QString file = clip("avi-mpeg4-mp3");
    QCOMPARE(openIn(file, first).code, 0u);
    QCOMPARE(send("put movie window at 0 0 320 240").code, 0u);
    QCOMPARE(send("play movie from 0").code, 0u);
    QTRY_VERIFY_WITH_TIMEOUT(position("movie") >= 600, 10000);
    const QPointer<QWidget> video = support::videoWidget(&first);
    QVERIFY(video);

    const long long at = position("movie");
    QCOMPARE(send("close movie").code, 0u);
    QVERIFY(!support::videoWidget(&first));
    QCOMPARE(send("status movie mode").code, 263u);
    QCOMPARE(openIn(file, second).code, 0u);
    QCOMPARE(reply("status movie mode"), QStringLiteral("stopped"));
    QCOMPARE(reply("status movie position"), QStringLiteral("0"));
    QCOMPARE(reply("status movie length"), QStringLiteral("4049"));
    QCOMPARE(support::videoWidget(&second), video.data());
    QCOMPARE(send("put movie window at 0 0 640 480").code, 0u);
    QCOMPARE(video->geometry(), QRect(0, 0, 640, 480));
    QCOMPARE(send(QStringLiteral("seek movie to %1").arg(at)).code, 0u);
    QCOMPARE(position("movie"), at);
    QCOMPARE(send("play movie").code, 0u);
    QVERIFY(video->isVisible());
    QCOMPARE(reply("status movie mode"), QStringLiteral("playing"));
    QTRY_VERIFY_WITH_TIMEOUT(position("movie") > at + 300, 10000);
    // Closing the device for good removes the widget from the second window as well.
    QCOMPARE(send("close all").code, 0u);
    QVERIFY(!video);
}

void EngineTest::anotherOpenReleasesTheClosedDevice()
{
    QWidget parent;
    parent.resize(320, 240);
    QCOMPARE(openIn(clip("avi-mpeg4-mp3"), parent).code, 0u);
    QCOMPARE(send("play movie from 0").code, 0u);
    const QPointer<QWidget> video = support::videoWidget(&parent);
    QCOMPARE(send("close movie").code, 0u);
    QVERIFY(video);
    QCOMPARE(openIn(clip("mpeg1-ps"), parent).code, 0u);
    // Hidden at once, deleted once the events waiting have run: a device may close from inside
    // its widget's own event.
    QVERIFY(!video || video->isHidden());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!video);
    QWidget *next = support::videoWidget(&parent);
    QVERIFY(next);
    QCOMPARE(reply("status movie position"), QStringLiteral("0"));
    QCOMPARE(send("play movie from 1000 to 1400").code, 0u);
    QTRY_COMPARE_WITH_TIMEOUT(reply("status movie mode"), QStringLiteral("stopped"), 10000);
    QCOMPARE(reply("status movie position"), QStringLiteral("1400"));
}

void EngineTest::theClosedDeviceGoesAfterAWhile()
{
    QWidget parent;
    parent.resize(320, 240);
    const QString file = clip("avi-msmpeg4v2-pcm");
    QCOMPARE(openIn(file, parent).code, 0u);
    QCOMPARE(send("play movie from 0").code, 0u);
    const QPointer<QWidget> video = support::videoWidget(&parent);
    QCOMPARE(send("close movie").code, 0u);
    QTRY_VERIFY_WITH_TIMEOUT(!video, 10000);
    // Opened again later, the file plays as any file does.
    QCOMPARE(openIn(file, parent).code, 0u);
    QCOMPARE(reply("status movie position"), QStringLiteral("0"));
    QCOMPARE(send("play movie from 500 to 900").code, 0u);
    QTRY_COMPARE_WITH_TIMEOUT(reply("status movie mode"), QStringLiteral("stopped"), 10000);
    QCOMPARE(reply("status movie position"), QStringLiteral("900"));
}

void EngineTest::closeAllLeavesNoCoreRunning()
{
    QWidget parent;
    parent.resize(320, 240);
    QCOMPARE(openIn(clip("avi-mpeg4-mp3"), parent).code, 0u);
    QCOMPARE(openIn(clip("asf-wmv2-wmav2"), parent, "second").code, 0u);
    QCOMPARE(send("open \"" + clip("mpeg1-ps") + "\" alias third").code, 0u);
    for (const char *alias : {"movie", "second", "third"})
        QCOMPARE(send(QStringLiteral("play %1 from 0").arg(QLatin1String(alias))).code, 0u);
    QTRY_VERIFY_WITH_TIMEOUT(position("movie") > 200 && position("second") > 200, 10000);
    QVERIFY(engineThreads() > 0);
    QCOMPARE(send("close second").code, 0u);
    QCOMPARE(send("close all").code, 0u);
    // A joined thread can still be listed for a moment while the kernel reaps it.
    QTRY_COMPARE_WITH_TIMEOUT(engineThreads(), 0, 2000);
    QVERIFY(!support::videoWidget(&parent));
}

namespace
{

// How red what the widget shows is: the mean of red over green, 0 for grey or black.
double redness(QWidget &widget)
{
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    int pixels = 0;
    for (int y = 0; y < image.height(); y += 4) {
        for (int x = 0; x < image.width(); x += 4, ++pixels) {
            const QRgb pixel = image.pixel(x, y);
            sum += qRed(pixel) - qGreen(pixel);
        }
    }
    return pixels ? sum / pixels : 0;
}

} // namespace

// A file opened after another one on the core that played it: the new device's widget shows
// nothing until the new file's first frame, never the last picture of the file before.
void EngineTest::theNextFileNeverShowsThePreviousPicture()
{
    const clips::Format red{
        "red", "avi", {"-vf", "lutrgb=r=255:g=0:b=0", "-c:v", "mpeg4", "-an", "-f", "avi"}};
    const clips::Format blue{
        "blue", "avi", {"-vf", "lutrgb=r=0:g=0:b=255", "-c:v", "mpeg4", "-an", "-f", "avi"}};
    QString failure;
    const QString before = clips::make(mDir.path(), red, {.sound = false}, &failure);
    QVERIFY2(!before.isEmpty(), qPrintable(failure));
    const QString after = clips::make(mDir.path(), blue, {.sound = false}, &failure);
    QVERIFY2(!after.isEmpty(), qPrintable(failure));

    QWidget parent;
    parent.resize(320, 240);
    parent.show();
    QCOMPARE(openIn(before, parent).code, 0u);
    QCOMPARE(send("put movie window at 0 0 320 240").code, 0u);
    QCOMPARE(send("play movie from 0").code, 0u);
    QWidget *first = support::videoWidget(&parent);
    QTRY_VERIFY_WITH_TIMEOUT(redness(*first) > 150, 10000);
    QCOMPARE(send("close movie").code, 0u);

    QCOMPARE(openIn(after, parent).code, 0u);
    QCOMPARE(send("put movie window at 0 0 320 240").code, 0u);
    QCOMPARE(send("play movie from 0").code, 0u);
    QWidget *next = support::videoWidget(&parent);
    QVERIFY(next);
    QElapsedTimer timer;
    timer.start();
    while (!next->testAttribute(Qt::WA_OpaquePaintEvent) && timer.elapsed() < 10000) {
        QVERIFY(redness(*next) < 50);
        QCoreApplication::processEvents();
    }
    QVERIFY(next->testAttribute(Qt::WA_OpaquePaintEvent));
    QVERIFY(redness(*next) < 50);
    QVERIFY(qBlue(next->grab().toImage().pixel(160, 120)) > 150);
}

void EngineTest::seeksInARowEndAtTheLast_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("eventsBetween");
    for (const char *name : {"avi-mpeg4-mp3", "mpeg1-ps", "asf-wmv2-wmav2"}) {
        QTest::addRow("%s, back to back", name) << QString::fromLatin1(name) << 0;
        QTest::addRow("%s, as a drag", name) << QString::fromLatin1(name) << 15;
    }
}

// Dragging the slider sends one play after another, each from a new place. Each reports its
// target at once, and the device ends where the last one asked, exactly as a single one does.
void EngineTest::seeksInARowEndAtTheLast()
{
    QFETCH(QString, name);
    QFETCH(int, eventsBetween);
    QWidget parent;
    parent.resize(320, 240);
    QCOMPARE(openIn(mClips.value(name), parent).code, 0u);
    QCOMPARE(send("put movie window at 0 0 320 240").code, 0u);
    const QString length = reply("status movie length");

    // Where a single play from the last target lands: the first frame at or after it, which
    // lies between this clip's frames at 25 a second.
    constexpr long long last = 2530;
    QCOMPARE(send(QStringLiteral("play movie from %1 to %2").arg(last).arg(length)).code, 0u);
    QCOMPARE(send("pause movie").code, 0u);
    QTRY_VERIFY_WITH_TIMEOUT(position("movie") != last, 10000);
    const long long landing = position("movie");
    QVERIFY2(landing >= last - 5 && landing < last + 40, qPrintable(QString::number(landing)));

    QCOMPARE(send("play movie from 0").code, 0u);
    QTRY_VERIFY_WITH_TIMEOUT(position("movie") >= 300, 10000);
    for (const long long target : {700LL, 3200LL, 1300LL, 3000LL, 1900LL, 400LL, last}) {
        if (eventsBetween > 0)
            QTest::qWait(eventsBetween);
        QCOMPARE(send(QStringLiteral("play movie from %1 to %2").arg(target).arg(length)).code, 0u);
        QCOMPARE(position("movie"), target);
        QCOMPARE(reply("status movie mode"), QStringLiteral("playing"));
    }
    // Paused before the last seek has arrived, the device stays where that seek lands.
    QCOMPARE(send("pause movie").code, 0u);
    QTRY_COMPARE_WITH_TIMEOUT(position("movie"), landing, 10000);
    QTest::qWait(300);
    QCOMPARE(position("movie"), landing);
    QCOMPARE(reply("status movie mode"), QStringLiteral("paused"));
    // And it plays on from there.
    QCOMPARE(send("resume movie").code, 0u);
    QTRY_VERIFY_WITH_TIMEOUT(position("movie") > landing + 200, 10000);
}

QTEST_MAIN(EngineTest)
#include "tst_mci_engine.moc"

// In a real X server: a clip plays inside the picture area of a shown window, exactly in the
// rectangle it was placed at, and its pixels move; subtitles beside a clip under its name are
// drawn on its picture.
#include "Send.h"
#include "mci/LibmpvEngine.h"
#include "mci/SimulatedMedia.h"
#include "support/Clips.h"
#include "support/VideoWidget.h"
#include "toolkit/WindowHandles.h"

#include <QFile>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

class WindowTest : public QObject
{
    Q_OBJECT

  private slots:
    void clipPlaysInsideThePlacedRectangle();
    void subtitlesBesideTheClipAreShown_data();
    void subtitlesBesideTheClipAreShown();
};

namespace
{

const QColor kBackground(0, 0, 255);

bool isBackground(const QColor &c)
{
    return c.red() < 30 && c.green() < 30 && c.blue() > 220;
}
bool isPicture(const QColor &c)
{
    return !isBackground(c) && c.red() + c.green() + c.blue() > 90;
}

// Bright pixels in the rows [from, to) of the picture; a black clip has none.
int brightPixels(const QImage &picture, int from, int to)
{
    int bright = 0;
    for (int y = from; y < to; ++y)
        for (int x = 0; x < picture.width(); ++x)
            if (qGray(picture.pixel(x, y)) > 160)
                ++bright;
    return bright;
}

// The black clip's picture is on the widget (its upper half is black: nothing drawn before the
// first frame is) and its lower half, where subtitles go, has this many bright pixels.
int brightBelowTheMiddle(QWidget *video)
{
    const QImage picture = video->grab().toImage();
    const int middle = picture.height() / 2;
    if (qGray(picture.pixel(picture.width() / 2, middle / 2)) > 40 ||
        brightPixels(picture, 0, middle) > 0)
        return -1;
    return brightPixels(picture, middle, picture.height());
}

} // namespace

void WindowTest::subtitlesBesideTheClipAreShown_data()
{
    QTest::addColumn<QString>("subtitles"); // the file beside the clip, if any
    QTest::newRow(".srt") << "srt";
    QTest::newRow(".vtt") << "vtt";
    QTest::newRow(".ass") << "ass";
    QTest::newRow("none") << "";
}

void WindowTest::subtitlesBesideTheClipAreShown()
{
    QFETCH(QString, subtitles);
    QTemporaryDir dir;
    mci::setAudioOutput(QStringLiteral("null"));
    mci::useLibmpvEngine();
    const QString clip = dir.filePath(QStringLiteral("Lesson.avi"));
    QProcess ffmpeg;
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 {"-loglevel", "error", "-f", "lavfi", "-i", "color=black:s=320x240:r=25", "-t",
                  "6", "-c:v", "mpeg4", clip});
    QVERIFY(ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0);
    const QByteArray text = "SUBTITLE LINE SHOWN";
    QByteArray content;
    if (subtitles == QLatin1String("srt"))
        content = "1\n00:00:00,000 --> 00:00:06,000\n" + text + "\n";
    else if (subtitles == QLatin1String("vtt"))
        content = "WEBVTT\n\n00:00:00.000 --> 00:00:06.000\n" + text + "\n";
    else if (subtitles == QLatin1String("ass"))
        content = "[Script Info]\nScriptType: v4.00+\nPlayResX: 320\nPlayResY: 240\n\n"
                  "[V4+ Styles]\nFormat: Name, Fontname, Fontsize, PrimaryColour, Alignment\n"
                  "Style: Default,DejaVu Sans,24,&H00FFFFFF,2\n\n[Events]\n"
                  "Format: Layer, Start, End, Style, Text\n"
                  "Dialogue: 0,0:00:00.00,0:00:06.00,Default," +
                  text + "\n";
    if (!content.isEmpty()) {
        QFile file(dir.filePath(QStringLiteral("Lesson.") + subtitles));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(content);
    }

    QWidget window;
    window.resize(400, 300);
    QWidget picture(&window);
    picture.setGeometry(0, 0, 320, 240);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(send(QStringLiteral("open \"%1\" type AviVideo Alias movie parent %2 Style 1073741824")
                      .arg(clip)
                      .arg(toolkit::handleOf(&picture)))
                 .code,
             0u);
    QCOMPARE(send("put movie window at 0 0 320 240").code, 0u);
    QCOMPARE(send("play movie from 1000 to 3000").code, 0u);
    auto *video = support::videoWidget(&picture);
    QVERIFY(video);
    if (!subtitles.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(brightBelowTheMiddle(video) > 100, 10000);
    } else {
        // Held at its end point the clip shows its last picture: black, with nothing on it.
        QTRY_COMPARE_WITH_TIMEOUT(reply("status movie mode"), QStringLiteral("stopped"), 10000);
        QTRY_COMPARE_WITH_TIMEOUT(brightBelowTheMiddle(video), 0, 10000);
    }
    QCOMPARE(send("close movie").code, 0u);
}

void WindowTest::clipPlaysInsideThePlacedRectangle()
{
    QTemporaryDir dir;
    mci::setAudioOutput(QStringLiteral("null"));
    mci::useLibmpvEngine();
    QString failure;
    const QString clip = clips::make(dir.path(), clips::formats().at(0), {}, &failure);
    QVERIFY2(!clip.isEmpty(), qPrintable(failure));

    QWidget window;
    window.resize(640, 480);
    QWidget picture(&window);
    picture.setGeometry(20, 20, 500, 400);
    picture.setAutoFillBackground(true);
    QPalette palette = picture.palette();
    palette.setColor(QPalette::Window, kBackground);
    picture.setPalette(palette);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(send(QStringLiteral("open \"%1\" type AviVideo Alias movie parent %2 Style 1073741824")
                      .arg(clip)
                      .arg(toolkit::handleOf(&picture)))
                 .code,
             0u);
    const QRect placed(40, 30, 320, 240);
    QCOMPARE(send("put movie window at 40 30 320 240").code, 0u);
    QCOMPARE(send("play movie from 0").code, 0u);

    auto *video = support::videoWidget(&picture);
    QVERIFY(video);
    QCOMPARE(video->geometry(), placed);
    QTRY_VERIFY_WITH_TIMEOUT(isPicture(video->grab().toImage().pixelColor(160, 80)), 10000);

    // What the X server shows: picture inside the rectangle, the area's colour outside it.
    const auto screenshot = [&] {
        return window.screen()
            ->grabWindow(window.winId())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    };
    const QPoint origin = picture.mapTo(&window, placed.topLeft());
    QImage shot = screenshot();
    QTRY_VERIFY_WITH_TIMEOUT(isPicture((shot = screenshot()).pixelColor(origin + QPoint(160, 80))),
                             10000);
    QVERIFY(isBackground(shot.pixelColor(picture.mapTo(&window, QPoint(10, 10)))));
    QVERIFY(isBackground(shot.pixelColor(origin + QPoint(330, 120))));
    QVERIFY(isBackground(shot.pixelColor(origin + QPoint(160, 250))));

    // The picture moves while the clip plays.
    const QRect area(origin, placed.size());
    const QImage first = shot.copy(area);
    QTRY_VERIFY_WITH_TIMEOUT(screenshot().copy(area) != first, 10000);
    QCOMPARE(send("close movie").code, 0u);
}

QTEST_MAIN(WindowTest)
#include "tst_mci_window.moc"

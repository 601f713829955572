// On a screen of twice the pixel density the video is rendered at the screen's own pixels: a
// 640x480 clip shown in 320x240 logical pixels keeps its detail instead of being rendered at
// 320x240 and doubled.
#include "Send.h"
#include "mci/LibmpvEngine.h"
#include "mci/SimulatedMedia.h"
#include "support/Clips.h"
#include "support/VideoWidget.h"
#include "toolkit/WindowHandles.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

class HiDpiTest : public QObject
{
    Q_OBJECT

  private slots:
    void pictureUsesTheScreensPixels();
};

namespace
{

// The share of 2x2 blocks of pixels that are of one colour: all of them in a doubled picture.
double uniformBlocks(const QImage &image)
{
    int uniform = 0;
    int blocks = 0;
    for (int y = 0; y + 1 < image.height(); y += 2) {
        for (int x = 0; x + 1 < image.width(); x += 2, ++blocks) {
            const QRgb corner = image.pixel(x, y);
            if (image.pixel(x + 1, y) == corner && image.pixel(x, y + 1) == corner &&
                image.pixel(x + 1, y + 1) == corner)
                ++uniform;
        }
    }
    return blocks ? double(uniform) / blocks : 1.0;
}

} // namespace

void HiDpiTest::pictureUsesTheScreensPixels()
{
    QTemporaryDir dir;
    mci::setAudioOutput(QStringLiteral("null"));
    mci::useLibmpvEngine();
    QString failure;
    const QString clip =
        clips::make(dir.path(), clips::format("avi-mpeg4-mp3"), {QSize(640, 480), 2}, &failure);
    QVERIFY2(!clip.isEmpty(), qPrintable(failure));

    QWidget parent;
    parent.resize(320, 240);
    parent.show();
    QCOMPARE(parent.devicePixelRatioF(), 2.0);
    QCOMPARE(send(QStringLiteral("open \"%1\" alias movie parent %2 style 1073741824")
                      .arg(clip)
                      .arg(toolkit::handleOf(&parent)))
                 .code,
             0u);
    QCOMPARE(send("put movie window at 0 0 320 240").code, 0u);
    QCOMPARE(send("play movie from 1000 to 1040").code, 0u);
    QTRY_COMPARE_WITH_TIMEOUT(reply("status movie mode"), QStringLiteral("stopped"), 10000);

    QWidget *video = support::videoWidget(&parent);
    QVERIFY(video);
    const auto picture = [video] {
        return video->grab().toImage().convertToFormat(QImage::Format_RGB32);
    };
    QTRY_VERIFY_WITH_TIMEOUT(uniformBlocks(picture()) < 0.9, 10000);
    const QImage shown = picture();
    QCOMPARE(shown.size(), QSize(640, 480));
    QCOMPARE(send("close movie").code, 0u);
}

int main(int argc, char **argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    HiDpiTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mci_hidpi.moc"

// In a real X server: a clip plays inside the picture area of a shown window, exactly in the
// rectangle it was placed at, and its pixels move.
#include "Send.h"
#include "mci/LibmpvEngine.h"
#include "mci/SimulatedMedia.h"
#include "support/Clips.h"
#include "support/VideoWidget.h"
#include "toolkit/WindowHandles.h"

#include <QScreen>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

class WindowTest : public QObject
{
    Q_OBJECT

  private slots:
    void clipPlaysInsideThePlacedRectangle();
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

} // namespace

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

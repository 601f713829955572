#include "common/ButtonCaptions.h"
#include "toolkit/CommandButton.h"
#include "toolkit/WindowHandles.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QTest>

using namespace modGlobals;

namespace
{

constexpr std::uint32_t kDarkBlue = 0x00800000; // blue 128, green 0, red 0

int pixelsOf(const QImage &image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF))
                ++count;
    return count;
}

// The rows that hold text-coloured pixels: where the caption sits.
std::pair<int, int> rowsOf(const QImage &image, QRgb colour)
{
    int first = -1;
    int last = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((image.pixel(x, y) & 0xFFFFFF) == (colour & 0xFFFFFF)) {
                if (first < 0)
                    first = y;
                last = y;
            }
    return {first, last};
}

struct Buttons {
    QWidget parent;
    toolkit::CommandButton first{&parent};
    toolkit::CommandButton second{&parent};

    Buttons()
    {
        parent.resize(300, 100);
        first.setCaption("Playlist");
        first.setGraphical(true);
        first.Move(0, 0, 1275, 600); // 85 x 40 pixels at 15 twips per pixel
        second.setCaption("Other");
        second.setGraphical(true);
        second.Move(1500, 0, 1275, 600);
    }
    long long hParent() { return toolkit::handleOf(&parent); }
    long long hFirst() { return toolkit::handleOf(&first); }
    long long hSecond() { return toolkit::handleOf(&second); }
};

QVariant hookOf(QWidget &window)
{
    return window.property("ExtBtnProc");
}

int hookCount(QWidget &window)
{
    return static_cast<int>(window.findChildren<toolkit::DrawItemHook *>().size());
}

} // namespace

class ButtonCaptionsTest : public QObject
{
    Q_OBJECT

  private slots:
    void setTwiceHooksOnce();
    void twoButtonsOneHook();
    void clearKeepsHook();
    void unhookRemovesHook();
    void captionRect_data();
    void captionRect();
    void nonButtonNeverRepainted();
    void playlistCaptionIsDarkBlue();
    void alignmentPlacesCaption();
};

void ButtonCaptionsTest::setTwiceHooksOnce()
{
    Buttons b;
    SetButtonTextColor(b.hFirst(), kDarkBlue, DT_VCENTER);
    const QVariant hook = hookOf(b.parent);
    QVERIFY(hook.isValid() && hook.toULongLong() != 0);
    QVERIFY(toolkit::drawItemHookOf(&b.parent));
    SetButtonTextColor(b.hFirst(), 0x000000FF, DT_BOTTOM);
    QCOMPARE(hookOf(b.parent), hook);
    QCOMPARE(hookCount(b.parent), 1);
    QCOMPARE(b.first.property("VBTCustom").toInt(), 1);
    QCOMPARE(b.first.property("VBTForeColor").toUInt(), 0x000000FFu);
    QCOMPARE(b.first.property("VBTVAlign").toInt(), DT_BOTTOM);
}

void ButtonCaptionsTest::twoButtonsOneHook()
{
    Buttons b;
    SetButtonTextColor(b.hFirst(), kDarkBlue, DT_VCENTER);
    SetButtonTextColor(b.hSecond(), 0x000000FF, DT_TOP);
    QCOMPARE(hookCount(b.parent), 1);
    toolkit::DrawItemHook *hook = toolkit::drawItemHookOf(&b.parent);
    QVERIFY(hook);
    QVERIFY(hook->drawsCaption(b.first));
    QVERIFY(hook->drawsCaption(b.second));
    QCOMPARE(b.second.property("VBTForeColor").toUInt(), 0x000000FFu);
    QCOMPARE(b.first.property("VBTForeColor").toUInt(), kDarkBlue);
}

void ButtonCaptionsTest::clearKeepsHook()
{
    Buttons b;
    SetButtonTextColor(b.hFirst(), kDarkBlue, DT_VCENTER);
    const QVariant hook = hookOf(b.parent);
    ClearButtonTextColor(b.hFirst());
    QVERIFY(!b.first.property("VBTCustom").isValid());
    QVERIFY(!b.first.property("VBTForeColor").isValid());
    QVERIFY(!b.first.property("VBTVAlign").isValid());
    QCOMPARE(hookOf(b.parent), hook);
    QVERIFY(!toolkit::drawItemHookOf(&b.parent)->drawsCaption(b.first));
    // The toolkit's own caption is back: no dark blue left.
    QCOMPARE(pixelsOf(b.first.grab().toImage(), qRgb(0, 0, 128)), 0);
}

void ButtonCaptionsTest::unhookRemovesHook()
{
    Buttons b;
    SetButtonTextColor(b.hFirst(), kDarkBlue, DT_VCENTER);
    UnhookButton(b.hParent());
    QVERIFY(!hookOf(b.parent).isValid() || hookOf(b.parent).toULongLong() == 0);
    QVERIFY(!toolkit::drawItemHookOf(&b.parent));
    UnhookButton(b.hParent()); // nothing to undo
    HookButton(b.hParent());
    HookButton(b.hParent());
    QCOMPARE(hookCount(b.parent), 1);
}

void ButtonCaptionsTest::captionRect_data()
{
    QTest::addColumn<int>("alignment");
    QTest::addColumn<int>("itemState");
    QTest::addColumn<QRect>("expected");
    const QRect face(0, 0, 85, 40);
    QTest::newRow("top") << DT_TOP << 0 << face;
    QTest::newRow("centre") << DT_VCENTER << 0 << face;
    QTest::newRow("bottom, 4 pixels up") << DT_BOTTOM << 0 << face.adjusted(0, 0, 0, -4);
    QTest::newRow("centre pressed") << DT_VCENTER << 1 << face.translated(1, 1);
    QTest::newRow("bottom pressed")
        << DT_BOTTOM << 1 << face.adjusted(0, 0, 0, -4).translated(1, 1);
    QTest::newRow("other state bits") << DT_TOP << 0x10 << face;
}

void ButtonCaptionsTest::captionRect()
{
    QFETCH(int, alignment);
    QFETCH(int, itemState);
    QFETCH(QRect, expected);
    QCOMPARE(CaptionRect(QRect(0, 0, 85, 40), alignment, itemState), expected);
}

void ButtonCaptionsTest::nonButtonNeverRepainted()
{
    Buttons b;
    SetButtonTextColor(b.hFirst(), kDarkBlue, DT_VCENTER);
    QLabel label("Playlist", &b.parent);
    label.setProperty("VBTCustom", 1);
    label.setProperty("VBTForeColor", QVariant::fromValue(kDarkBlue));
    label.setProperty("VBTVAlign", DT_VCENTER);
    toolkit::DrawItemHook *hook = toolkit::drawItemHookOf(&b.parent);
    QVERIFY(!hook->drawsCaption(label));

    QImage image(85, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        hook->drawItem(label, painter, image.rect(), 0);
    }
    QCOMPARE(pixelsOf(image, qRgb(255, 255, 255)), 85 * 40);
}

void ButtonCaptionsTest::playlistCaptionIsDarkBlue()
{
    Buttons b;
    QCOMPARE(pixelsOf(b.first.grab().toImage(), qRgb(0, 0, 128)), 0);
    SetButtonTextColor(b.hFirst(), kDarkBlue, DT_VCENTER);
    QVERIFY(pixelsOf(b.first.grab().toImage(), qRgb(0, 0, 128)) > 0);
    // The other button on the same parent keeps the toolkit's caption.
    QCOMPARE(pixelsOf(b.second.grab().toImage(), qRgb(0, 0, 128)), 0);
}

void ButtonCaptionsTest::alignmentPlacesCaption()
{
    Buttons b;
    const QRgb blue = qRgb(0, 0, 128);
    SetButtonTextColor(b.hFirst(), kDarkBlue, DT_TOP);
    const auto top = rowsOf(b.first.grab().toImage(), blue);
    SetButtonTextColor(b.hFirst(), kDarkBlue, DT_VCENTER);
    const auto centre = rowsOf(b.first.grab().toImage(), blue);
    SetButtonTextColor(b.hFirst(), kDarkBlue, DT_BOTTOM);
    const auto bottom = rowsOf(b.first.grab().toImage(), blue);
    QVERIFY(top.first >= 0 && centre.first >= 0 && bottom.first >= 0);
    QVERIFY(top.first < centre.first);
    QVERIFY(centre.first < bottom.first);
    QVERIFY(bottom.second <= b.first.height() - 1 - 4);

    // Pressed: the caption moves one pixel down.
    SetButtonTextColor(b.hFirst(), kDarkBlue, DT_VCENTER);
    b.first.setState(true);
    const auto pressed = rowsOf(b.first.grab().toImage(), blue);
    QCOMPARE(pressed.first, centre.first + 1);
}

QTEST_MAIN(ButtonCaptionsTest)
#include "tst_ButtonCaptions.moc"

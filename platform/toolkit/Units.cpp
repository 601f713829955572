#include "toolkit/Units.h"

#include "toolkit/WindowHandles.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace toolkit
{
namespace
{

int twipsPerPixel(qreal dpi)
{
    const int perPixel = dpi > 0 ? qRound(1440.0 / dpi) : 15;
    return perPixel > 0 ? perPixel : 15;
}

QScreen *primary()
{
    return QGuiApplication::primaryScreen();
}

} // namespace

int twipsPerPixelX()
{
    return primary() ? twipsPerPixel(primary()->logicalDotsPerInchX()) : 15;
}

int twipsPerPixelY()
{
    return primary() ? twipsPerPixel(primary()->logicalDotsPerInchY()) : 15;
}

int toPixelsX(int twips)
{
    return twips / twipsPerPixelX();
}
int toPixelsY(int twips)
{
    return twips / twipsPerPixelY();
}
int toTwipsX(int pixels)
{
    return pixels * twipsPerPixelX();
}
int toTwipsY(int pixels)
{
    return pixels * twipsPerPixelY();
}

QSize screenPixels()
{
    return primary() ? primary()->size() : QSize(1024, 768);
}

QRect screenPixelsOf(const QWidget &window)
{
    const QWidget &top = *window.window();
    QScreen *screen = QGuiApplication::screenAt(top.geometry().center());
    if (!screen)
        screen = top.screen();
    if (!screen)
        screen = primary();
    return screen ? screen->geometry() : QRect(QPoint(0, 0), screenPixels());
}

QRect screenTwipsOf(const QWidget &window)
{
    const QRect pixels = screenPixelsOf(window);
    return QRect(toTwipsX(pixels.x()), toTwipsY(pixels.y()), toTwipsX(pixels.width()),
                 toTwipsY(pixels.height()));
}

int screenWidth()
{
    return toTwipsX(screenPixels().width());
}
int screenHeight()
{
    return toTwipsY(screenPixels().height());
}

int Control::Left() const
{
    return mLeft;
}
int Control::Top() const
{
    return mTop;
}
int Control::Width() const
{
    return mWidth;
}
int Control::Height() const
{
    return mHeight;
}
void Control::setLeft(int twips)
{
    Move(twips, mTop, mWidth, mHeight);
}
void Control::setTop(int twips)
{
    Move(mLeft, twips, mWidth, mHeight);
}
void Control::setWidth(int twips)
{
    Move(mLeft, mTop, twips, mHeight);
}
void Control::setHeight(int twips)
{
    Move(mLeft, mTop, mWidth, twips);
}

void Control::Move(int left, int top, int width, int height)
{
    mLeft = left;
    mTop = top;
    mWidth = width;
    mHeight = height;
    apply();
}

void Control::apply()
{
    mWidget.setGeometry(toPixelsX(mLeft), toPixelsY(mTop), qMax(0, toPixelsX(mWidth)),
                        qMax(0, toPixelsY(mHeight)));
}

long long Control::hWnd() const
{
    return handleOf(&mWidget);
}

} // namespace toolkit

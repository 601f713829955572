#pragma once

#include <QRect>

class QWidget;

namespace toolkit
{

// Geometry is kept in twips (1440 per inch); pixels appear only here, at the Qt boundary.
int twipsPerPixelX();
int twipsPerPixelY();
int toPixelsX(int twips);
int toPixelsY(int twips);
int toTwipsX(int pixels);
int toTwipsY(int pixels);

// The primary screen in twips and in pixels.
int screenWidth();
int screenHeight();
QSize screenPixels();
// The screen that holds most of `window` (the primary one while it is nowhere), its geometry in
// pixels and in twips.
QRect screenPixelsOf(const QWidget &window);
QRect screenTwipsOf(const QWidget &window);

// The frame allowance where no window manager frames a window (no window manager, or the offscreen
// platform): outer window sizes are the client size plus this, a menu bar included. Under a
// window manager the frame it really draws takes its place. In pixels.
inline constexpr int kFrameWidthPixels = 6;
inline constexpr int kFrameHeightPixels = 44;

// Geometry of a child control in twips, relative to its parent. The twips are kept as set,
// so figures such as 7270 survive although they are no whole number of pixels.
class Control
{
  public:
    explicit Control(QWidget &widget) : mWidget(widget) {}
    virtual ~Control() = default;

    int Left() const;
    int Top() const;
    int Width() const;
    int Height() const;
    void setLeft(int twips);
    void setTop(int twips);
    void setWidth(int twips);
    void setHeight(int twips);
    void Move(int left, int top, int width, int height);
    long long hWnd() const;

  private:
    void apply();

    QWidget &mWidget;
    int mLeft = 0;
    int mTop = 0;
    int mWidth = 0;
    int mHeight = 0;
};

} // namespace toolkit

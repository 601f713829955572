#include "mci/libmpv/VideoWidget.h"

#include <QPainter>

#include <cmath>

namespace mci
{

VideoWidget::VideoWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("mciVideo"));
    hide();
}

void VideoWidget::setDestination(const QRect &rect)
{
    mDestination = rect;
    emit resized();
}

QRect VideoWidget::target() const
{
    return mDestination.isEmpty() ? rect() : mDestination;
}

QSize VideoWidget::pixelSize() const
{
    const qreal ratio = devicePixelRatioF();
    const QSize logical = target().size();
    return {static_cast<int>(std::ceil(logical.width() * ratio)),
            static_cast<int>(std::ceil(logical.height() * ratio))};
}

void VideoWidget::frameRendered()
{
    ++mRenders;
    mFrame.setDevicePixelRatio(devicePixelRatioF());
    // From the first frame on the widget covers every pixel of itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    update();
}

void VideoWidget::paintEvent(QPaintEvent *)
{
    if (mFrame.isNull())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(target().topLeft(), mFrame);
    // Moved to a screen of another pixel density: the frame no longer fits its pixels. It is
    // rendered again once this paint is over, not in the middle of it.
    if (mFrame.size() != pixelSize().expandedTo(QSize(16, 16)))
        askRerender();
}

void VideoWidget::askRerender()
{
    if (mRerenderAsked)
        return;
    mRerenderAsked = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            mRerenderAsked = false;
            emit resized();
        },
        Qt::QueuedConnection);
}

// A hidden widget is rendered once it shows, at the size it has then: a video that is moved and
// fitted into another window is rendered once, not at every size on the way.
void VideoWidget::resizeEvent(QResizeEvent *)
{
    if (isVisible())
        emit resized();
    else
        mResizedHidden = true;
}

// The render waits until the window that shows the widget has asked the X server to map it, so
// that the server maps and exposes the window while the frame is rendered, not after.
void VideoWidget::showEvent(QShowEvent *)
{
    if (!mResizedHidden)
        return;
    mResizedHidden = false;
    askRerender();
}

void discardVideoWidget(const QPointer<VideoWidget> &widget)
{
    if (!widget)
        return;
    widget->hide();
    widget->deleteLater();
}

} // namespace mci

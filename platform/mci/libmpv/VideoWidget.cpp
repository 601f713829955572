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
    destination_ = rect;
    emit resized();
}

QRect VideoWidget::target() const
{
    return destination_.isEmpty() ? rect() : destination_;
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
    ++renders_;
    frame_.setDevicePixelRatio(devicePixelRatioF());
    // From the first frame on the widget covers every pixel of itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    update();
}

void VideoWidget::paintEvent(QPaintEvent *)
{
    if (frame_.isNull())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.drawImage(target().topLeft(), frame_);
    // Moved to a screen of another pixel density: the frame no longer fits its pixels. It is
    // rendered again once this paint is over, not in the middle of it.
    if (frame_.size() != pixelSize().expandedTo(QSize(16, 16)))
        askRerender();
}

void VideoWidget::askRerender()
{
    if (rerenderAsked_)
        return;
    rerenderAsked_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            rerenderAsked_ = false;
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
        resizedHidden_ = true;
}

// The render waits until the window that shows the widget has asked the X server to map it, so
// that the server maps and exposes the window while the frame is rendered, not after.
void VideoWidget::showEvent(QShowEvent *)
{
    if (!resizedHidden_)
        return;
    resizedHidden_ = false;
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

#include "mci/VideoWidget.h"

#include <QPainter>

namespace mci
{

VideoWidget::VideoWidget(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("mciVideo"));
    setAttribute(Qt::WA_OpaquePaintEvent);
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

void VideoWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (!frame_.isNull())
        painter.drawImage(target().topLeft(), frame_);
}

void VideoWidget::resizeEvent(QResizeEvent *)
{
    emit resized();
}

} // namespace mci

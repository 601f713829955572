#pragma once

#include <QImage>
#include <QRect>
#include <QWidget>

namespace mci
{

// The child widget a device draws its picture in: it paints the last frame it was given into
// the destination rectangle (all of the widget when that is empty) on black.
class VideoWidget final : public QWidget
{
    Q_OBJECT
  public:
    explicit VideoWidget(QWidget *parent);

    void setDestination(const QRect &rect);
    QRect destination() const { return destination_; }
    // Where the picture goes, in widget coordinates.
    QRect target() const;
    // The engine renders into this image and then calls update().
    QImage &frame() { return frame_; }

  signals:
    void resized();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

  private:
    QImage frame_;
    QRect destination_;
};

} // namespace mci

#pragma once

#include <QImage>
#include <QPointer>
#include <QRect>
#include <QWidget>

namespace mci
{

// The child widget a device draws its picture in: it paints the last frame it was given into
// the destination rectangle (all of the widget when that is empty) on black. Until the first
// frame arrives it paints nothing, so the picture area shows through instead of a black box.
class VideoWidget final : public QWidget
{
    Q_OBJECT
    // How many frames have been rendered into the widget: a paint that finds the count changed
    // shows a new picture.
    Q_PROPERTY(int renders READ renders)
  public:
    explicit VideoWidget(QWidget *parent);

    void setDestination(const QRect &rect);
    QRect destination() const { return mDestination; }
    // Where the picture goes, in widget coordinates.
    QRect target() const;
    // The size the picture is rendered at: the target in the device pixels of the widget's
    // screen, so that it stays sharp on a high-density screen.
    QSize pixelSize() const;
    // The engine renders into this image at pixelSize() and then calls frameRendered().
    QImage &frame() { return mFrame; }
    void frameRendered();
    int renders() const { return mRenders; }

  signals:
    // The picture has to be rendered again at pixelSize().
    void resized();

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

  private:
    // Renders again once the events now waiting have run.
    void askRerender();

    QImage mFrame;
    QRect mDestination;
    int mRenders = 0;
    bool mRerenderAsked = false;
    bool mResizedHidden = false;
};

// Hides the widget at once and deletes it once the events now waiting have run: a device may be
// closed from inside one of its widget's own events (a double-click on the video).
void discardVideoWidget(const QPointer<VideoWidget> &widget);

} // namespace mci

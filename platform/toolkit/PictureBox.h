#pragma once

#include "toolkit/Units.h"

#include <QPixmap>
#include <QWidget>

#include <cstdint>

namespace toolkit
{

// A picture area: background colour, a picture drawn at its top-left corner, and a handle that
// the media layer uses as the parent of its video window.
class PictureBox : public QWidget, public Control
{
    Q_OBJECT
  public:
    explicit PictureBox(QWidget *parent);

    std::uint32_t BackColor() const { return mBackColor; }
    void setBackColor(std::uint32_t color);
    // Loads a picture from a file: 53 when it is missing, 481 "Invalid picture" when unreadable.
    void LoadPicture(const QString &path);
    void ClearPicture();
    bool HasPicture() const { return !mPicture.isNull(); }
    const QPixmap &Picture() const { return mPicture; }

  protected:
    void paintEvent(QPaintEvent *event) override;

  private:
    std::uint32_t mBackColor = 0x8000000F;
    QPixmap mPicture;
};

} // namespace toolkit

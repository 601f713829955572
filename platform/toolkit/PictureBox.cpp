#include "toolkit/PictureBox.h"

#include "failure/Failure.h"
#include "toolkit/Colors.h"

#include <QFileInfo>
#include <QImageReader>
#include <QPainter>

namespace toolkit
{

PictureBox::PictureBox(QWidget *parent) : QWidget(parent), Control(static_cast<QWidget &>(*this)) {}

void PictureBox::setBackColor(std::uint32_t color)
{
    mBackColor = color;
    update();
}

void PictureBox::LoadPicture(const QString &path)
{
    if (!QFileInfo(path).isFile())
        throw pellin::Failure(pellin::failure::FileNotFound);
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull())
        throw pellin::Failure(pellin::failure::InvalidPicture);
    mPicture = QPixmap::fromImage(image);
    update();
}

void PictureBox::ClearPicture()
{
    mPicture = QPixmap();
    update();
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), colorOf(mBackColor));
    if (!mPicture.isNull())
        painter.drawPixmap(0, 0, mPicture);
}

} // namespace toolkit

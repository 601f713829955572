#include "CoursePicture.h"

#include "SavedFile.h"

#include <QFont>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <stdexcept>

namespace demo
{

QImage coursePicture(const Course &course)
{
    QImage image(640, 480, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);

    QLinearGradient background(0, 0, 0, image.height());
    background.setColorAt(0, QColor(0x10, 0x20, 0x50));
    background.setColorAt(1, QColor(0x00, 0x00, 0x40));
    painter.fillRect(image.rect(), background);

    // A small network diagram: the course's subject at a glance.
    painter.setPen(QPen(QColor(0x70, 0xA0, 0xE0), 3));
    const QPointF hub(320, 190);
    const QPointF nodes[] = {{150, 110}, {490, 110}, {130, 270}, {510, 270}, {320, 330}};
    for (const QPointF &node : nodes)
        painter.drawLine(hub, node);
    painter.setBrush(QColor(0xE0, 0xE8, 0xF8));
    for (const QPointF &node : nodes)
        painter.drawEllipse(node, 18, 18);
    painter.setBrush(QColor(0xF0, 0xB0, 0x30));
    painter.drawEllipse(hub, 30, 30);

    painter.setPen(Qt::white);
    QFont title(QStringLiteral("DejaVu Sans"));
    title.setPixelSize(34);
    title.setBold(true);
    painter.setFont(title);
    painter.drawText(QRect(0, 370, 640, 50), Qt::AlignCenter, course.name);

    QFont subtitle(QStringLiteral("DejaVu Sans"));
    subtitle.setPixelSize(18);
    painter.setFont(subtitle);
    painter.drawText(
        QRect(0, 420, 640, 30), Qt::AlignCenter,
        QStringLiteral("%1 videos - choose one in the playlist").arg(course.entries.size()));
    return image;
}

void writeCoursePicture(const Course &course, const QString &file)
{
    SavedFile out(file);
    QImageWriter writer(&out.device(), "bmp");
    if (!writer.write(coursePicture(course)))
        throw std::runtime_error("cannot write the course picture: " +
                                 writer.errorString().toStdString());
    out.commit();
}

} // namespace demo

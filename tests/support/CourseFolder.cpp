#include "support/CourseFolder.h"

#include "common/modGlobals.h"

#include <QDir>
#include <QFile>
#include <QImage>

namespace support
{

CourseFolder::CourseFolder(const QString &parent) : mRoot(parent + QStringLiteral("/Course Disc"))
{
    QDir().mkpath(bin());
}

void CourseFolder::writeIndex(const QStringList &lines) const
{
    QFile file(bin() + QStringLiteral("/index.dat"));
    file.open(QIODevice::WriteOnly | QIODevice::Truncate);
    for (const QString &line : lines)
        file.write(line.toUtf8() + "\r\n");
}

void CourseFolder::writePicture(const QString &relative, QSize size) const
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::darkGreen);
    image.save(mRoot + relative);
}

QString CourseFolder::keyOf(const QString &relative)
{
    return modGlobals::gMediaRoot + relative;
}

} // namespace support

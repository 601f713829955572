#include "CourseIndexWriter.h"

#include "SavedFile.h"

#include <stdexcept>

namespace demo
{

namespace
{

// Windows-1252 and Latin-1 agree outside 0x80-0x9F, so a text made of ASCII and Latin-1
// letters has the same bytes in both; anything else cannot be written in the code page.
QByteArray windowsCodePage(const QString &line)
{
    for (const QChar c : line) {
        const char16_t u = c.unicode();
        if (u > 0xFF || (u >= 0x80 && u < 0xA0))
            throw std::runtime_error("not representable in the Windows code page: " +
                                     line.toStdString());
    }
    return line.toLatin1();
}

// A separator inside a field would shift the fields after it; a ";" would even turn the
// caption line into an entry line.
void requireWithout(const QString &field, QLatin1String separators)
{
    for (const QChar c : separators)
        if (field.contains(c))
            throw std::runtime_error("index field contains a separator: " + field.toStdString());
}

} // namespace

QByteArray courseIndex(const Course &course)
{
    const QByteArray lineEnd("\r\n");
    requireWithout(course.name, QLatin1String(":;"));
    requireWithout(course.picturePath, QLatin1String(":;"));
    QByteArray text = QStringLiteral("%1:0:0:%2").arg(course.name, course.picturePath).toUtf8();
    text += lineEnd;
    for (const Video &video : course.entries) {
        requireWithout(video.path, QLatin1String(";"));
        requireWithout(video.title, QLatin1String(";"));
        const QString line =
            QStringLiteral("%1;%2;%3").arg(video.path, video.title, lengthText(video.seconds));
        text += video.windowsCodePage ? windowsCodePage(line) : line.toUtf8();
        text += lineEnd;
    }
    return text;
}

void writeCourseIndex(const Course &course, const QString &file)
{
    SavedFile out(file);
    out.device().write(courseIndex(course));
    out.commit();
}

} // namespace demo

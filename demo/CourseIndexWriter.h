#pragma once

#include "CourseContent.h"

#include <QByteArray>
#include <QString>

namespace demo
{

// The bytes of bin/index.dat: one caption line (name, message number, unused, picture) and one
// entry line per video (path, title, length), CR LF line ends. Lines are UTF-8 except those the
// course marks for the Windows code page.
QByteArray courseIndex(const Course &course);

// Writes the index to file, replacing it only once the whole text is on disk.
// Throws std::runtime_error when the file cannot be written.
void writeCourseIndex(const Course &course, const QString &file);

} // namespace demo

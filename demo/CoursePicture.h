#pragma once

#include "CourseContent.h"

#include <QImage>
#include <QString>

namespace demo
{

// The picture the video area shows until a video covers it: 640 x 480, the area's own size.
QImage coursePicture(const Course &course);

// Saves the picture as a Windows bitmap (BMP), the format every picture loader reads.
// Throws std::runtime_error when the file cannot be written.
void writeCoursePicture(const Course &course, const QString &file);

} // namespace demo

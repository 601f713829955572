#pragma once

#include "CourseContent.h"

#include <QString>

namespace demo
{

// The course's PDF documents, opened from the player's Help menu.
// Both throw std::runtime_error when the file cannot be written.
void writeManual(const Course &course, const QString &file);
void writeLicenseAgreement(const Course &course, const QString &file);

} // namespace demo

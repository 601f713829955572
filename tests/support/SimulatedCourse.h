#pragma once

#include "support/WindowFixture.h"

#include <QString>

namespace support
{

// A course of three simulated videos in the playlist, in this order: an introduction (0:12,
// 320x240), a module (1:00) and a long module (12:40), both 640x480. The suites that drive the
// transport from keys, menus or the desktop all play the same three.
namespace course
{
inline const QString kRoot = QStringLiteral("/course");
inline const QString kIntro = kRoot + QStringLiteral("/videos/intro.asf");
inline const QString kModule = kRoot + QStringLiteral("/videos/module1.avi");
inline const QString kLong = kRoot + QStringLiteral("/videos/long.mpg");
} // namespace course

// Makes the fixture's media simulated with the three videos, sets the course root and fills the
// playlist with their entries.
void loadSimulatedCourse(WindowFixture &fixture);

} // namespace support

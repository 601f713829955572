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

// Selects the entry of `key` and plays it as a click on it does.
void playEntry(const QString &key);

// Puts the player of the loaded course in a named state of the transport, as a student gets
// there: "selected" (the module selected, nothing loaded), "playing" and "paused" (the module,
// 10 s in), "intro" (the introduction playing), "last" (the long module playing) or
// "full screen" (the module playing in full screen). Any other name leaves the player as it is.
void arrangeState(WindowFixture &fixture, const QString &state);

} // namespace support

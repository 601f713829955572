#pragma once

#include <QString>
#include <QtGlobal>

// Small path and time helpers shared by every window and by the file formats.
namespace modGlobals
{

// The course root: the part of a folder path before its first "/bin" (matched ignoring case,
// "/binaries" matches too), lower case, without a trailing separator; empty when there is no match.
QString GetMediaRoot(const QString &path);

// The path with the native separator appended unless it already ends in one.
QString AddBackslash(const QString &path);

// The text up to its first NUL character.
QString TrimNull(const QString &text);

// "m:ss" display of a duration. Milliseconds are rounded to whole seconds with halves going to the
// even neighbour; there is no hour field. Negative durations (the controller's -1 for "unknown")
// show as 0:00.
QString FormatTime(qint64 time, bool inMilliseconds);

} // namespace modGlobals

#pragma once

#include "system/AtomicFile.h"

#include <QByteArrayView>
#include <QString>
#include <QStringList>

// Text files of lines, as the course index and the list files are kept. Lines end in CR LF, LF or
// a lone CR. Each line is UTF-8; a line that is not valid UTF-8 was written on Windows and is read
// as Windows-1252. Writing always produces UTF-8 with CR LF after every line.
namespace pellin
{

// Decodes file content into lines. Empty lines are kept; a final line end adds no empty line.
QStringList decodeTextLines(QByteArrayView bytes);

// Reads a whole file, found ignoring letter case. Throws pellin::Failure: 53 when the file is
// missing, 76 when its folder is missing, 75 when it exists but cannot be read.
QStringList readTextLines(const QString &path);

// Replaces the file with the lines. The old file stays untouched unless the new content has been
// written completely. `options` choose the new file's mode and what a link in its place gets.
// Throws pellin::Failure: 76 when the folder is missing, 75 otherwise.
void writeTextLines(const QString &path, const QStringList &lines,
                    const sys::SaveOptions &options = {});

} // namespace pellin

#pragma once

#include <QByteArray>
#include <QString>

// Whole files written and read as bytes, for the fixtures of the suites.
namespace support
{

// Writes `content` as the whole file; false when it cannot.
bool writeFile(const QString &path, const QByteArray &content);
// The whole file; empty when it cannot be read.
QByteArray readFile(const QString &path);

// Puts at `path` something a list reader must refuse without waiting or running out of memory:
// "FIFO" (no writer), "endless device" (a link to /dev/zero), "folder", "link loop" (a link to
// itself) or "over the limit" (a file of 64 MB and a byte, sparse). False when it cannot.
bool makeNoListFile(const QString &kind, const QString &path);
// What the reader's report says of each kind, after the file's path.
QString whyNoListFile(const QString &kind);

} // namespace support

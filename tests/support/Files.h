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

} // namespace support

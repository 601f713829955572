#pragma once

#include "support/Files.h"

#include <QDateTime>
#include <QFile>
#include <QString>

// Small file fixtures of the launcher tests.
using support::readFile;
using support::writeFile;

inline bool setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(time, QFileDevice::FileModificationTime);
}

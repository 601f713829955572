#pragma once

#include <QDir>
#include <QString>

namespace pellin
{

// Course data was written with "\" separators; path fields accept "\" and "/" alike and are kept
// with the native separator.
inline QString nativePathField(QString field)
{
    field.replace(u'\\', u'/');
    return QDir::toNativeSeparators(field);
}

// An intro is an ASF video: its path ends in "asf", in any letter case.
inline bool isIntroPath(const QString &path)
{
    return path.endsWith(QLatin1String("asf"), Qt::CaseInsensitive);
}

} // namespace pellin

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

// Appends a path field as nativePathField gives it, without making a string of the field.
inline void appendNativePathField(QString &to, QStringView field)
{
    const qsizetype start = to.size();
    to.append(field);
    const QChar separator = QDir::separator();
    QChar *const end = to.data() + to.size();
    for (QChar *c = to.data() + start; c != end; ++c)
        if (*c == u'\\' || *c == u'/')
            *c = separator;
}

// An intro is an ASF video: its path ends in "asf", in any letter case.
inline bool isIntroPath(QStringView path)
{
    return path.endsWith(QLatin1String("asf"), Qt::CaseInsensitive);
}

} // namespace pellin

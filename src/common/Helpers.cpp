#include "common/Helpers.h"

#include <QDir>

namespace modGlobals
{

namespace
{

qint64 secondsHalfEven(qint64 milliseconds)
{
    qint64 seconds = milliseconds / 1000;
    qint64 rest = milliseconds % 1000;
    if (rest < 0) {
        --seconds;
        rest += 1000;
    }
    if (rest > 500 || (rest == 500 && seconds % 2 != 0))
        ++seconds;
    return seconds;
}

} // namespace

QString GetMediaRoot(const QString &path)
{
    const QString marker = QDir::separator() + QStringLiteral("bin");
    const qsizetype at = path.indexOf(marker, 0, Qt::CaseInsensitive);
    if (at < 0)
        return {};
    QString root = path.left(at + 1).toLower();
    if (root.endsWith(QDir::separator()))
        root.chop(1);
    return root;
}

QString AddBackslash(const QString &path)
{
    if (path.endsWith(QDir::separator()))
        return path;
    return path + QDir::separator();
}

QString TrimNull(const QString &text)
{
    const qsizetype at = text.indexOf(QChar(u'\0'));
    return at < 0 ? text : text.left(at);
}

QString FormatTime(qint64 time, bool inMilliseconds)
{
    const qint64 seconds = qMax<qint64>(0, inMilliseconds ? secondsHalfEven(time) : time);
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QChar(u'0'));
}

} // namespace modGlobals

#include "support/Files.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

namespace support
{

bool writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool makeNoListFile(const QString &kind, const QString &path)
{
    if (kind == QLatin1String("FIFO"))
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    if (kind == QLatin1String("endless device"))
        return QFile::link(QStringLiteral("/dev/zero"), path);
    if (kind == QLatin1String("folder"))
        return QDir().mkpath(path);
    if (kind == QLatin1String("link loop"))
        return QFile::link(path, path);
    if (kind == QLatin1String("over the limit")) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.resize((qint64(64) << 20) + 1);
    }
    return false;
}

QString whyNoListFile(const QString &kind)
{
    if (kind == QLatin1String("folder"))
        return QStringLiteral("is a folder, not a file");
    if (kind == QLatin1String("link loop"))
        return QStringLiteral("is a link that leads round in a circle");
    if (kind == QLatin1String("over the limit"))
        return QStringLiteral("is larger than 64 MB");
    return QStringLiteral("is not a regular file");
}

} // namespace support

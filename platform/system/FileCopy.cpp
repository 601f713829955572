#include "system/FileCopy.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace sys
{

namespace
{

bool copyContent(QFile &from, QFile &to)
{
    constexpr qint64 chunkSize = 1 << 16;
    while (!from.atEnd()) {
        const QByteArray chunk = from.read(chunkSize);
        if (chunk.isEmpty() && from.error() != QFileDevice::NoError)
            return false;
        if (to.write(chunk) != chunk.size())
            return false;
    }
    return to.flush();
}

} // namespace

bool copyFile(const std::string &existing, const std::string &target, bool failIfExists)
{
    const QFileInfo source(QString::fromStdString(existing));
    const QFileInfo destination(QString::fromStdString(target));
    if (!source.isFile() || destination.isDir())
        return false;
    // The owner's write permission stands for the read-only mark, whoever runs the copy.
    const bool writeProtected = !destination.permissions().testFlag(QFileDevice::WriteOwner);
    if (destination.exists() && (failIfExists || writeProtected))
        return false;

    QFile from(source.absoluteFilePath());
    if (!from.open(QIODevice::ReadOnly))
        return false;
    // Written beside the target and renamed over it, so that the target is never half a file.
    QTemporaryFile copy(destination.absolutePath() + QStringLiteral("/.") + destination.fileName() +
                        QStringLiteral(".XXXXXX"));
    if (!copy.open() || !copyContent(from, copy))
        return false;
    // Files on a CD carry no write permission; a copy that kept that would refuse the next
    // replacement.
    copy.setPermissions(from.permissions() | QFileDevice::WriteOwner);
    copy.setFileTime(source.lastModified(), QFileDevice::FileModificationTime);
    copy.close();

    std::error_code error;
    fs::rename(copy.fileName().toStdString(), target, error);
    if (error)
        return false;
    copy.setAutoRemove(false);
    return true;
}

} // namespace sys

#include "system/FileCopy.h"

#include "system/AtomicFile.h"

#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>

namespace sys
{

bool copyFile(const std::string &existing, const std::string &target, bool failIfExists)
{
    const QFileInfo source(QFile::decodeName(existing.c_str()));
    const QFileInfo destination(QFile::decodeName(target.c_str()));
    if (!source.isFile() || destination.isDir())
        return false;
    // The owner's write permission stands for the read-only mark, whoever runs the copy.
    const bool writeProtected = !destination.permissions().testFlag(QFileDevice::WriteOwner);
    if (destination.exists() && (failIfExists || writeProtected))
        return false;

    QFile from(source.absoluteFilePath());
    if (!from.open(QIODevice::ReadOnly))
        return false;
    struct stat status {};
    if (::fstat(from.handle(), &status) != 0)
        return false;
    const QByteArray content = from.readAll();
    if (from.error() != QFileDevice::NoError)
        return false;

    // Files on a CD carry no write permission; a copy that kept that would refuse the next
    // replacement. A link at the target is replaced, never written through.
    SaveOptions options;
    options.mode = (status.st_mode & 0777) | S_IWUSR;
    options.links = Links::Replace;
    if (!saveFile(target, std::string_view(content.constData(), std::size_t(content.size())),
                  options))
        return false;
    const timespec times[2] = {{0, UTIME_OMIT}, status.st_mtim};
    ::utimensat(AT_FDCWD, target.c_str(), times, AT_SYMLINK_NOFOLLOW);
    return true;
}

} // namespace sys

#include "SavedFile.h"

#include "system/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace demo
{

namespace
{

std::runtime_error failure(const char *what, const QString &file, const QString &reason)
{
    return std::runtime_error(
        QStringLiteral("cannot %1 %2: %3").arg(QLatin1String(what), file, reason).toStdString());
}

} // namespace

SavedFile::SavedFile(const QString &file) : m_file(file)
{
    const QString folder = QFileInfo(file).absolutePath();
    if (!QDir().mkpath(folder))
        throw failure("create", file, QStringLiteral("the folder %1 cannot be made").arg(folder));
    m_buffer.open(QIODevice::WriteOnly);
}

void SavedFile::commit()
{
    const QByteArray &bytes = m_buffer.data();
    const sys::SaveResult saved =
        sys::saveFile(QFile::encodeName(m_file).toStdString(),
                      std::string_view(bytes.constData(), std::size_t(bytes.size())));
    if (!saved)
        throw failure("write", m_file, QString::fromLocal8Bit(saved.message()));
}

} // namespace demo

#include "SavedFile.h"

#include <QDir>
#include <QFileInfo>
#include <stdexcept>

namespace demo
{

namespace
{

std::runtime_error failure(const QSaveFile &file, const char *what)
{
    return std::runtime_error(QStringLiteral("cannot %1 %2: %3")
                                  .arg(QLatin1String(what), file.fileName(), file.errorString())
                                  .toStdString());
}

} // namespace

SavedFile::SavedFile(const QString &file) : m_file(file)
{
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (!m_file.open(QIODevice::WriteOnly))
        throw failure(m_file, "create");
}

void SavedFile::commit()
{
    if (!m_file.commit())
        throw failure(m_file, "write");
}

} // namespace demo

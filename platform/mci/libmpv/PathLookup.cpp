#include "mci/libmpv/PathLookup.h"

#include <QDir>
#include <QFileInfo>

namespace mci
{

QString existingPathIgnoringCase(const QString &path)
{
    if (path.isEmpty() || QFileInfo::exists(path))
        return path;
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QStringList parts = absolute.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QString resolved = QStringLiteral("/");
    for (const QString &part : parts) {
        const QDir dir(resolved);
        if (dir.exists(part)) {
            resolved = dir.filePath(part);
            continue;
        }
        const QStringList entries =
            dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        const auto match = std::find_if(entries.begin(), entries.end(), [&](const QString &entry) {
            return entry.compare(part, Qt::CaseInsensitive) == 0;
        });
        if (match == entries.end())
            return path;
        resolved = dir.filePath(*match);
    }
    return resolved;
}

} // namespace mci

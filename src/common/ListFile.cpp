#include "common/ListFile.h"

#include "common/PathFields.h"
#include "common/TextLines.h"

#include <QFile>
#include <QSet>

namespace pellin
{

QString carryOverPath(const QString &tempFolder)
{
    return tempFolder + QLatin1String(CarryOverFileName);
}

ListFileContent parseListLines(const QStringList &lines, const QString &fileName)
{
    ListFileContent content;
    content.entries.reserve(lines.size());
    QSet<QString> keys;
    keys.reserve(lines.size());
    int lineNumber = 0;
    for (const QString &line : lines) {
        ++lineNumber;
        if (line.isEmpty())
            continue;
        const QStringList pieces = line.split(u';');
        if (pieces.size() < 3) {
            content.problems.append(QStringLiteral("line %1 of %2: an entry needs a path, a title "
                                                   "and a length separated by \";\"")
                                        .arg(lineNumber)
                                        .arg(fileName));
            continue;
        }
        QString key = nativePathField(pieces[0]);
        // Paths are resolved ignoring letter case, so keys differing only in case name one video.
        const QString folded = key.toCaseFolded();
        if (keys.contains(folded)) {
            content.problems.append(
                QStringLiteral("line %1 of %2: the video %3 is already in the list")
                    .arg(lineNumber)
                    .arg(fileName, key));
            continue;
        }
        keys.insert(folded);
        content.entries.append({std::move(key), pieces[1], pieces[2]});
    }
    return content;
}

QStringList formatListLines(const QList<ListEntry> &entries)
{
    QStringList lines;
    lines.reserve(entries.size());
    for (const ListEntry &entry : entries)
        lines.append(entry.key + u';' + entry.title + u';' + entry.length);
    return lines;
}

ListFileContent readListFile(const QString &path)
{
    return parseListLines(readTextLines(path), path);
}

void writeListFile(const QString &path, const QList<ListEntry> &entries)
{
    writeTextLines(path, formatListLines(entries));
}

namespace
{

struct KeptRows {
    bool saved = false;
    QList<ListEntry> entries;
    // Set while the file does not hold the kept rows; the rows then come from memory.
    std::optional<Failure> failure;
    bool reported = false;
};

KeptRows &kept()
{
    static KeptRows rows;
    return rows;
}

Failure carryOverFailure(const Failure &failure, const QString &path)
{
    return Failure(failure.number(), failure.description() +
                                         ": the playlist could not be carried over through " +
                                         path.toStdString() + "; its entries were kept");
}

} // namespace

void saveCarryOver(const QString &path, const QList<ListEntry> &entries)
{
    KeptRows &rows = kept();
    rows = {true, entries, std::nullopt, false};
    if (path.isEmpty()) {
        rows.failure = Failure(failure::PathNotFound,
                               "Path not found: the playlist could not be carried over, there "
                               "is no private temporary folder; its entries were kept");
        return;
    }
    try {
        writeTextLines(path, formatListLines(entries), {0600, sys::Links::Replace});
    } catch (const Failure &failure) {
        rows.failure = carryOverFailure(failure, path);
    }
}

CarriedRows readCarryOver(const QString &path)
{
    KeptRows &rows = kept();
    if (!rows.failure) {
        try {
            return {readListFile(path).entries, std::nullopt};
        } catch (const Failure &failure) {
            if (!rows.saved)
                throw;
            rows.failure = carryOverFailure(failure, path);
        }
    }
    CarriedRows carried{rows.entries, std::nullopt};
    if (!rows.reported)
        carried.failure = rows.failure;
    rows.reported = true;
    return carried;
}

void removeCarryOver(const QString &path)
{
    if (!path.isEmpty())
        QFile::remove(path);
    resetCarryOver();
}

void resetCarryOver()
{
    kept() = {};
}

} // namespace pellin

#include "common/ListFile.h"

#include "common/EntryLine.h"
#include "common/PathFields.h"
#include "common/Progress.h"
#include "common/TextLines.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <algorithm>
#include <utility>

namespace pellin
{

QString carryOverPath(const QString &tempFolder)
{
    return tempFolder + QLatin1String(CarryOverFileName);
}

namespace
{

// From this many lines on, reading a list tells its progress.
constexpr qint64 kProgressLines = 50000;

// The key as compared for repeats. Most keys are lower-case ASCII already, which folding leaves
// as they are: those are taken without looking each character up.
QString foldedKey(const QString &key)
{
    const bool folded = std::all_of(key.begin(), key.end(), [](QChar c) {
        return c.unicode() < 0x80 && !(c >= u'A' && c <= u'Z');
    });
    return folded ? key : key.toCaseFolded();
}

template <class Lines>
ListFileContent parseLines(const Lines &lines, qsizetype sizeHint, const QString &fileName)
{
    ListFileContent content;
    content.entries.reserve(sizeHint);
    QSet<QString> keys;
    keys.reserve(sizeHint);
    int lineNumber = 0;
    ProgressSteps progress(QStringLiteral("Reading %1").arg(QFileInfo(fileName).fileName()),
                           sizeHint, kProgressLines);
    for (const QStringView line : lines) {
        ++lineNumber;
        progress.at(lineNumber);
        if (line.isEmpty())
            continue;
        const std::optional<EntryFields> fields = splitEntryLine(line);
        if (!fields) {
            content.problems.append(lineProblem(lineNumber, fileName, entryFieldsProblem()));
            continue;
        }
        QString key = nativePathField(fields->path.toString());
        // Paths are resolved ignoring letter case, so keys differing only in case name one video.
        QString folded = foldedKey(key);
        if (keys.contains(folded)) {
            content.problems.append(lineProblem(lineNumber, fileName, repeatedEntryProblem(key)));
            continue;
        }
        keys.insert(std::move(folded));
        content.entries.append(
            {std::move(key), fields->title.toString(), fields->length.toString()});
    }
    return content;
}

} // namespace

ListFileContent parseListLines(const QStringList &lines, const QString &fileName)
{
    return parseLines(lines, lines.size(), fileName);
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
    const DecodedText decoded = readText(path);
    return parseLines(decoded.lines(), decoded.lines().sizeHint(), path);
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

#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// The entry line that the course index and the list files share: path ";" title ";" length,
// with any further ";"-separated fields ignored. What a path becomes as a key is each reader's
// own rule.
namespace pellin
{

struct EntryFields {
    QStringView path;
    QStringView title;
    QStringView length;
};

// The fields of `line`; nothing when it has fewer than three.
inline std::optional<EntryFields> splitEntryLine(QStringView line)
{
    const qsizetype first = line.indexOf(u';');
    const qsizetype second = first < 0 ? -1 : line.indexOf(u';', first + 1);
    if (second < 0)
        return std::nullopt;
    const qsizetype third = line.indexOf(u';', second + 1);
    const qsizetype lengthEnd = third < 0 ? line.size() : third;
    return EntryFields{line.first(first), line.sliced(first + 1, second - first - 1),
                       line.sliced(second + 1, lengthEnd - second - 1)};
}

// A skipped line, as both readers report it.
inline QString lineProblem(int lineNumber, const QString &fileName, const QString &why)
{
    return QStringLiteral("line %1 of %2: %3").arg(lineNumber).arg(fileName, why);
}

inline QString entryFieldsProblem()
{
    return QStringLiteral("an entry needs a path, a title and a length separated by \";\"");
}

inline QString repeatedEntryProblem(const QString &key)
{
    return QStringLiteral("the video %1 is already in the list").arg(key);
}

} // namespace pellin

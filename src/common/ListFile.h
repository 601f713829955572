#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The list file: one entry per line, key ";" title ";" length, shared by the carry-over file and
// the playlist files. Nothing is quoted: a ";" inside a field splits it when read back.
namespace pellin
{

// Name of the carry-over file in the temporary folder.
inline constexpr char CarryOverFileName[] = "tmpPlist.txt";

struct ListEntry {
    QString key; // full path of the video, native separators
    QString title;
    QString length; // display text, never parsed

    bool operator==(const ListEntry &) const = default;
};

struct ListFileContent {
    QList<ListEntry> entries; // in file order, keys unique ignoring letter case
    QStringList problems;     // lines that were skipped and why
};

// Path of the carry-over file in a temporary folder that ends in a separator.
QString carryOverPath(const QString &tempFolder);

// Interprets list file lines: empty lines are skipped, pieces beyond the third ignored; a line with
// fewer than three pieces, or whose key is already listed, is skipped and reported. fileName only
// labels the problems.
ListFileContent parseListLines(const QStringList &lines, const QString &fileName);

// One line per entry.
QStringList formatListLines(const QList<ListEntry> &entries);

// Reads a list file; throws pellin::Failure when it cannot be read (see readTextLines).
ListFileContent readListFile(const QString &path);

// Replaces a list file; throws pellin::Failure when it cannot be written, leaving the old file.
void writeListFile(const QString &path, const QList<ListEntry> &entries);

} // namespace pellin

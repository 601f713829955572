#pragma once

#include "failure/Failure.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

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

// The carry-over of the playlist's rows while its window is destroyed and made again. The file
// is the student's alone: created 0600, and a link in its place is replaced, never written
// through. The rows are kept in memory as well, so that a carry-over file that cannot be written
// (a full or read-only folder, the file-size limit) or read back loses nothing.
//
// Writes the carry-over file at `path` and keeps `entries`; never throws. A failure is kept for
// the read to report.
void saveCarryOver(const QString &path, const QList<ListEntry> &entries);

struct CarriedRows {
    QList<ListEntry> entries;
    // Why the rows come from memory instead of the file; given once for each failed carry-over.
    std::optional<Failure> failure;
};
// The rows carried over: the file's when it was written and reads back, else the rows kept in
// memory with the failure. Throws pellin::Failure when the file cannot be read and nothing was
// kept (no carry-over was saved in this run).
CarriedRows readCarryOver(const QString &path);

// Removes the carry-over file and forgets the kept rows: the program is ending.
void removeCarryOver(const QString &path);
// Forgets the kept rows and any failure, as at program start.
void resetCarryOver();

} // namespace pellin

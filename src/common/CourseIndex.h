#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// The course index "bin/index.dat" under the course root: entry lines (video ";" title ";" length)
// and caption lines (course name ":" number ":" unused ":" picture).
namespace pellin
{

struct CourseCaption {
    QString name;    // course name, blanks trimmed
    qint32 message;  // the line's number field
    QString picture; // course root followed by the picture field, native separators

    // The window caption with the course name appended in brackets.
    QString appendTo(const QString &caption) const;
};

struct CourseEntry {
    QString key;    // course root followed by the video path, lower case, native separators
    QString title;  // as written
    QString length; // display text, as written
    bool intro;     // an ASF video
};

struct CourseIndex {
    QList<CourseCaption> captions; // in file order
    QList<CourseEntry> entries;    // in file order, keys unique
    QStringList problems;          // lines that were skipped and why, or why nothing was read
};

// Path of the index under the course root.
QString courseIndexPath(const QString &mediaRoot);

// Reads the index under the course root. A missing or unreadable file yields no captions and no
// entries and one problem.
CourseIndex readCourseIndex(const QString &mediaRoot);

// Where the install rules put the desktop entry, relative to the installed program's folder.
QString installedDesktopEntry();

// Whether the program in `programFolder` is the player installed on this computer with no course
// beside it: no index under the course root, and the installed desktop entry at its place
// relative to the program. A course on a disc or in a folder has no such entry, so a course whose
// index is missing is still one.
bool isInstalledWithoutCourse(const QString &programFolder, const QString &mediaRoot);

// The report of what the index of the course at `mediaRoot` skipped, short enough for one box
// that fits the screen: the first kNamedProblems problems, one a line, with the index named by
// its file name and the course's other files from the course folder, each cut short to at most
// kProblemLength characters, then how many more there were.
inline constexpr int kNamedProblems = 20;
inline constexpr int kProblemLength = 50;
QString skippedLinesReport(const QStringList &problems, const QString &mediaRoot);

// Interprets the lines of an index; fileName only labels the problems.
CourseIndex parseCourseIndex(const QStringList &lines, const QString &mediaRoot,
                             const QString &fileName);

} // namespace pellin

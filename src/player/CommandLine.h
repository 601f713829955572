#pragma once

#include "common/TextLines.h"

#include <QList>
#include <QString>
#include <QStringList>

// The player's command line: the options it answers before any window, and what each file named
// on it is to the player. Nothing here opens a window, so that --help and --version work where no
// display is.
namespace commandLine
{

// What a file handed to the player is, judged from the file itself before anything reads it.
enum class FileKind {
    Video,    // a regular file of a type the player plays: opened as File > Open opens it
    Playlist, // a regular .pel file within the size limit: it replaces the playlist
    Refused,  // anything else, with the reason in a few words
};

struct GivenFile {
    QString path;
    FileKind kind = FileKind::Refused;
    QString reason; // why it was refused; empty otherwise
};

// A playlist larger than the list reader takes is no playlist the player made: it is refused
// before it is read.
inline constexpr qint64 kPlaylistSizeLimit = pellin::kTextFileLimit;

// The extensions of the videos the player plays, lower case, without the dot.
const QStringList &videoExtensions();

// Looks at the file without blocking on it: a FIFO or a device is never opened.
GivenFile classify(const QString &path);
QList<GivenFile> classify(const QStringList &paths);

// The one short message that names every refused file; empty when none was refused.
QString refusalMessage(const QList<GivenFile> &files);

struct Parsed {
    bool exitNow = false; // --help, --version or a bad option: print `output` and end
    int exitCode = 0;
    QString output;    // for standard output (help, version) or, with a non-zero code, errors
    QStringList files; // the files named, as given
};

// Parses the arguments (the program's name first) before the application object exists.
Parsed parse(const QStringList &arguments);

} // namespace commandLine

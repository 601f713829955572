#pragma once

#include <QString>

#include <functional>

namespace shell
{

// Show commands the callers pass; the stand-in records them but cannot place a detached
// program's window, so they do not change what is started.
inline constexpr int ShowNormal = 1;
inline constexpr int ShowMinNoActive = 7;

// Result values in the classic convention: above 32 means started, small numbers name the
// reason nothing was started.
namespace result
{
inline constexpr int Started = 42;
inline constexpr int FileNotFound = 2;
inline constexpr int PathNotFound = 3;
inline constexpr int AccessDenied = 5;
inline constexpr int BadFormat = 11;
inline constexpr int NoAssociation = 31;
} // namespace result

// What the caller asks for. A document (a file or folder, a web or mailto address) only ever
// goes to the desktop's handler, whatever the file holds and however it is marked: files on a
// disc are often all executable, and a course's document must never run. Only a program
// request starts a program.
enum class Opening { Document, Program };

// One request to the shell's open action, exactly as the caller made it.
struct Call {
    Opening opening = Opening::Document;
    QString verb;
    QString file;
    QString parameters;
    QString directory;
    int show = ShowNormal;

    friend bool operator==(const Call &, const Call &) = default;
};

// Opens a document or a web or mailto address, or starts a program, and returns at once without
// waiting for what it started. Programs get an argument list split from `parameters`; no
// command interpreter ever sees the text.
int open(Opening opening, const QString &verb, const QString &file, const QString &parameters = {},
         const QString &directory = {}, int show = ShowNormal);

// Test seam: while a recorder is installed, open() hands every call to it instead of starting
// anything and returns its answer. An empty function puts the real shell back.
using Recorder = std::function<int(const Call &)>;
void setRecorder(Recorder recorder);

} // namespace shell

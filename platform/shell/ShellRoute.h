#pragma once

#include "shell/Shell.h"

#include <QStringList>
#include <QUrl>

namespace shell
{

// What the shell does with one call. Deciding is kept apart from doing so that the decision
// can be checked without starting anything.
struct Action {
    enum class Kind { OpenUrl, StartProgram, Refuse };
    Kind kind = Kind::Refuse;
    QUrl url;                           // OpenUrl: the address or the document's file URL
    QString program;                    // StartProgram: absolute path of the program
    QStringList arguments;              // StartProgram: split from the parameters
    QString workingDirectory;           // StartProgram: empty keeps the caller's
    int refusal = result::FileNotFound; // Refuse: the result value to report
};

// A document request: web and mailto addresses and existing files and folders go to the
// desktop's handler, whatever the file holds. A program request: native programs (by path or
// found on the program search path) are started, anything else is refused. Windows programs
// that cannot run here, unknown verbs and missing files are refused either way.
Action route(const Call &call);

} // namespace shell

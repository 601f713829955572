#include "launcher/Launcher.h"

#include "launcher/RuntimeInstall.h"
#include "shell/Shell.h"
#include "system/FileCopy.h"
#include "system/RuntimeCache.h"

#include <unistd.h>

#include <array>
#include <cstdio>

namespace launcher
{

namespace
{

constexpr std::array components = {"msvbvm60.dll", "mscomctl.ocx", "oleaut32.dll"};
const QString silentOption = QStringLiteral(" /s ");
const QString openVerb = QStringLiteral("open");

// At the root of the file system the current folder already ends in a separator; doubling it
// there would give a path whose meaning POSIX leaves to the system.
QString joined(const QString &folder, const QString &name)
{
    if (folder.isEmpty())
        return name;
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

// The registration tool takes the component's path as one argument; a folder with blanks in
// its name (a home folder, say) would split it, so such a path is quoted.
QString registrationParameters(const QString &component)
{
    const bool hasBlank = component.contains(u' ') || component.contains(u'\t');
    return (hasBlank ? u'"' + component + u'"' : component) + silentOption;
}

} // namespace

Launcher::Launcher(QString systemFolder, QString currentFolder)
    : mSystemFolder(std::move(systemFolder)), mCurrentFolder(std::move(currentFolder))
{
}

QString Launcher::sourceFolder() const
{
    return joined(mCurrentFolder, QStringLiteral("bin"));
}

void Launcher::installComponent(const QString &name) const
{
    const QString installed = joined(mSystemFolder, name);
    // A failed copy leaves any earlier copy in place, and that one is registered instead.
    sys::copyFile(joined(sourceFolder(), name).toStdString(), installed.toStdString(), false);
    shell::open(shell::Opening::Program, openVerb, QStringLiteral("regsvr32"),
                registrationParameters(installed), mSystemFolder, shell::ShowMinNoActive);
}

// The copy is shown on the terminal the launcher runs in, as a percentage on one line.
void Launcher::installRuntime() const
{
    const bool terminal = ::isatty(STDOUT_FILENO) != 0;
    int shown = -1;
    RuntimeInstallOptions options;
    options.progress = [&](std::int64_t done, std::int64_t total) {
        const int percent = total > 0 ? int(done * 100 / total) : 100;
        if (percent == shown || (!terminal && percent != 100 && shown >= 0))
            return;
        shown = percent;
        std::printf("%sInstalling the course player: %d %%%s", terminal ? "\r" : "", percent,
                    terminal && percent < 100 ? "" : "\n");
        std::fflush(stdout);
    };
    options.waiting = [] {
        std::printf("Waiting for the course player being installed by another start\n");
        std::fflush(stdout);
    };
    const RuntimeOutcome outcome = launcher::installRuntime(sourceFolder().toStdString(), options);
    if (!outcome.message.empty())
        std::fprintf(stderr, "%s\n", outcome.message.c_str());
    if (!outcome.folder.empty())
        sys::pointSearchPathsAt(outcome.folder);
}

int Launcher::run() const
{
    for (const char *component : components)
        installComponent(QString::fromLatin1(component));
    shell::open(shell::Opening::Program, openVerb,
                joined(sourceFolder(), QStringLiteral("tscc.exe")), silentOption, mSystemFolder,
                shell::ShowMinNoActive);
    installRuntime();
    shell::open(shell::Opening::Program, openVerb,
                joined(sourceFolder(), QStringLiteral("PellinPlayer")), QString(), mSystemFolder,
                shell::ShowNormal);
    return 1;
}

} // namespace launcher

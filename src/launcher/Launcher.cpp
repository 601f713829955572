#include "launcher/Launcher.h"

#include "launcher/RuntimeStart.h"
#include "shell/Shell.h"
#include "system/FileCopy.h"

#include <array>

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

void Launcher::installRuntime() const
{
    prepareRuntime(sourceFolder().toStdString());
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

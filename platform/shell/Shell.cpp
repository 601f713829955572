#include "shell/Shell.h"

#include "shell/ShellRoute.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QProcess>

namespace shell
{

namespace
{

Recorder &installedRecorder()
{
    static Recorder recorder;
    return recorder;
}

bool openWithDesktop(const QUrl &url)
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QDesktopServices::openUrl(url);
    // Programs without a GUI application (the launcher) have no desktop services; the
    // desktop's own opener does the same job.
    return QProcess::startDetached(QStringLiteral("xdg-open"), {url.toString(QUrl::FullyEncoded)});
}

int perform(const Action &action)
{
    switch (action.kind) {
    case Action::Kind::OpenUrl:
        return openWithDesktop(action.url) ? result::Started : result::NoAssociation;
    case Action::Kind::StartProgram:
        return QProcess::startDetached(action.program, action.arguments, action.workingDirectory)
                   ? result::Started
                   : result::AccessDenied;
    case Action::Kind::Refuse:
        break;
    }
    return action.refusal;
}

} // namespace

int open(Opening opening, const QString &verb, const QString &file, const QString &parameters,
         const QString &directory, int show)
{
    const Call call{opening, verb, file, parameters, directory, show};
    if (const Recorder &recorder = installedRecorder())
        return recorder(call);
    return perform(route(call));
}

void setRecorder(Recorder recorder)
{
    installedRecorder() = std::move(recorder);
}

} // namespace shell

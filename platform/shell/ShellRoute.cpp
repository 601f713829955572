#include "shell/ShellRoute.h"

#include "shell/CommandLine.h"
#include "system/PathResolver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <optional>

namespace shell
{

namespace
{

Action refuse(int reason)
{
    Action action;
    action.kind = Action::Kind::Refuse;
    action.refusal = reason;
    return action;
}

Action openUrl(const QUrl &url)
{
    Action action;
    action.kind = Action::Kind::OpenUrl;
    action.url = url;
    return action;
}

// A scheme has two characters at least, so a drive letter ("C:") never reads as one.
QString schemeOf(const QString &text)
{
    static const QRegularExpression scheme(QStringLiteral("^([A-Za-z][A-Za-z0-9+.-]+):"));
    const auto match = scheme.match(text);
    return match.hasMatch() ? match.captured(1).toLower() : QString();
}

// Only schemes the desktop hands to a browser or mail program; anything else (script schemes,
// custom protocol handlers) could do more than show a page.
bool isWebScheme(const QString &scheme)
{
    static const QStringList schemes = {QStringLiteral("http"), QStringLiteral("https"),
                                        QStringLiteral("ftp"), QStringLiteral("mailto")};
    return schemes.contains(scheme);
}

// A web address written without a scheme: "www.example.com" or a host name followed by a
// path, as in "example.com\support.htm".
std::optional<QUrl> schemelessWebAddress(const QString &text)
{
    static const QRegularExpression address(
        QStringLiteral(R"(^((?:[A-Za-z0-9-]+\.)+[A-Za-z]{2,})([\\/].*)?$)"));
    const auto match = address.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    QString path = match.captured(2);
    if (path.isEmpty() && !text.startsWith(QStringLiteral("www."), Qt::CaseInsensitive))
        return std::nullopt;
    path.replace(u'\\', u'/');
    const QUrl url(QStringLiteral("http://") + match.captured(1) + path, QUrl::TolerantMode);
    if (!url.isValid())
        return std::nullopt;
    return url;
}

// Course data was made for a file system that ignores case and may separate folders with
// backslashes.
QFileInfo existingFile(const QString &path)
{
    return QFileInfo(QString::fromStdString(sys::resolvePath(path.toStdString())));
}

// A program this platform can run: executable and either a native binary or a script with an
// interpreter line. Files on a CD are often all marked executable, so the bit alone says nothing.
bool isNativeProgram(const QFileInfo &info)
{
    if (!info.isFile() || !info.isExecutable())
        return false;
    QFile file(info.absoluteFilePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray head = file.read(4);
    return head.startsWith("\x7f"
                           "ELF") ||
           head.startsWith("#!");
}

bool isWindowsProgram(const QFileInfo &info)
{
    static const QStringList suffixes = {
        QStringLiteral("exe"), QStringLiteral("com"), QStringLiteral("bat"), QStringLiteral("cmd"),
        QStringLiteral("msi"), QStringLiteral("scr"), QStringLiteral("pif")};
    return suffixes.contains(info.suffix().toLower());
}

Action startProgram(const QString &program, const Call &call)
{
    const QFileInfo directory = existingFile(call.directory);
    if (!call.directory.isEmpty() && !directory.isDir())
        return refuse(result::PathNotFound);
    Action action;
    action.kind = Action::Kind::StartProgram;
    action.program = program;
    action.arguments = splitParameters(call.parameters);
    action.workingDirectory = call.directory.isEmpty() ? QString() : directory.absoluteFilePath();
    return action;
}

// The file URL of an existing file or folder. The path is cleaned first: a root written as
// "//" or "/./" would otherwise become "file://", a URL without a path.
QUrl fileUrl(const QFileInfo &info)
{
    return QUrl::fromLocalFile(QDir::cleanPath(info.absoluteFilePath()));
}

Action missing(const QFileInfo &info)
{
    return refuse(info.absoluteDir().exists() ? result::FileNotFound : result::PathNotFound);
}

// A document goes to the desktop's handler even when it is executable; it is never looked for
// on the program search path.
Action routeDocument(const QString &path)
{
    const QFileInfo info = existingFile(path);
    if (!info.exists())
        return missing(info);
    // A desktop may hand these to a compatibility layer that would run them.
    if (isWindowsProgram(info))
        return refuse(result::BadFormat);
    return openUrl(fileUrl(info));
}

Action routeProgram(const QString &path, const Call &call)
{
    const QFileInfo info = existingFile(path);
    if (!info.exists()) {
        const bool bareName = !path.contains(u'/') && !path.contains(u'\\');
        if (!bareName)
            return missing(info);
        const QString found = QStandardPaths::findExecutable(path);
        return found.isEmpty() ? refuse(result::FileNotFound) : startProgram(found, call);
    }
    if (isNativeProgram(info))
        return startProgram(info.absoluteFilePath(), call);
    return refuse(isWindowsProgram(info) ? result::BadFormat : result::AccessDenied);
}

Action routeLocal(const QString &path, const Call &call)
{
    return call.opening == Opening::Document ? routeDocument(path) : routeProgram(path, call);
}

} // namespace

Action route(const Call &call)
{
    const QString verb = call.verb.trimmed();
    if (!verb.isEmpty() && verb.compare(QStringLiteral("open"), Qt::CaseInsensitive) != 0)
        return refuse(result::NoAssociation);

    const QString file = call.file.trimmed();
    if (file.isEmpty())
        return refuse(result::FileNotFound);

    const QString scheme = schemeOf(file);
    if (scheme == QStringLiteral("file")) {
        const QUrl url(file);
        return url.isLocalFile() ? routeLocal(url.toLocalFile(), call)
                                 : refuse(result::FileNotFound);
    }
    if (!scheme.isEmpty()) {
        if (!isWebScheme(scheme) || call.opening != Opening::Document)
            return refuse(result::NoAssociation);
        const QUrl url(file, QUrl::TolerantMode);
        return url.isValid() ? openUrl(url) : refuse(result::FileNotFound);
    }

    if (call.opening == Opening::Document && !existingFile(file).exists()) {
        if (const auto address = schemelessWebAddress(file))
            return openUrl(*address);
    }
    return routeLocal(file, call);
}

} // namespace shell

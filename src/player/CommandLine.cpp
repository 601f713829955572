#include "player/CommandLine.h"

#include "common/VideoTypes.h"
#include "system/Descriptor.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace commandLine
{
namespace
{

// A NUL among the first bytes marks a file that is no text, so no playlist.
constexpr qint64 kTextProbeBytes = 4096;
// The refused files a message names before it only counts the rest.
constexpr qsizetype kNamedAtMost = 8;

QString kindOfNode(mode_t mode)
{
    if (S_ISDIR(mode))
        return QStringLiteral("it is a folder");
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return QStringLiteral("it is a device");
    if (S_ISFIFO(mode))
        return QStringLiteral("it is a pipe");
    if (S_ISSOCK(mode))
        return QStringLiteral("it is a socket");
    return QStringLiteral("it is not a regular file");
}

GivenFile refused(const QString &path, const QString &reason)
{
    return GivenFile{path, FileKind::Refused, reason};
}

bool looksBinary(int fd)
{
    char bytes[kTextProbeBytes];
    const ssize_t got = ::read(fd, bytes, sizeof bytes);
    if (got < 0)
        return true;
    return std::find(bytes, bytes + got, '\0') != bytes + got;
}

// A file URL from a desktop that passes URLs stands for its local path.
QString localPath(const QString &given)
{
    if (given.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return QUrl(given).toLocalFile();
    return given;
}

} // namespace

const QStringList &videoExtensions()
{
    static const QStringList extensions = [] {
        QStringList names;
        for (const std::string_view name : pellin::kDesktopVideoExtensions)
            names << QString::fromLatin1(name.data(), qsizetype(name.size()));
        return names;
    }();
    return extensions;
}

GivenFile classify(const QString &path)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    const bool playlist = suffix == QLatin1String("pel");
    const bool video = videoExtensions().contains(suffix);
    const QByteArray name = QFile::encodeName(path);
    struct stat node {};
    if (path.isEmpty() || ::stat(name.constData(), &node) != 0)
        return refused(path, errno == EACCES ? QStringLiteral("it cannot be read")
                                             : QStringLiteral("there is no such file"));
    if (!S_ISREG(node.st_mode))
        return refused(path, kindOfNode(node.st_mode));
    if (!playlist && !video)
        return refused(path, QStringLiteral("it is neither a video nor a playlist"));
    // Opened without blocking and judged again on the descriptor: the name may have been
    // replaced by a pipe or a device since it was looked at.
    const sys::Descriptor file(
        ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0)
        return refused(path, QStringLiteral("it cannot be read"));
    if (::fstat(file.get(), &node) != 0 || !S_ISREG(node.st_mode))
        return refused(path, QStringLiteral("it is not a regular file"));
    if (video)
        return GivenFile{path, FileKind::Video, {}};
    if (node.st_size > kPlaylistSizeLimit)
        return refused(path, QStringLiteral("it is too large for a playlist"));
    if (looksBinary(file.get()))
        return refused(path, QStringLiteral("it is not a playlist"));
    return GivenFile{path, FileKind::Playlist, {}};
}

QList<GivenFile> classify(const QStringList &paths)
{
    QList<GivenFile> files;
    for (const QString &path : paths)
        files << classify(path);
    return files;
}

QString refusalMessage(const QList<GivenFile> &files)
{
    QStringList lines;
    qsizetype count = 0;
    for (const GivenFile &file : files) {
        if (file.kind != FileKind::Refused)
            continue;
        if (++count <= kNamedAtMost)
            lines << file.path + QStringLiteral(" (") + file.reason + QLatin1Char(')');
    }
    if (lines.isEmpty())
        return {};
    if (count > kNamedAtMost)
        lines << QStringLiteral("(and %1 more)").arg(count - kNamedAtMost);
    return QStringLiteral("Not opened:\r\n\r\n") + lines.join(QStringLiteral("\r\n"));
}

Parsed parse(const QStringList &arguments)
{
    QCoreApplication::setApplicationName(QStringLiteral("PellinPlayer"));
    QCoreApplication::setApplicationVersion(QStringLiteral(PELLIN_VERSION));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Plays the training videos of a course, its playlists and single videos."));
    // The toolkit's single-dash options (-platform, -display) are words, as the toolkit reads them.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Displays this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Displays version information."));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(
        QStringLiteral("files"),
        QStringLiteral("A video (AVI, MPEG, ASF, WMV) to play, or a playlist (.pel) to open."),
        QStringLiteral("[files...]"));
    // The toolkit's own options pass on to it untouched.
    for (const char *withValue : {"platform", "display", "style", "qwindowgeometry", "qwindowtitle",
                                  "qwindowicon", "stylesheet"}) {
        QCommandLineOption option(QString::fromLatin1(withValue), QString(),
                                  QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    QCommandLineOption reverse(QStringLiteral("reverse"));
    reverse.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(reverse);

    Parsed parsed;
    if (!parser.parse(arguments)) {
        parsed.exitNow = true;
        parsed.exitCode = 2;
        parsed.output = parser.errorText() + QStringLiteral("\nTry '") +
                        QCoreApplication::applicationName() +
                        QStringLiteral(" --help' for more information.\n");
        return parsed;
    }
    if (parser.isSet(help)) {
        parsed.exitNow = true;
        // The parser names the program from the application object, which does not exist yet.
        QString text = parser.helpText();
        const qsizetype usageEnd = text.indexOf(QStringLiteral(" [options]"));
        if (text.startsWith(QStringLiteral("Usage: ")) && usageEnd > 0)
            text.replace(7, usageEnd - 7, QCoreApplication::applicationName());
        parsed.output = text;
        return parsed;
    }
    if (parser.isSet(version)) {
        parsed.exitNow = true;
        parsed.output = QCoreApplication::applicationName() + QLatin1Char(' ') +
                        QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return parsed;
    }
    for (const QString &given : parser.positionalArguments()) {
        const QString path = localPath(given);
        parsed.files << (path.isEmpty() ? given : QFileInfo(path).absoluteFilePath());
    }
    return parsed;
}

} // namespace commandLine

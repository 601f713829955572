#include "common/TextLines.h"

#include "common/Progress.h"

#include "failure/Failure.h"
#include "system/AtomicFile.h"
#include "system/Descriptor.h"
#include "system/PathResolver.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pellin
{

namespace
{

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; the five bytes it leaves undefined keep
// their C1 code points, as Windows itself maps them.
constexpr std::array<char16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        *out++ = (byte >= 0x80 && byte < 0xA0) ? QChar(kWindows1252High[byte - 0x80])
                                               : QChar(char16_t(byte));
    }
    return text;
}

// UTF-8 with U+FEFF kept as a character wherever it stands: only the file's first bytes can be a
// byte order mark, and decodeText has dropped those already.
QString fromUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::ConvertInitialBom);
    return decoder.decode(bytes);
}

QString decodeLine(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return fromUtf8(bytes);
    return fromWindows1252(bytes);
}

QStringList linesOf(const DecodedText &decoded)
{
    QStringList lines;
    for (const QStringView line : decoded.lines())
        lines.append(line.toString());
    return lines;
}

[[noreturn]] void fail(failure::Number number)
{
    throw Failure(number);
}

bool folderExists(const QString &path)
{
    return QFileInfo(QFileInfo(path).absolutePath()).isDir();
}

} // namespace

DecodedText decodeText(QByteArrayView bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    DecodedText decoded;
    // Line ends are plain ASCII and never part of a UTF-8 sequence: a file that is UTF-8
    // throughout decodes as each of its lines would.
    if (bytes.isValidUtf8()) {
        decoded.text = fromUtf8(bytes);
        return decoded;
    }
    // Line by line, each ending in LF: the decoded text holds the same lines.
    decoded.text.reserve(bytes.size());
    const LineIterator<char> end(bytes.end(), bytes.end());
    for (LineIterator<char> line(bytes.begin(), bytes.end()); line != end; ++line) {
        decoded.text += decodeLine(*line);
        decoded.text += u'\n';
    }
    return decoded;
}

QStringList decodeTextLines(QByteArrayView bytes)
{
    return linesOf(decodeText(bytes));
}

namespace
{

[[noreturn]] void failOn(const QString &path, const char *why)
{
    throw Failure(failure::PathFileAccess,
                  std::string(failure::description(failure::PathFileAccess)) + ": " +
                      QDir::toNativeSeparators(path).toStdString() + " " + why);
}

constexpr const char *kTooLarge = "is larger than 64 MB, more than a list or course index can be";

// The whole content of a regular file of at most kTextFileLimit bytes, read in pieces so that
// the progress can be told between them. Failures name the file as `shown`, the path the caller
// gave.
QByteArray readRegularFile(const QString &path, const QString &shown)
{
    // Without O_NONBLOCK a FIFO would hold the open until a writer comes; the type is checked on
    // the open descriptor, so that nothing can be swapped in between a check and the open.
    const sys::Descriptor file(
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            fail(folderExists(path) ? failure::FileNotFound : failure::PathNotFound);
        if (errno == ELOOP)
            failOn(shown, "is a link that leads round in a circle");
        fail(failure::PathFileAccess);
    }
    struct stat status {};
    if (::fstat(file.get(), &status) != 0)
        fail(failure::PathFileAccess);
    if (S_ISDIR(status.st_mode))
        failOn(shown, "is a folder, not a file");
    if (!S_ISREG(status.st_mode))
        failOn(shown, "is not a regular file");
    if (status.st_size > kTextFileLimit)
        failOn(shown, kTooLarge);

    QByteArray bytes;
    bytes.reserve(qsizetype(status.st_size));
    const qint64 expected = status.st_size;
    constexpr qsizetype kPiece = 1 << 20;
    ProgressSteps progress(QStringLiteral("Reading %1").arg(QFileInfo(shown).fileName()), expected,
                           kProgressFrom);
    for (;;) {
        if (bytes.size() > kTextFileLimit)
            failOn(shown, kTooLarge);
        const qsizetype at = bytes.size();
        bytes.resize(at + kPiece);
        const ssize_t got = ::read(file.get(), bytes.data() + at, std::size_t(kPiece));
        if (got < 0 && errno == EINTR) {
            bytes.resize(at);
            continue;
        }
        if (got < 0)
            fail(failure::PathFileAccess);
        bytes.resize(at + got);
        if (got == 0)
            break;
        progress.at(bytes.size());
    }
    return bytes;
}

} // namespace

DecodedText readText(const QString &givenPath)
{
    // Course data names its files in any letter case, and the player lower-cases the paths it
    // builds: find the file as the disc's file system would.
    const QString path = QString::fromStdString(sys::resolvePath(givenPath.toStdString()));
    return decodeText(readRegularFile(path, givenPath));
}

QStringList readTextLines(const QString &path)
{
    return linesOf(readText(path));
}

void writeTextLines(const QString &path, const QStringList &lines, const sys::SaveOptions &options)
{
    qsizetype expected = 0;
    for (const QString &line : lines)
        expected += line.size() + 2;
    QByteArray bytes;
    bytes.reserve(expected);
    for (const QString &line : lines) {
        bytes += line.toUtf8();
        bytes += "\r\n";
    }

    const sys::SaveResult saved =
        sys::saveFile(QFile::encodeName(path).toStdString(),
                      std::string_view(bytes.constData(), std::size_t(bytes.size())), options);
    if (!saved)
        fail(saved.folderMissing() ? failure::PathNotFound : failure::PathFileAccess);
}

} // namespace pellin

#include "common/TextLines.h"

#include "failure/Failure.h"
#include "system/AtomicFile.h"
#include "system/PathResolver.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <array>

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

QString decodeLine(QByteArrayView bytes)
{
    if (bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
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
        decoded.text = QString::fromUtf8(bytes);
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

DecodedText readText(const QString &givenPath)
{
    // Course data names its files in any letter case, and the player lower-cases the paths it
    // builds: find the file as the disc's file system would.
    const QString path = QString::fromStdString(sys::resolvePath(givenPath.toStdString()));
    const QFileInfo info(path);
    if (!info.exists())
        fail(folderExists(path) ? failure::FileNotFound : failure::PathNotFound);
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        fail(failure::PathFileAccess);
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        fail(failure::PathFileAccess);
    return decodeText(bytes);
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

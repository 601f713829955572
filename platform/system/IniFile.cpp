#include "system/IniFile.h"

#include "system/AtomicFile.h"
#include "system/NameCompare.h"
#include "system/PathResolver.h"

#include <QByteArray>
#include <QFile>

#include <optional>
#include <string_view>
#include <vector>

namespace sys
{

namespace
{

// The blanks that a reader strips from the ends of names and values.
bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f' || c == '\r' || c == '\n';
}

// Text that reads back as written inside one line: no line break, no NUL (the end of a name
// for the platform's calls) and no blank at either end.
bool staysOnItsLine(const std::string &text)
{
    if (text.find_first_of(std::string_view("\r\n\0", 3)) != std::string::npos)
        return false;
    return text.empty() || (!isBlank(text.front()) && !isBlank(text.back()));
}

// Refuses what would not read back as the same entry, or would change other lines' meaning: a
// "]" in the section ends its header early; a key starting with "[" can make a line that reads
// as a section header ("[x=]"), one starting with ";" a comment, and an "=" in it moves the
// split between key and value.
bool validEntry(const std::string &section, const std::string &key, const std::string &value)
{
    return !section.empty() && !key.empty() && staysOnItsLine(section) && staysOnItsLine(key) &&
           staysOnItsLine(value) && section.find(']') == std::string::npos && key.front() != '[' &&
           key.front() != ';' && key.find('=') == std::string::npos;
}

// Names in the file may carry blanks around them; the names asked for never do.
bool sameName(const QByteArray &inFile, const std::string &name)
{
    const QByteArray trimmed = inFile.trimmed();
    return sameNameIgnoringCase(std::string_view(trimmed.constData(), std::size_t(trimmed.size())),
                                name);
}

// "[name]" with optional blanks around it: the section's name, or nothing for another line.
std::optional<QByteArray> sectionName(const QByteArray &line)
{
    const QByteArray trimmed = line.trimmed();
    if (trimmed.size() < 2 || !trimmed.startsWith('[') || !trimmed.endsWith(']'))
        return std::nullopt;
    return trimmed.mid(1, trimmed.size() - 2);
}

bool isKeyLine(const QByteArray &line, const std::string &key)
{
    const qsizetype equals = line.indexOf('=');
    return equals > 0 && sameName(line.left(equals), key);
}

// Lines without their ends; `lineEnd` receives the file's own line end so that new lines match.
std::vector<QByteArray> splitLines(const QByteArray &content, QByteArray &lineEnd)
{
    lineEnd = content.contains("\r\n") ? QByteArray("\r\n") : QByteArray("\n");
    std::vector<QByteArray> lines;
    qsizetype start = 0;
    while (start < content.size()) {
        qsizetype end = content.indexOf('\n', start);
        if (end < 0)
            end = content.size();
        QByteArray line = content.mid(start, end - start);
        if (line.endsWith('\r'))
            line.chop(1);
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

void putEntry(std::vector<QByteArray> &lines, const std::string &section, const std::string &key,
              const QByteArray &entry)
{
    auto line = lines.begin();
    while (line != lines.end() && !(sectionName(*line) && sameName(*sectionName(*line), section)))
        ++line;
    if (line == lines.end()) {
        lines.push_back("[" + QByteArray::fromStdString(section) + "]");
        lines.push_back(entry);
        return;
    }
    auto lastFilled = line;
    for (++line; line != lines.end() && !sectionName(*line); ++line) {
        if (isKeyLine(*line, key)) {
            *line = entry;
            return;
        }
        if (!line->trimmed().isEmpty())
            lastFilled = line;
    }
    lines.insert(lastFilled + 1, entry);
}

} // namespace

bool writeProfileString(const std::string &section, const std::string &key,
                        const std::string &value, const std::string &fileName)
{
    if (!validEntry(section, key, value) || fileName.empty())
        return false;
    const std::string path = resolvePath(fileName);

    QByteArray content;
    if (QFile existing(QFile::decodeName(path.c_str())); existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly))
            return false;
        content = existing.readAll();
    }
    QByteArray lineEnd;
    std::vector<QByteArray> lines = splitLines(content, lineEnd);
    putEntry(lines, section, key, QByteArray::fromStdString(key + "=" + value));

    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + lineEnd;
    return bool(saveFile(path, std::string_view(bytes.constData(), std::size_t(bytes.size()))));
}

} // namespace sys

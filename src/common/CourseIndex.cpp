#include "common/CourseIndex.h"

#include "common/EntryLine.h"
#include "common/PathFields.h"
#include "common/TextLines.h"
#include "failure/Failure.h"
#include "system/PathResolver.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cmath>
#include <limits>
#include <optional>
#include <utility>

namespace pellin
{

namespace
{

// Whole numbers as the course data writes them, blanks around them allowed; a fraction is rounded
// with halves going to the even neighbour.
std::optional<qint32> toLong(const QString &field)
{
    const QString text = field.trimmed();
    bool ok = false;
    const int whole = text.toInt(&ok);
    if (ok)
        return whole;
    const double number = text.toDouble(&ok);
    if (!ok || !std::isfinite(number))
        return std::nullopt;
    const double rounded = std::nearbyint(number);
    if (rounded < std::numeric_limits<qint32>::min() ||
        rounded > std::numeric_limits<qint32>::max())
        return std::nullopt;
    return static_cast<qint32>(rounded);
}

QString trimBlanks(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text[first] == u' ')
        ++first;
    while (last > first && text[last - 1] == u' ')
        --last;
    return text.mid(first, last - first);
}

// The key in lower case. Course paths are nearly always plain ASCII, which is lowered here in
// one pass without looking each character up in the Unicode tables.
QString lowerCased(QString key)
{
    QChar *const end = key.data() + key.size();
    for (QChar *c = key.data(); c != end; ++c) {
        const char16_t unit = c->unicode();
        if (unit >= 0x80)
            return std::move(key).toLower();
        if (unit >= u'A' && unit <= u'Z')
            *c = QChar(char16_t(unit + (u'a' - u'A')));
    }
    return key;
}

// The text cut short with an ellipsis when it is longer than `length`; the start says which line
// and what was wrong. A cut never splits a character made of two UTF-16 units.
QString shortened(const QString &text, qsizetype length)
{
    if (text.size() <= length)
        return text;
    qsizetype kept = length - 1;
    if (text[kept - 1].isHighSurrogate())
        --kept;
    return text.left(kept) + QChar(0x2026);
}

} // namespace

QString skippedLinesReport(const QStringList &problems, const QString &mediaRoot)
{
    const QString indexPath = courseIndexPath(mediaRoot);
    const QString indexName = QFileInfo(indexPath).fileName();
    QStringList lines{QStringLiteral("The course index could not be read completely. Skipped:")};
    for (qsizetype i = 0; i < problems.size() && i < kNamedProblems; ++i) {
        QString problem = problems[i];
        problem.replace(indexPath, indexName);
        if (!mediaRoot.isEmpty())
            problem.replace(mediaRoot, QString());
        lines << shortened(problem, kProblemLength);
    }
    if (problems.size() > kNamedProblems)
        lines << QStringLiteral("and %1 more.").arg(problems.size() - kNamedProblems);
    return lines.join(QStringLiteral("\r\n"));
}

QString CourseCaption::appendTo(const QString &caption) const
{
    return caption + QStringLiteral(" (") + name + u')';
}

QString courseIndexPath(const QString &mediaRoot)
{
    return mediaRoot + QDir::toNativeSeparators(QStringLiteral("/bin/index.dat"));
}

QString installedDesktopEntry()
{
    // The build computes it from the install folders, so it holds under any prefix and DESTDIR.
    return QStringLiteral(PELLIN_INSTALLED_DESKTOP_ENTRY);
}

bool isInstalledWithoutCourse(const QString &programFolder, const QString &mediaRoot)
{
    const std::string index = sys::resolvePath(courseIndexPath(mediaRoot).toStdString());
    if (QFileInfo::exists(QString::fromStdString(index)))
        return false;
    return QFileInfo::exists(QDir(programFolder).filePath(installedDesktopEntry()));
}

namespace
{

// Entry lines are cut where they stand, without a list of fields: a long course index costs one
// string per field kept, not one per field and line.
template <class Lines>
CourseIndex parseLines(const Lines &lines, qsizetype sizeHint, const QString &mediaRoot,
                       const QString &fileName)
{
    CourseIndex index;
    index.entries.reserve(sizeHint);
    QSet<QString> keys;
    keys.reserve(sizeHint);
    int lineNumber = 0;
    for (const QStringView line : lines) {
        ++lineNumber;
        if (line.isEmpty())
            continue;

        if (line.contains(u';')) {
            const std::optional<EntryFields> fields = splitEntryLine(line);
            if (!fields) {
                index.problems.append(lineProblem(lineNumber, fileName, entryFieldsProblem()));
                continue;
            }
            const QStringView path = fields->path;
            QString key;
            key.reserve(mediaRoot.size() + path.size());
            key.append(mediaRoot);
            appendNativePathField(key, path);
            key = lowerCased(std::move(key));
            const qsizetype known = keys.size();
            keys.insert(key);
            if (keys.size() == known) {
                index.problems.append(lineProblem(lineNumber, fileName, repeatedEntryProblem(key)));
                continue;
            }
            index.entries.append({std::move(key), fields->title.toString(),
                                  fields->length.toString(), isIntroPath(path)});
            continue;
        }

        const QStringList fields = line.toString().split(u':');
        if (fields.size() < 4) {
            index.problems.append(lineProblem(lineNumber, fileName,
                                              QStringLiteral("a caption line needs four fields "
                                                             "separated by \":\"")));
            continue;
        }
        const std::optional<qint32> message = toLong(fields[1]);
        if (!message) {
            index.problems.append(
                lineProblem(lineNumber, fileName,
                            QStringLiteral("\"%1\" is not a whole number").arg(fields[1])));
            continue;
        }
        index.captions.append(
            {trimBlanks(fields[0]), *message, mediaRoot + nativePathField(fields[3])});
    }
    return index;
}

} // namespace

CourseIndex readCourseIndex(const QString &mediaRoot)
{
    const QString path = courseIndexPath(mediaRoot);
    DecodedText decoded;
    try {
        decoded = readText(path);
    } catch (const Failure &failure) {
        CourseIndex nothing;
        const QString description = QString::fromStdString(failure.description());
        // A failure that names the file says what is wrong with it from the name on.
        const qsizetype named = description.indexOf(path);
        nothing.problems.append(named >= 0 ? description.mid(named)
                                           : QStringLiteral("%1: %2").arg(path, description));
        return nothing;
    }
    return parseLines(decoded.lines(), decoded.lines().sizeHint(), mediaRoot, path);
}

CourseIndex parseCourseIndex(const QStringList &lines, const QString &mediaRoot,
                             const QString &fileName)
{
    return parseLines(lines, lines.size(), mediaRoot, fileName);
}

} // namespace pellin

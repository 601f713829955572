#pragma once

#include "system/AtomicFile.h"

#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <iterator>
#include <type_traits>

// Text files of lines, as the course index and the list files are kept. Lines end in CR LF, LF or
// a lone CR. Each line is UTF-8; a line that is not valid UTF-8 was written on Windows and is read
// as Windows-1252. Writing always produces UTF-8 with CR LF after every line.
namespace pellin
{

// Walks the lines of a run of characters (QChar or bytes), each a view into it: lines end in
// CR LF, LF or a lone CR, and a final line end adds no empty line.
template <class Char> class LineIterator
{
  public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::conditional_t<std::is_same_v<Char, char>, QByteArrayView, QStringView>;
    using difference_type = qsizetype;
    using pointer = void;
    using reference = value_type;

    LineIterator() = default;
    LineIterator(const Char *at, const Char *end)
        : mAt(at), mEnd(end), mFeed(find(at, end, Char(u'\n'))), mStop(lineEnd(at))
    {
    }
    value_type operator*() const { return value_type(mAt, mStop); }
    LineIterator &operator++()
    {
        const Char *next = mStop;
        if (next != mEnd) {
            ++next;
            if (*mStop == Char(u'\r') && next != mEnd && *next == Char(u'\n'))
                ++next;
        }
        mAt = next;
        mStop = lineEnd(next);
        return *this;
    }
    LineIterator operator++(int)
    {
        LineIterator before = *this;
        ++*this;
        return before;
    }
    bool operator==(const LineIterator &other) const { return mAt == other.mAt; }

  private:
    // The first CR or LF from `at` on. The next LF is kept, so that finding a line's end is a
    // fast scan for one character, not a test of each character for two.
    const Char *lineEnd(const Char *at)
    {
        if (mFeed < at)
            mFeed = find(at, mEnd, Char(u'\n'));
        return find(at, mFeed, Char(u'\r'));
    }
    static const Char *find(const Char *from, const Char *to, Char wanted)
    {
        const qsizetype at = value_type(from, to).indexOf(wanted);
        return at < 0 ? to : from + at;
    }

    const Char *mAt = nullptr;
    const Char *mEnd = nullptr;
    const Char *mFeed = nullptr; // the next LF at or after the line's start, or the end
    const Char *mStop = nullptr;
};

// The lines of a text, found as they are walked: a long file costs no list of its lines.
class TextLineRange
{
  public:
    using Iterator = LineIterator<QChar>;

    explicit TextLineRange(QStringView text) : mText(text) {}
    Iterator begin() const { return Iterator(mText.begin(), mText.end()); }
    Iterator end() const { return Iterator(mText.end(), mText.end()); }
    // About as many as there are lines (exactly, unless the line ends are mixed), counted in
    // one pass without cutting them: room to reserve.
    qsizetype sizeHint() const
    {
        qsizetype feeds = 0;
        qsizetype returns = 0;
        for (const QChar c : mText) {
            feeds += c == u'\n';
            returns += c == u'\r';
        }
        return std::max(feeds, returns) + 1;
    }

  private:
    QStringView mText;
};

// A file's whole text, decoded: one string for the file instead of one per line.
struct DecodedText {
    QString text;
    TextLineRange lines() const { return TextLineRange(text); }
};

// Decodes file content into lines. Empty lines are kept; a final line end adds no empty line.
QStringList decodeTextLines(QByteArrayView bytes);
DecodedText decodeText(QByteArrayView bytes);

// The largest file readText reads: 64 MB, a list of about a million entries.
inline constexpr qint64 kTextFileLimit = qint64(64) << 20;
// From this size on a read tells its progress (see common/Progress.h).
inline constexpr qint64 kProgressFrom = qint64(4) << 20;

// Reads a whole regular file, found ignoring letter case. A FIFO, a device or a folder is not
// read (nor waited for), nor a file over kTextFileLimit. Throws pellin::Failure: 53 when the
// file is missing, 76 when its folder is missing, 75 when it exists but cannot be read, with the
// file named where it is no regular file, a link loop or too large.
QStringList readTextLines(const QString &path);
DecodedText readText(const QString &path);

// Replaces the file with the lines. The old file stays untouched unless the new content has been
// written completely. `options` choose the new file's mode and what a link in its place gets.
// Throws pellin::Failure: 76 when the folder is missing, 75 otherwise.
void writeTextLines(const QString &path, const QStringList &lines,
                    const sys::SaveOptions &options = {});

} // namespace pellin

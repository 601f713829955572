#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

namespace support
{

// A course folder inside a test's folder: "<course>/bin" holds the program, the index and the
// installer; pictures lie wherever the index says. The course folder's name has capitals and a
// blank, as a mounted disc's name may have.
class CourseFolder
{
  public:
    explicit CourseFolder(const QString &parent);

    QString root() const { return mRoot; }
    QString bin() const { return mRoot + QStringLiteral("/bin"); }

    // The index, each line ending in CR LF.
    void writeIndex(const QStringList &lines) const;
    void writePicture(const QString &relative, QSize size) const;

    // The key the start-up gives a video of the course index.
    static QString keyOf(const QString &relative);

  private:
    QString mRoot;
};

} // namespace support

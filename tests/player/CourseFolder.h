#pragma once

#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A course folder in a temporary place: "<course>/bin" holds the program, the index and the
// installer; pictures lie wherever the index says. The course folder's name has capitals and a
// blank, as a mounted disc's name may have.
class CourseFolder
{
  public:
    CourseFolder() : mRoot(mTemp.path() + "/Course Disc") { QDir().mkpath(mRoot + "/bin"); }

    bool valid() const { return mTemp.isValid(); }
    QString root() const { return mRoot; }
    QString bin() const { return mRoot + "/bin"; }
    QString scratch() const { return mTemp.path(); }

    // The index, each line ending in CR LF.
    void writeIndex(const QStringList &lines) const
    {
        QFile file(bin() + "/index.dat");
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        for (const QString &line : lines)
            file.write(line.toUtf8() + "\r\n");
    }

    void writePicture(const QString &relative, QSize size) const
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        image.save(mRoot + relative);
    }

  private:
    QTemporaryDir mTemp;
    QString mRoot;
};

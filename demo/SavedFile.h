#pragma once

#include <QBuffer>
#include <QString>

namespace demo
{

// A course file that is written into memory and replaces its target only when commit()
// succeeds, through the project's atomic save, so an interrupted or failed run (a full disk, a
// file-size limit) never leaves a half-written course file that a later run would take as up to
// date. Throws std::runtime_error, naming the file, when its folder cannot be made or the file
// cannot be saved.
class SavedFile
{
  public:
    explicit SavedFile(const QString &file);
    QIODevice &device() { return m_buffer; }
    void commit();

  private:
    QString m_file;
    QBuffer m_buffer;
};

} // namespace demo

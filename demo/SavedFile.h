#pragma once

#include <QSaveFile>
#include <QString>

namespace demo
{

// A file that replaces its target only when commit() succeeds, so an interrupted run never
// leaves a half-written course file that a later run would take as up to date.
// Throws std::runtime_error when the file cannot be opened or committed.
class SavedFile
{
  public:
    explicit SavedFile(const QString &file);
    QSaveFile &device() { return m_file; }
    void commit();

  private:
    QSaveFile m_file;
};

} // namespace demo

#pragma once

#include <QString>

namespace launcher
{

// One run of the launcher: prepares the computer for the player and starts it. The course is
// expected in the current folder (normally the CD root), its programs in its "bin" folder.
class Launcher
{
  public:
    Launcher(QString systemFolder, QString currentFolder);

    // Copies each runtime component into the system folder and registers it silently, starts
    // the codec installer, installs the disc's runtime for the user and then starts the player
    // with it (from the disc when it cannot be installed), without waiting for any of them or
    // checking a result, and returns the exit code, which is 1 in every case.
    int run() const;

    QString sourceFolder() const;

  private:
    void installComponent(const QString &name) const;
    void installRuntime() const;

    QString mSystemFolder;
    QString mCurrentFolder;
};

} // namespace launcher

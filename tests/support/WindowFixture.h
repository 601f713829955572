#pragma once

#include "common/Choosers.h"
#include "mci/SimulatedMedia.h"
#include "shell/ShellRecorder.h"
#include "support/CourseFolder.h"
#include "support/MediaRecorder.h"
#include "toolkit/MessageBox.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace support
{

// What a window test touches outside the program, scripted, with the process put back as it
// starts before and after the test (modGlobals::ResetState): a private temporary folder that
// TMPDIR and XDG_RUNTIME_DIR name while the fixture lives, so the carry-over file lands there;
// message boxes kept and answered with `boxAnswer`; choosers answered in turn from `chooserAnswers`
// (none left is a cancel) and kept. On request: the program folder in a course folder, the
// registry's Reader keys, the simulated media engine, a recording media transport and a shell
// recorder. Destroying it unloads every window while those are still in place.
class WindowFixture
{
  public:
    WindowFixture();
    ~WindowFixture();
    WindowFixture(const WindowFixture &) = delete;
    WindowFixture &operator=(const WindowFixture &) = delete;

    bool valid() const { return mFolder.isValid(); }
    QString folder() const { return mFolder.path(); }
    QString filePath(const QString &relative) const { return mFolder.filePath(relative); }

    // The program runs from "<folder>/Course Disc/bin".
    CourseFolder &useCourseFolder();
    // The registry answers the Reader probe: the keys exist while `readerInstalled` is true.
    void scriptReaderKeys();
    // Every later open is served by the simulated engine, whose clock moves only when told.
    mci::SimulatedMedia &simulateMedia();

    std::vector<toolkit::MessageBoxCall> boxes;
    int boxAnswer = toolkit::vbOK;

    QStringList chooserAnswers;
    QList<modGlobals::ChooserCall> chooserCalls;

    bool readerInstalled = true;
    std::vector<std::string> askedKeys;

    std::optional<CourseFolder> course;
    std::optional<mci::SimulatedMedia> media;
    // Each puts itself in place when emplaced and takes itself away when reset.
    std::optional<MediaRecorder> recorder;
    std::optional<shell::ShellRecorder> shell;

  private:
    QTemporaryDir mFolder;
    std::vector<std::pair<const char *, std::optional<QByteArray>>> mOldEnvironment;
};

} // namespace support

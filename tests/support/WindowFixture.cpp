#include "support/WindowFixture.h"

#include "common/modGlobals.h"
#include "player/Playback.h"
#include "system/Registry.h"
#include "toolkit/Environment.h"

#include <QFile>

namespace support
{

WindowFixture::WindowFixture()
{
    playback::ResetState();
    // The folder is 0700 and the user's own, so it serves as the private temporary folder.
    for (const char *name : {"TMPDIR", "XDG_RUNTIME_DIR"}) {
        if (qEnvironmentVariableIsSet(name))
            mOldEnvironment.emplace_back(name, qgetenv(name));
        else
            mOldEnvironment.emplace_back(name, std::nullopt);
        qputenv(name, QFile::encodeName(mFolder.path()));
    }
    toolkit::setMessageBoxHandler([this](const toolkit::MessageBoxCall &call) {
        boxes.push_back(call);
        return boxAnswer;
    });
    modGlobals::setChooserHandler([this](const modGlobals::ChooserCall &call) {
        chooserCalls << call;
        return chooserAnswers.isEmpty() ? QString() : chooserAnswers.takeFirst();
    });
}

WindowFixture::~WindowFixture()
{
    playback::ResetState();
    for (const auto &[name, value] : mOldEnvironment) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
}

CourseFolder &WindowFixture::useCourseFolder()
{
    course.emplace(folder());
    toolkit::setAppPath(course->bin());
    return *course;
}

void WindowFixture::scriptReaderKeys()
{
    sys::setRegistryAnswer([this](sys::RegistryRoot root, const std::string &key) {
        askedKeys.push_back(key);
        if (root != sys::RegistryRoot::LocalMachine || !readerInstalled)
            return false;
        return key == "Software\\Adobe" || key == "Software\\Adobe\\Reader";
    });
}

mci::SimulatedMedia &WindowFixture::simulateMedia()
{
    media.emplace();
    mci::useSimulatedEngine(*media);
    return *media;
}

} // namespace support

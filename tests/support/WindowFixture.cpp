#include "support/WindowFixture.h"

#include "common/modGlobals.h"
#include "system/Registry.h"
#include "toolkit/Environment.h"

#include <QFile>

namespace support
{

WindowFixture::WindowFixture()
{
    modGlobals::ResetState();
    if (qEnvironmentVariableIsSet("TMPDIR"))
        mOldTmpDir = qgetenv("TMPDIR");
    qputenv("TMPDIR", QFile::encodeName(mFolder.path()));
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
    modGlobals::ResetState();
    if (mOldTmpDir)
        qputenv("TMPDIR", *mOldTmpDir);
    else
        qunsetenv("TMPDIR");
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

#include "common/modGlobals.h"

#include "common/Choosers.h"
#include "common/ListFile.h"
#include "mci/Reset.h"
#include "session/Session.h"
#include "shell/Shell.h"
#include "system/Registry.h"
#include "system/Reset.h"
#include "system/TempFolder.h"
#include "toolkit/Forms.h"
#include "toolkit/Handlers.h"
#include "toolkit/Reset.h"

#include <QCoreApplication>

namespace modGlobals
{

void ResetState()
{
    for (toolkit::Form *form : toolkit::loadedForms())
        Ignore([form] { form->Unload(); });
    // Unloaded windows are deleted later; let that happen before anything else goes.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    mci::resetState();
    gMCI.reset();
    session::resetSession();
    gMediaRoot.clear();
    gScreenRes.clear();
    gLowRes = false;
    gReaderInstalled = false;
    gFullScreen = false;
    gSingleFile = false;
    gKeepPlaylist = false;
    gIntroFromFullScreen = false;
    gLastFolder.clear();
    gSelectedKey.clear();
    gPlaySpeed = kNormalSpeed;
    pellin::resetCarryOver();
    sys::resetState();
    toolkit::resetState();

    setChooserHandler({});
    setFolderBrowserOwner({});
    toolkit::setFailureReporter(ReportError);
    shell::setRecorder({});
}

QString GetTempFolder()
{
    return QString::fromStdString(sys::tempFolder());
}

long RegKeyExists(const QString &subKey)
{
    return sys::regKeyExists(sys::RegistryRoot::LocalMachine, subKey.toStdString());
}

} // namespace modGlobals

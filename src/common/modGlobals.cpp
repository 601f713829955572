#include "common/modGlobals.h"

#include "system/Registry.h"
#include "system/TempFolder.h"

namespace modGlobals
{

QString GetTempFolder()
{
    return QString::fromStdString(sys::tempFolder());
}

long RegKeyExists(const QString &subKey)
{
    return sys::regKeyExists(sys::RegistryRoot::LocalMachine, subKey.toStdString());
}

} // namespace modGlobals

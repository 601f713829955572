#include "modGlobals.h"

#include "Registry.h"
#include "TempFolder.h"

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

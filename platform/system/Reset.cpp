#include "system/Reset.h"

#include "system/Registry.h"
#include "system/SystemFolders.h"
#include "system/TempFolder.h"

namespace sys
{

void resetState()
{
    resetTempFolder();
    setRegistryAnswer({});
    setWindowsFolder({});
}

} // namespace sys

#include "system/RuntimeCache.h"

#include <QCoreApplication>

#include <filesystem>

namespace sys
{

void useInstalledRuntimePlugins()
{
    std::error_code failed;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", failed);
    if (failed)
        return;
    const std::string installed = installedRuntime(program.parent_path().string());
    if (!installed.empty())
        QCoreApplication::setLibraryPaths({QString::fromStdString(installed + "/plugins")});
}

} // namespace sys

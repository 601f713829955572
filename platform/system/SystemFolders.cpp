#include "system/SystemFolders.h"

#include <QStandardPaths>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace sys
{

namespace
{

std::string &windowsFolderOverride()
{
    static std::string folder;
    return folder;
}

std::string withoutTrailingSeparator(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

// Creation may fail (a read-only home); the path is still the answer, and whatever is then
// done with it fails as it would with a missing folder.
std::string created(const std::string &folder)
{
    std::error_code error;
    fs::create_directories(folder, error);
    return folder;
}

} // namespace

std::string windowsFolder()
{
    if (!windowsFolderOverride().empty())
        return created(windowsFolderOverride());
    const std::string data =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString();
    return created(withoutTrailingSeparator(data) + "/pellin/windows");
}

std::string systemFolder()
{
    return created(windowsFolder() + "/system32");
}

void setWindowsFolder(const std::string &folder)
{
    windowsFolderOverride() = withoutTrailingSeparator(folder);
}

} // namespace sys

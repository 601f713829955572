#include "system/TempFolder.h"

#include <QDir>

namespace sys
{

std::string tempFolder()
{
    std::string folder = QDir::toNativeSeparators(QDir::tempPath()).toStdString();
    if (folder.empty() || folder.back() != '/')
        folder += '/';
    return folder;
}

} // namespace sys

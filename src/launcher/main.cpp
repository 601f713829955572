#include "launcher/Launcher.h"
#include "system/SystemFolders.h"

#include <QDir>

// The launcher has no window and ignores its command line.
int main()
{
    const launcher::Launcher launcher(QString::fromStdString(sys::systemFolder()),
                                      QDir::currentPath());
    return launcher.run();
}

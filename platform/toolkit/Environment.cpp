#include "toolkit/Environment.h"

#include <QCoreApplication>
#include <QDir>

namespace toolkit
{
namespace
{
QString &appPathOverride()
{
    static QString folder;
    return folder;
}
} // namespace

void DoEvents()
{
    QCoreApplication::processEvents();
}

QString AppPath()
{
    if (!appPathOverride().isEmpty())
        return appPathOverride();
    return QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
}

void setAppPath(const QString &folder)
{
    appPathOverride() = folder;
}

} // namespace toolkit

#include "player/VendorLinks.h"

#include "shell/Shell.h"

#include <QDir>

namespace vendor
{

void openWebPage(const QString &address)
{
    // The drive root the pages were opened from on the CD's platform is the root folder here.
    shell::open(shell::Opening::Document, {}, address, {}, QDir::rootPath(), shell::ShowNormal);
}

void openAddress(const QString &address)
{
    shell::open(shell::Opening::Document, {}, address, {}, {}, shell::ShowNormal);
}

void writeSupportEmail()
{
    openAddress(QStringLiteral("mailto:") + kSupportEmail);
}

} // namespace vendor

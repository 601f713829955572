#include "common/ScreenQuery.h"

#include <QGuiApplication>
#include <QScreen>

namespace modGlobals
{

QString GetScreenResolution()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {};
    const QSize pixels = screen->size() * screen->devicePixelRatio();
    return QStringLiteral("%1x%2").arg(pixels.width()).arg(pixels.height());
}

} // namespace modGlobals

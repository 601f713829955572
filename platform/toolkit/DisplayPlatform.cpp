#include "toolkit/DisplayPlatform.h"

#include <QtGlobal>

namespace toolkit
{

namespace
{

constexpr const char *kPlatformVariable = "QT_QPA_PLATFORM";

} // namespace

QByteArray displayPlatform(const DisplayEnvironment &environment)
{
    if (!environment.userPlatform.isEmpty())
        return environment.userPlatform;
    if (!environment.display.isEmpty())
        return QByteArrayLiteral("xcb");
    if (!environment.waylandDisplay.isEmpty())
        return QByteArrayLiteral("wayland");
    return {};
}

DisplayEnvironment currentDisplayEnvironment()
{
    return {qgetenv(kPlatformVariable), qgetenv("DISPLAY"), qgetenv("WAYLAND_DISPLAY")};
}

DisplayPlatformChoice::DisplayPlatformChoice()
{
    const DisplayEnvironment environment = currentDisplayEnvironment();
    const QByteArray platform = displayPlatform(environment);
    if (!environment.userPlatform.isEmpty() || platform.isEmpty())
        return;
    qputenv(kPlatformVariable, platform);
    mWritten = true;
}

void DisplayPlatformChoice::applicationMade() const
{
    if (mWritten)
        qunsetenv(kPlatformVariable);
}

} // namespace toolkit

#include "DesktopSession.h"

#include <QByteArray>
#include <QtGlobal>

namespace DesktopSession {

bool isWayland()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

bool isSway()
{
    return isWayland() && !qEnvironmentVariableIsEmpty("SWAYSOCK");
}

void chooseQtPlatform()
{
    if (isWayland() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("wayland;xcb"));
}

} // namespace DesktopSession

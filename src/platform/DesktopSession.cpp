// SPDX-License-Identifier: MIT
#include "DesktopSession.h"

#include <QByteArray>
#include <QGuiApplication>
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

WindowSystem windowSystem()
{
    if (!qGuiApp)
        return WindowSystem::None;
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("xcb"))
        return WindowSystem::X11;
    if (platform.startsWith(QLatin1String("wayland")))
        return WindowSystem::Wayland;
    return WindowSystem::None;
}

void chooseQtPlatform()
{
    if (isWayland() && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("wayland;xcb"));
}

} // namespace DesktopSession

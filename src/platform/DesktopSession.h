#pragma once

// What kind of desktop session this program runs in, from the session's
// environment, and the Qt platform that suits it.
namespace DesktopSession {

// A Wayland session: WAYLAND_DISPLAY is set.
bool isWayland();
// sway: a Wayland session with sway's IPC socket named (SWAYSOCK).
bool isSway();

// Called before the application object exists: on a Wayland session Qt's
// Wayland platform is used (with X11 through XWayland as the fallback),
// unless QT_QPA_PLATFORM names a platform already (QT_QPA_PLATFORM=xcb
// keeps the X11 path).
void chooseQtPlatform();

} // namespace DesktopSession

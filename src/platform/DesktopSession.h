// SPDX-License-Identifier: MIT
#pragma once

// What kind of desktop session this program runs in, and the window system
// its windows are on: the one place both questions are answered. The
// platform factory reads the session to pick the desktop's services (sway's
// IPC, KWin's scripts, the shortcut portal) and the window system to pick
// what works on the program's own windows (the overlay's keeper and
// watchdog); the overlay-window operations read the window system too.
namespace DesktopSession {

// A Wayland session: WAYLAND_DISPLAY is set.
bool isWayland();
// sway: a Wayland session with sway's IPC socket named (SWAYSOCK).
bool isSway();

// Where this program's windows are: Qt's platform once the application
// object exists (xcb: X11, also through XWayland; wayland: Wayland), None
// before it and on every other platform (offscreen in tests).
enum class WindowSystem { None, X11, Wayland };
WindowSystem windowSystem();

// Called before the application object exists: on a Wayland session Qt's
// Wayland platform is used (with X11 through XWayland as the fallback),
// unless QT_QPA_PLATFORM names a platform already (QT_QPA_PLATFORM=xcb
// keeps the X11 path).
void chooseQtPlatform();

} // namespace DesktopSession

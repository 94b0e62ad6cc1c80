// SPDX-License-Identifier: MIT
#pragma once

#include "ShellExtension.h"

#include <QString>

#include <memory>

class Accessibility;
class AppCatalogue;
class AppOpener;
class DesktopColorScheme;
class DisplaySleepInhibitor;
class DoNotDisturb;
class HotKeyBackend;
class LoginItem;
class OverlayKeeper;
class OverlayWatchdog;
class RemoteControl;
class SessionSound;
class TrayIcon;
class UserNotifications;
class Workspace;

// The one door into the desktop: every desktop service the program uses is
// made here, for the desktop session the program finds itself in. The shell
// asks for what it needs and owns what it gets; the libraries see only the
// interfaces. Tests hand in the doubles of src/platform/fake instead.
class PlatformServices
{
public:
    virtual ~PlatformServices() = default;

    // The services of the desktop this process runs on (X11, D-Bus and the
    // XDG folders on Linux).
    static std::unique_ptr<PlatformServices> forThisDesktop();

    // Running applications: listing, hiding, showing, launches.
    virtual std::unique_ptr<Workspace> makeWorkspace() = 0;
    // Hiding through the window manager, over that workspace (which must
    // outlive it).
    virtual std::unique_ptr<Accessibility> makeAccessibility(Workspace *workspace) = 0;
    virtual std::unique_ptr<AppOpener> makeAppOpener() = 0;
    virtual std::unique_ptr<UserNotifications> makeUserNotifications() = 0;
    // Holding other programs' notifications back during a session.
    virtual std::unique_ptr<DoNotDisturb> makeDoNotDisturb() = 0;
    // The sound at a session's end.
    virtual std::unique_ptr<SessionSound> makeSessionSound() = 0;
    // The installed applications (names, icons, every name each goes by).
    virtual std::unique_ptr<AppCatalogue> makeAppCatalogue() = 0;
    // The system-wide hot-key service; one that is not available says so.
    virtual std::unique_ptr<HotKeyBackend> makeHotKeyBackend() = 0;
    // Starting `program` when the user logs in.
    virtual std::unique_ptr<LoginItem> makeLoginItem(const QString &program) = 0;
    // The running instance's door for later starts, under `serviceName`.
    virtual std::unique_ptr<RemoteControl> makeRemoteControl(const QString &serviceName) = 0;
    // The desktop's light or dark preference, followed while it lives.
    virtual std::unique_ptr<DesktopColorScheme> makeDesktopColorScheme() = 0;
    // The program's item in the desktop's tray, for the tray protocol the
    // desktop speaks.
    virtual std::unique_ptr<TrayIcon> makeTrayIcon() = 0;
    // What holds the overlay's windows on screen and on top while a session
    // runs, for the window system the program's windows are on (one that
    // does nothing where there is no way to).
    virtual std::unique_ptr<OverlayKeeper> makeOverlayKeeper() = 0;
    // What takes the overlay's windows down when the program hangs or is
    // stopped: a guard process run from guardProgram (this program when
    // empty) after timeoutMs without a heartbeat; one that is not
    // available where the window system has no use for it.
    virtual std::unique_ptr<OverlayWatchdog> makeOverlayWatchdog(int timeoutMs,
                                                                 const QString &guardProgram) = 0;
    // Whether the desktop itself shows the item made above without a tray
    // host (GNOME Shell through Lumora's extension); asked once this
    // program holds its bus name.
    virtual bool showsTrayItemWithoutHost() { return false; }
    // Lumora's extension for the desktop's shell, where the desktop has one
    // that takes it (GNOME Shell); nothing elsewhere.
    virtual std::unique_ptr<ShellExtension> makeShellExtension() { return nullptr; }
    // Keeps the display awake while the returned object lives.
    virtual std::unique_ptr<DisplaySleepInhibitor> inhibitDisplaySleep(const QString &reason) = 0;
    // Hands what the program has asked of the display server so far (a
    // window to map, an icon to dock) over now, instead of when the event
    // loop next waits: the server and the window manager then get on with
    // it while the program goes on starting.
    virtual void sendWindowRequests() = 0;
};

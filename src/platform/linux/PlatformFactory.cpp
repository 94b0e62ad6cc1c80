// SPDX-License-Identifier: MIT
// The desktop services of a Linux session: X11 (EWMH) for windows and keys,
// sway's IPC socket for windows on sway, KWin's scripting interface for
// windows on a KWin Wayland session, the session bus for notifications,
// the remote control, the screen saver, the tray item and (on Wayland) the
// shortcut portal, the XDG folders for applications
// and the login item.
#include "PlatformServices.h"

#include "CanberraSessionSound.h"
#include "DBusRemoteControl.h"
#include "DBusUserNotifications.h"
#include "DesktopDoNotDisturb.h"
#include "DesktopSession.h"
#include "KWinOverlayKeeper.h"
#include "KWinScripting.h"
#include "KWinWorkspace.h"
#include "LoginItem.h"
#include "PortalColorScheme.h"
#include "PortalHotKeyBackend.h"
#include "ScreenSaverInhibitor.h"
#include "StatusNotifierItem.h"
#include "SwayOverlayWindowsKeeper.h"
#include "SwayWorkspace.h"
#include "SystemTrayIcon.h"
#include "WorkspaceAccessibility.h"
#include "X11Accessibility.h"
#include "X11HotKeyBackend.h"
#include "X11OverlayWindows.h"
#include "X11QtDisplay.h"
#include "X11Workspace.h"
#include "XdgAppCatalogue.h"
#include "XdgAppOpener.h"

namespace {

// Where no way of keeping windows on top is known (a Wayland compositor
// other than KWin and sway, or no window system at all): the overlay's
// windows are full screen and nothing more.
class UnavailableOverlayKeeper final : public OverlayKeeper
{
public:
    bool isAvailable() const override { return false; }
    void hold(const QList<QWidget *> &) override {}
    void release() override {}
    bool isHolding() const override { return false; }
    void setAboveWindows(std::function<QList<QWidget *>()>) override {}
    void setOthersAbove(bool) override {}
    void setAllowedApplications(const QStringList &names) override { m_allowed = names; }
    QStringList allowedApplications() const override { return m_allowed; }
    void restack() override {}

private:
    QStringList m_allowed;
};

// Where the windows are not on X11: on Wayland no other process can take
// this program's surfaces down (the compositor does when it dies).
class UnavailableOverlayWatchdog final : public OverlayWatchdog
{
public:
    bool isAvailable() const override { return false; }
    void watch(const QList<QWidget *> &) override {}
    void clear() override {}
    void beat() override {}
    int rescues() const override { return 0; }
    qint64 guardPid() const override { return 0; }
};

class LinuxPlatformServices final : public PlatformServices
{
public:
    // The desktop's own way of hiding: sway's scratchpad on sway, KWin's
    // minimising through its scripts on a KWin Wayland session, the window
    // manager's on X11 (elsewhere on Wayland the X11 workspace finds no
    // display and says that nothing can be hidden). On an X11 session KWin
    // is an EWMH window manager like any other, and the X11 workspace sees
    // every window directly, without a script's round trip.
    std::unique_ptr<Workspace> makeWorkspace() override
    {
        if (DesktopSession::isSway())
            return std::make_unique<SwayWorkspace>();
        if (DesktopSession::isWayland() && KWinScripting::isKWinRunning())
            return std::make_unique<KWinWorkspace>();
        return std::make_unique<X11Workspace>();
    }

    std::unique_ptr<Accessibility> makeAccessibility(Workspace *workspace) override
    {
        // sway and KWin on Wayland have one way of hiding, their workspace's own.
        if (auto *sway = qobject_cast<SwayWorkspace *>(workspace))
            return std::make_unique<WorkspaceAccessibility>(sway);
        if (auto *kwin = qobject_cast<KWinWorkspace *>(workspace))
            return std::make_unique<WorkspaceAccessibility>(kwin);
        // Hiding through the window manager needs the X11 workspace's windows;
        // over any other workspace there is nothing it could hide.
        return std::make_unique<X11Accessibility>(qobject_cast<X11Workspace *>(workspace));
    }

    std::unique_ptr<AppOpener> makeAppOpener() override { return std::make_unique<XdgAppOpener>(); }

    std::unique_ptr<UserNotifications> makeUserNotifications() override
    {
        return std::make_unique<DBusUserNotifications>();
    }

    std::unique_ptr<DoNotDisturb> makeDoNotDisturb() override
    {
        return std::make_unique<DesktopDoNotDisturb>();
    }

    std::unique_ptr<SessionSound> makeSessionSound() override
    {
        return std::make_unique<CanberraSessionSound>();
    }

    std::unique_ptr<AppCatalogue> makeAppCatalogue() override { return std::make_unique<XdgAppCatalogue>(); }

    // Key grabs on X11; on Wayland, where a program cannot grab keys, the
    // desktop binds the shortcut through its portal (when it has one).
    std::unique_ptr<HotKeyBackend> makeHotKeyBackend() override
    {
        if (DesktopSession::isWayland())
            return std::make_unique<PortalHotKeyBackend>();
        return std::make_unique<X11HotKeyBackend>();
    }

    std::unique_ptr<LoginItem> makeLoginItem(const QString &program) override
    {
        return std::make_unique<XdgAutostartLoginItem>(program);
    }

    std::unique_ptr<RemoteControl> makeRemoteControl(const QString &serviceName) override
    {
        return std::make_unique<DBusRemoteControl>(serviceName);
    }

    std::unique_ptr<DesktopColorScheme> makeDesktopColorScheme() override
    {
        return std::make_unique<PortalColorScheme>();
    }

    // A StatusNotifierItem where a watcher runs (Plasma, waybar, the
    // AppIndicator extensions), and on Wayland in any case (one may start
    // later; XEmbed cannot work there); Qt's tray icon (XEmbed) otherwise.
    std::unique_ptr<TrayIcon> makeTrayIcon() override
    {
        if (DesktopSession::isWayland() || StatusNotifierItem::isWatcherRegistered())
            return std::make_unique<StatusNotifierItem>();
        return std::make_unique<SystemTrayIcon>();
    }

    // The window system decides: on X11 the program keeps its own
    // override-redirect windows; on Wayland the compositor does, KWin
    // through a script, sway over its IPC.
    std::unique_ptr<OverlayKeeper> makeOverlayKeeper() override
    {
        switch (DesktopSession::windowSystem()) {
        case DesktopSession::WindowSystem::X11:
            return std::make_unique<X11OverlayKeeper>();
        case DesktopSession::WindowSystem::Wayland:
            if (KWinScripting::isKWinRunning())
                return std::make_unique<KWinOverlayKeeper>();
            if (SwayOverlayKeeper::isSwaySession())
                return std::make_unique<SwayOverlayWindowsKeeper>();
            break;
        case DesktopSession::WindowSystem::None:
            break;
        }
        return std::make_unique<UnavailableOverlayKeeper>();
    }

    std::unique_ptr<OverlayWatchdog> makeOverlayWatchdog(int timeoutMs, const QString &guardProgram) override
    {
        if (DesktopSession::windowSystem() == DesktopSession::WindowSystem::X11)
            return std::make_unique<X11OverlayWatchdog>(timeoutMs, guardProgram);
        return std::make_unique<UnavailableOverlayWatchdog>();
    }

    std::unique_ptr<DisplaySleepInhibitor> inhibitDisplaySleep(const QString &reason) override
    {
        return std::make_unique<ScreenSaverInhibitor>(reason);
    }

    // On X11 the requests wait in the output buffer of Qt's connection. On
    // Wayland Qt keeps its display to itself; its requests go out when the
    // event loop next waits.
    void sendWindowRequests() override { X11QtDisplay::sendRequests(); }
};

} // namespace

std::unique_ptr<PlatformServices> PlatformServices::forThisDesktop()
{
    return std::make_unique<LinuxPlatformServices>();
}

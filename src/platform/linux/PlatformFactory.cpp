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
#include "GnomeOverlayKeeper.h"
#include "GnomeShellExtension.h"
#include "GnomeShellHotKeyBackend.h"
#include "GnomeShellIndicator.h"
#include "GnomeShellSetup.h"
#include "GnomeWorkspace.h"
#include "GuardOverlayWatchdog.h"
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

#include <QFile>

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
    void setAllowedApplications(const QStringList &names) override
    {
        m_allowed = names;
        m_blockList = false;
    }
    void setBlockedApplications(const QStringList &names) override
    {
        m_allowed = names;
        m_blockList = true;
    }
    QStringList allowedApplications() const override { return m_allowed; }
    bool isBlockList() const override { return m_blockList; }
    void restack() override {}

private:
    QStringList m_allowed;
    bool m_blockList = false;
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
        // GNOME on Wayland hides through Lumora's extension; without it the
        // workspace says what the extension would give. GNOME on X11 keeps
        // the X11 workspace: it sees and unmaps every window directly, and
        // its override-redirect overlays need no help from the shell.
        if (DesktopSession::isWayland() && GnomeShellExtension::isGnomeShellRunning())
            return std::make_unique<GnomeWorkspace>();
        return std::make_unique<X11Workspace>();
    }

    std::unique_ptr<Accessibility> makeAccessibility(Workspace *workspace) override
    {
        // sway and KWin on Wayland have one way of hiding, their workspace's own.
        if (auto *sway = qobject_cast<SwayWorkspace *>(workspace))
            return std::make_unique<WorkspaceAccessibility>(sway);
        if (auto *kwin = qobject_cast<KWinWorkspace *>(workspace))
            return std::make_unique<WorkspaceAccessibility>(kwin);
        if (auto *gnome = qobject_cast<GnomeWorkspace *>(workspace))
            return std::make_unique<WorkspaceAccessibility>(gnome);
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
        // GNOME Shell binds it through Lumora's extension when that answers.
        if (DesktopSession::isWayland() && GnomeShellExtension::isGnomeShellRunning()) {
            auto gnome = std::make_unique<GnomeShellHotKeyBackend>();
            if (gnome->isAvailable())
                return gnome;
        }
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
        // On GNOME without a StatusNotifier host (GNOME has no tray of its
        // own) Lumora's extension shows the item in the top bar; with a host
        // (an AppIndicator extension) the host shows it, never both.
        if (GnomeShellExtension::isGnomeShellRunning() && !StatusNotifierItem::isWatcherRegistered()) {
            auto indicator = std::make_unique<GnomeShellIndicator>();
            if (indicator->isAvailable())
                return indicator;
        }
        if (DesktopSession::isWayland() || StatusNotifierItem::isWatcherRegistered())
            return std::make_unique<StatusNotifierItem>();
        return std::make_unique<SystemTrayIcon>();
    }

    // The window system decides: on X11 the program keeps its own
    // override-redirect windows; on Wayland the compositor does, KWin
    // through a script, GNOME Shell through Lumora's extension, sway over
    // its IPC.
    std::unique_ptr<OverlayKeeper> makeOverlayKeeper() override
    {
        switch (DesktopSession::windowSystem()) {
        case DesktopSession::WindowSystem::X11:
            return std::make_unique<X11OverlayKeeper>();
        case DesktopSession::WindowSystem::Wayland:
            if (KWinScripting::isKWinRunning())
                return std::make_unique<KWinOverlayKeeper>();
            if (GnomeShellExtension::isGnomeShellRunning())
                return std::make_unique<GnomeOverlayKeeper>();
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
        std::function<QByteArray()> target;
        switch (DesktopSession::windowSystem()) {
        case DesktopSession::WindowSystem::X11:
            target = [display = X11QtDisplay::name()] {
                return display.isEmpty() ? QByteArray() : QByteArrayLiteral("x11:") + display;
            };
            break;
        case DesktopSession::WindowSystem::Wayland:
            if (SwayOverlayKeeper::isSwaySession()) {
                target = [] {
                    return QByteArrayLiteral("sway:") + QFile::encodeName(qEnvironmentVariable("SWAYSOCK"));
                };
            } else {
                // Whether it is KWin's is asked at the first watch, not at
                // start; elsewhere on Wayland no other process can take this
                // program's surfaces down (the compositor does when it dies).
                target = [] {
                    return KWinScripting::isKWinRunning() ? QByteArrayLiteral("kwin:") : QByteArray();
                };
            }
            break;
        case DesktopSession::WindowSystem::None:
            break;
        }
        return std::make_unique<GuardOverlayWatchdog>(std::move(target), timeoutMs, guardProgram);
    }

    std::unique_ptr<ShellExtension> makeShellExtension() override
    {
        if (!GnomeShellExtension::isGnomeShellRunning())
            return nullptr;
        return std::make_unique<GnomeShellSetup>();
    }

    bool showsTrayItemWithoutHost() override
    {
        return GnomeShellExtension::isGnomeShellRunning() && !StatusNotifierItem::isWatcherRegistered() &&
               GnomeShellIndicator().isAvailable();
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

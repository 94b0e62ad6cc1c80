// The program's one session manager over the desktop's real services.
#include "AppLockManager.h"
#include "DBusUserNotifications.h"
#include "DesktopSession.h"
#include "FocusOverlayController.h"
#include "FocusSessionManager.h"
#include "LockJournal.h"
#include "Store.h"
#include "SwayWorkspace.h"
#include "WorkspaceAccessibility.h"
#include "X11Accessibility.h"
#include "X11Workspace.h"
#include "XdgAppOpener.h"

#include <QCoreApplication>

namespace {

// Everything the shared manager works through. It lives as long as the
// application object, so it is torn down before Qt is.
class SharedServices : public QObject
{
public:
    explicit SharedServices(QObject *parent)
        : QObject(parent), overlay(std::make_unique<FocusOverlayController>())
    {
        // The desktop's own way of hiding: sway's scratchpad on sway, the
        // window manager's on X11 (elsewhere on Wayland nothing can be hidden).
        if (DesktopSession::isSway()) {
            auto sway = std::make_unique<SwayWorkspace>();
            accessibility = std::make_unique<WorkspaceAccessibility>(sway.get());
            workspace = std::move(sway);
        } else {
            auto x11 = std::make_unique<X11Workspace>();
            accessibility = std::make_unique<X11Accessibility>(x11.get());
            workspace = std::move(x11);
        }
        // Windows a crashed run left hidden come back before anything else
        // (or as soon as a window manager is there to show them).
        lockManager = std::make_unique<AppLockManager>(workspace.get(), accessibility.get());
        lockManager->setJournalPath(LockJournal::pathForStore(Store::path()));
        lockManager->restoreLeftovers();
        FocusSessionManager::Services services;
        services.lockManager = lockManager.get();
        services.overlay = overlay.get();
        services.accessibility = accessibility.get();
        services.opener = &opener;
        services.notifications = &notifications;
        manager = std::make_unique<FocusSessionManager>(services);
    }

    // Members go in reverse order: the manager first, the workspace last.
    std::unique_ptr<Workspace> workspace;
    std::unique_ptr<Accessibility> accessibility;
    std::unique_ptr<FocusOverlayController> overlay;
    XdgAppOpener opener;
    DBusUserNotifications notifications;
    std::unique_ptr<AppLockManager> lockManager;
    std::unique_ptr<FocusSessionManager> manager;
};

} // namespace

FocusSessionManager &FocusSessionManager::shared()
{
    static SharedServices *services = new SharedServices(QCoreApplication::instance());
    return *services->manager;
}

// The program's one session manager over the desktop's real services.
#include "AppLockManager.h"
#include "DBusUserNotifications.h"
#include "FocusOverlayController.h"
#include "FocusSessionManager.h"
#include "LockJournal.h"
#include "Store.h"
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
        : QObject(parent), workspace(std::make_unique<X11Workspace>()), accessibility(workspace.get()),
          overlay(std::make_unique<FocusOverlayController>())
    {
        // Windows a crashed run left hidden come back before anything else
        // (or as soon as a window manager is there to show them).
        lockManager = std::make_unique<AppLockManager>(workspace.get(), &accessibility);
        lockManager->setJournalPath(LockJournal::pathForStore(Store::path()));
        lockManager->restoreLeftovers();
        FocusSessionManager::Services services;
        services.lockManager = lockManager.get();
        services.overlay = overlay.get();
        services.accessibility = &accessibility;
        services.opener = &opener;
        services.notifications = &notifications;
        manager = std::make_unique<FocusSessionManager>(services);
    }

    // Members go in reverse order: the manager first, the workspace last.
    std::unique_ptr<X11Workspace> workspace;
    X11Accessibility accessibility;
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

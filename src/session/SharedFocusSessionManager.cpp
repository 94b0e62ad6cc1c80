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
        : QObject(parent), workspace(new X11Workspace(this)), accessibility(workspace),
          lockManager(new AppLockManager(workspace, &accessibility, this)),
          overlay(new FocusOverlayController(this))
    {
        lockManager->setJournalPath(LockJournal::pathForStore(Store::path()));
        FocusSessionManager::Services services;
        services.lockManager = lockManager;
        services.overlay = overlay;
        services.accessibility = &accessibility;
        services.opener = &opener;
        services.notifications = &notifications;
        manager = new FocusSessionManager(services, this);
    }

    X11Workspace *workspace;
    X11Accessibility accessibility;
    AppLockManager *lockManager;
    FocusOverlayController *overlay;
    XdgAppOpener opener;
    DBusUserNotifications notifications;
    FocusSessionManager *manager = nullptr;
};

} // namespace

FocusSessionManager &FocusSessionManager::shared()
{
    static SharedServices *services = new SharedServices(QCoreApplication::instance());
    return *services->manager;
}

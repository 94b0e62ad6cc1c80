// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

#include <memory>

class Accessibility;
class AppCatalogue;
class AppLockManager;
class AppOpener;
class FocusOverlayController;
class FocusSessionManager;
class DoNotDisturb;
class NotificationCenter;
class NotificationHold;
class SessionSound;
class PlatformServices;
class UserNotifications;
class Workspace;

// The program's focus-session machinery over the desktop's services: the
// workspace and window-manager hiding, the lock manager (which first brings
// back what a crashed run left hidden), the overlay, the opener, the
// notifications and the session manager that runs over all of them.
class SessionServices
{
public:
    // journalPath: where the lock manager writes ahead what it hides.
    SessionServices(PlatformServices &platform, const QString &journalPath);
    ~SessionServices();
    SessionServices(const SessionServices &) = delete;
    SessionServices &operator=(const SessionServices &) = delete;

    FocusSessionManager &manager() const { return *m_manager; }
    FocusOverlayController &overlay() const { return *m_overlay; }
    NotificationCenter &requests() const { return *m_requests; }
    AppCatalogue &catalogue() const { return *m_catalogue; }
    Workspace &workspace() const { return *m_workspace; }

private:
    // Members go in reverse order: the manager first, the workspace last.
    std::unique_ptr<Workspace> m_workspace;
    std::unique_ptr<Accessibility> m_accessibility;
    std::unique_ptr<AppCatalogue> m_catalogue;
    std::unique_ptr<FocusOverlayController> m_overlay;
    std::unique_ptr<AppOpener> m_opener;
    std::unique_ptr<UserNotifications> m_notifications;
    std::unique_ptr<DoNotDisturb> m_doNotDisturb;
    std::unique_ptr<NotificationHold> m_notificationHold;
    std::unique_ptr<SessionSound> m_sound;
    std::unique_ptr<NotificationCenter> m_requests;
    std::unique_ptr<AppLockManager> m_lockManager;
    std::unique_ptr<FocusSessionManager> m_manager;
};

// SPDX-License-Identifier: MIT
#include "SessionServices.h"

#include "Accessibility.h"
#include "AppCatalogue.h"
#include "AppLockManager.h"
#include "AppOpener.h"
#include "DoNotDisturb.h"
#include "FocusOverlayController.h"
#include "FocusSessionManager.h"
#include "NotificationCenter.h"
#include "NotificationHold.h"
#include "PlatformServices.h"
#include "SessionSound.h"
#include "UserNotifications.h"
#include "Workspace.h"

SessionServices::SessionServices(PlatformServices &platform, const QString &journalPath)
    : m_workspace(platform.makeWorkspace()), m_accessibility(platform.makeAccessibility(m_workspace.get())),
      m_catalogue(platform.makeAppCatalogue()),
      m_overlay(std::make_unique<FocusOverlayController>(
          m_catalogue.get(), platform.makeOverlayKeeper(),
          platform.makeOverlayWatchdog(OverlayWatchdog::kDefaultTimeoutMs, QString()))),
      m_opener(platform.makeAppOpener()), m_notifications(platform.makeUserNotifications()),
      m_requests(std::make_unique<NotificationCenter>())
{
    // Windows a crashed run left hidden come back before anything else
    // (or as soon as a window manager is there to show them).
    m_lockManager = std::make_unique<AppLockManager>(m_workspace.get(), m_accessibility.get());
    m_lockManager->setJournalPath(journalPath);
    m_lockManager->restoreLeftovers();
    // Then the windows a killed run's overlay floated above it, or took
    // full screen from, go back to where they were.
    m_overlay->putBackLeftovers();
    // So do notifications a crashed run left held back.
    m_doNotDisturb = platform.makeDoNotDisturb();
    m_notificationHold = std::make_unique<NotificationHold>(
        m_doNotDisturb.get(), NotificationHold::pathForLockJournal(journalPath));
    m_notificationHold->restoreLeftovers();
    m_sound = platform.makeSessionSound();
    FocusSessionManager::Services services;
    services.lockManager = m_lockManager.get();
    services.overlay = m_overlay.get();
    services.accessibility = m_accessibility.get();
    services.opener = m_opener.get();
    services.notifications = m_notifications.get();
    services.requests = m_requests.get();
    services.notificationHold = m_notificationHold.get();
    services.sound = m_sound.get();
    m_manager = std::make_unique<FocusSessionManager>(services);
}

SessionServices::~SessionServices() = default;

// SPDX-License-Identifier: MIT
#include "FocusScreen.h"

LUMORA_DEFINE_RECORD(FocusScreen, LUMORA_FOCUS_SCREEN_FIELDS, 1)

FocusScreen::FocusScreen(const QString &name, double duration, const QStringList &allowedApps,
                         const QStringList &allowedWebsites, LockMode lockMode, bool autoStartOnLogin,
                         qint64 sortOrder, bool strictModeEnabled, StrictModeType strictModeType,
                         const std::optional<QString> &strictModeSentence,
                         const std::optional<QString> &strictModeAnswer,
                         const std::optional<QString> &autoOpenApp, const std::optional<QString> &autoOpenURL,
                         OverlayBackgroundType overlayBackgroundType,
                         const std::optional<QString> &overlayBackgroundValue)
    : m_name(name), m_duration(duration), m_allowedApps(allowedApps), m_allowedWebsites(allowedWebsites),
      m_lockMode(lockMode), m_autoStartOnLogin(autoStartOnLogin), m_sortOrder(sortOrder),
      m_uuid(QUuid::createUuid()), m_createdAt(QDateTime::currentDateTimeUtc()),
      m_strictModeEnabled(strictModeEnabled), m_strictModeType(strictModeType),
      m_strictModeSentence(strictModeSentence), m_strictModeAnswer(strictModeAnswer),
      m_autoOpenApp(autoOpenApp), m_autoOpenURL(autoOpenURL), m_overlayBackgroundType(overlayBackgroundType),
      m_overlayBackgroundValue(overlayBackgroundValue)
{}

// SPDX-License-Identifier: MIT
#include "AppLockProfile.h"

LUMORA_DEFINE_RECORD(AppLockProfile, LUMORA_APP_LOCK_PROFILE_FIELDS, 1)

AppLockProfile::AppLockProfile(const QString &name, const QStringList &blockedApps,
                               const QStringList &blockedWebsites, LockMode mode)
    : m_name(name), m_blockedApps(blockedApps), m_blockedWebsites(blockedWebsites), m_mode(mode),
      m_uuid(QUuid::createUuid()), m_createdAt(QDateTime::currentDateTimeUtc())
{}

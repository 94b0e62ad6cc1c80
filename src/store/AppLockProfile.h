// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"
#include "RecordFields.h"

#include <QDateTime>
#include <QStringList>
#include <QUuid>

#include <optional>

// type, name, setter, SQL type, schema version, initial value (see RecordFields.h).
#define LUMORA_APP_LOCK_PROFILE_FIELDS(F)                                                                    \
    F(QString, name, setName, "TEXT NOT NULL", 1, {})                                                        \
    F(QStringList, blockedApps, setBlockedApps, "TEXT NOT NULL", 1, {})                                      \
    F(QStringList, blockedWebsites, setBlockedWebsites, "TEXT NOT NULL", 1, {})                              \
    F(LockMode, mode, setMode, "TEXT NOT NULL", 1, LockMode::hideApps)                                       \
    F(QUuid, uuid, setUuid, "TEXT NOT NULL", 1, {})                                                          \
    F(QDateTime, createdAt, setCreatedAt, "REAL NOT NULL", 1, {})

// A reusable list of blocked applications and websites.
class AppLockProfile final : public PersistentModel
{
    LUMORA_RECORD_FIELDS(AppLockProfile, LUMORA_APP_LOCK_PROFILE_FIELDS)

public:
    AppLockProfile(const QString &name, const QStringList &blockedApps, const QStringList &blockedWebsites,
                   LockMode mode);

private:
    AppLockProfile() = default;
};

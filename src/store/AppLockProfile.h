// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"
#include "PersistentModel.h"

#include <QDateTime>
#include <QStringList>
#include <QUuid>

#include <optional>

// A reusable list of blocked applications and websites.
class AppLockProfile final : public PersistentModel
{
public:
    enum Col { Col_name, Col_blockedApps, Col_blockedWebsites, Col_mode, Col_uuid, Col_createdAt };

    static const EntityInfo &entityInfo();
    const EntityInfo &entity() const override { return entityInfo(); }

    const QString &name() const { return m_name; }
    const QStringList &blockedApps() const { return m_blockedApps; }
    const QStringList &blockedWebsites() const { return m_blockedWebsites; }
    LockMode mode() const { return m_mode; }
    const QUuid &uuid() const { return m_uuid; }
    const QDateTime &createdAt() const { return m_createdAt; }

    void setName(const QString &value) { assign(m_name, value, Col_name); }
    void setBlockedApps(const QStringList &value) { assign(m_blockedApps, value, Col_blockedApps); }
    void setBlockedWebsites(const QStringList &value)
    {
        assign(m_blockedWebsites, value, Col_blockedWebsites);
    }
    void setMode(LockMode value) { assign(m_mode, value, Col_mode); }
    void setUuid(const QUuid &value) { assign(m_uuid, value, Col_uuid); }
    void setCreatedAt(const QDateTime &value) { assign(m_createdAt, value, Col_createdAt); }

    AppLockProfile(const QString &name, const QStringList &blockedApps, const QStringList &blockedWebsites,
                   LockMode mode);

private:
    AppLockProfile() = default;
    friend struct AppLockProfileColumns;
    QString m_name;
    QStringList m_blockedApps;
    QStringList m_blockedWebsites;
    LockMode m_mode = LockMode::hideApps;
    QUuid m_uuid;
    QDateTime m_createdAt;
};

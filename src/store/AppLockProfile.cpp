// SPDX-License-Identifier: MIT
#include "AppLockProfile.h"

#include "ColumnField.h"

// Column order is field declaration order; the column names are the field names.
struct AppLockProfileColumns
{
    static QList<ColumnInfo> columns()
    {
        return {
            Column::field<&AppLockProfile::m_name>("name", "TEXT NOT NULL"),
            Column::field<&AppLockProfile::m_blockedApps>("blockedApps", "TEXT NOT NULL"),
            Column::field<&AppLockProfile::m_blockedWebsites>("blockedWebsites", "TEXT NOT NULL"),
            Column::enumField<&AppLockProfile::m_mode, LockMode::hideApps>("mode", "TEXT NOT NULL"),
            Column::field<&AppLockProfile::m_uuid>("uuid", "TEXT NOT NULL"),
            Column::field<&AppLockProfile::m_createdAt>("createdAt", "REAL NOT NULL"),
        };
    }

    static std::unique_ptr<PersistentModel> make()
    {
        return std::unique_ptr<PersistentModel>(new AppLockProfile());
    }
};

const EntityInfo &AppLockProfile::entityInfo()
{
    static const EntityInfo info{QStringLiteral("AppLockProfile"), AppLockProfileColumns::columns(),
                                 &AppLockProfileColumns::make};
    return info;
}

AppLockProfile::AppLockProfile(const QString &name, const QStringList &blockedApps,
                               const QStringList &blockedWebsites, LockMode mode)
    : m_name(name), m_blockedApps(blockedApps), m_blockedWebsites(blockedWebsites), m_mode(mode),
      m_uuid(QUuid::createUuid()), m_createdAt(QDateTime::currentDateTimeUtc())
{}

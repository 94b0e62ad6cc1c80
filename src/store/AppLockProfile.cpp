#include "AppLockProfile.h"

// Column order is field declaration order; the column names are the field names.
struct AppLockProfileColumns
{
    static QList<ColumnInfo> columns()
    {
        return {
            {"name", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const AppLockProfile &>(m); return Column::fromString(r.m_name); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<AppLockProfile &>(m); r.m_name = v.toString(); }},
            {"blockedApps", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const AppLockProfile &>(m); return Column::fromList(r.m_blockedApps); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<AppLockProfile &>(m); r.m_blockedApps = Column::toList(v); }},
            {"blockedWebsites", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const AppLockProfile &>(m); return Column::fromList(r.m_blockedWebsites); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<AppLockProfile &>(m); r.m_blockedWebsites = Column::toList(v); }},
            {"mode", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const AppLockProfile &>(m); return QVariant(rawValue(r.m_mode)); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<AppLockProfile &>(m); r.m_mode = fromRaw<LockMode>(v.toString()).value_or(LockMode::hideApps); }},
            {"uuid", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const AppLockProfile &>(m); return Column::fromUuid(r.m_uuid); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<AppLockProfile &>(m); r.m_uuid = Column::toUuid(v); }},
            {"createdAt", "REAL NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const AppLockProfile &>(m); return Column::fromDate(r.m_createdAt); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<AppLockProfile &>(m); r.m_createdAt = Column::toDate(v); }},
        };
    }

    static std::unique_ptr<PersistentModel> make() { return std::unique_ptr<PersistentModel>(new AppLockProfile()); }
};

const EntityInfo &AppLockProfile::entityInfo()
{
    static const EntityInfo info{QStringLiteral("AppLockProfile"), AppLockProfileColumns::columns(), &AppLockProfileColumns::make};
    return info;
}

AppLockProfile::AppLockProfile(const QString &name, const QStringList &blockedApps,
                               const QStringList &blockedWebsites, LockMode mode)
    : m_name(name), m_blockedApps(blockedApps), m_blockedWebsites(blockedWebsites), m_mode(mode),
      m_uuid(QUuid::createUuid()), m_createdAt(QDateTime::currentDateTimeUtc())
{
}

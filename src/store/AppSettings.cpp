#include "AppSettings.h"

// Column order is field declaration order; the column names are the field names.
struct AppSettingsColumns
{
    static QList<ColumnInfo> columns()
    {
        return {
            {"globalShortcut", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const AppSettings &>(m); return Column::fromString(r.m_globalShortcut); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<AppSettings &>(m); r.m_globalShortcut = v.toString(); }},
            {"launchAtLogin", "INTEGER NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const AppSettings &>(m); return QVariant(int(r.m_launchAtLogin)); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<AppSettings &>(m); r.m_launchAtLogin = v.toLongLong() != 0; }},
            {"defaultLockMode", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const AppSettings &>(m); return QVariant(rawValue(r.m_defaultLockMode)); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<AppSettings &>(m); r.m_defaultLockMode = fromRaw<LockMode>(v.toString()).value_or(LockMode::hideApps); }},
            {"accentColor", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const AppSettings &>(m); return Column::fromString(r.m_accentColor); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<AppSettings &>(m); r.m_accentColor = v.toString(); }},
            {"defaultStrictModeType", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const AppSettings &>(m); return QVariant(rawValue(r.m_defaultStrictModeType)); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<AppSettings &>(m); r.m_defaultStrictModeType = fromRaw<StrictModeType>(v.toString()).value_or(StrictModeType::none); }},
        };
    }

    static std::unique_ptr<PersistentModel> make() { return std::unique_ptr<PersistentModel>(new AppSettings()); }
};

const EntityInfo &AppSettings::entityInfo()
{
    static const EntityInfo info{QStringLiteral("AppSettings"), AppSettingsColumns::columns(), &AppSettingsColumns::make};
    return info;
}



// SPDX-License-Identifier: MIT
#include "AppSettings.h"

#include "ColumnField.h"

// Column order is field declaration order; the column names are the field names.
struct AppSettingsColumns
{
    static QList<ColumnInfo> columns()
    {
        return {
            Column::field<&AppSettings::m_globalShortcut>("globalShortcut", "TEXT NOT NULL"),
            Column::field<&AppSettings::m_launchAtLogin>("launchAtLogin", "INTEGER NOT NULL"),
            Column::enumField<&AppSettings::m_defaultLockMode, LockMode::hideApps>("defaultLockMode",
                                                                                   "TEXT NOT NULL"),
            Column::field<&AppSettings::m_accentColor>("accentColor", "TEXT NOT NULL"),
            Column::enumField<&AppSettings::m_defaultStrictModeType, StrictModeType::none>(
                "defaultStrictModeType", "TEXT NOT NULL"),
        };
    }

    static std::unique_ptr<PersistentModel> make()
    {
        return std::unique_ptr<PersistentModel>(new AppSettings());
    }
};

const EntityInfo &AppSettings::entityInfo()
{
    static const EntityInfo info{QStringLiteral("AppSettings"), AppSettingsColumns::columns(),
                                 &AppSettingsColumns::make};
    return info;
}

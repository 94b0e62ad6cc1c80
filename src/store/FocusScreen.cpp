// SPDX-License-Identifier: MIT
#include "FocusScreen.h"

#include "ColumnField.h"

// Column order is field declaration order; the column names are the field names.
struct FocusScreenColumns
{
    static QList<ColumnInfo> columns()
    {
        return {
            Column::field<&FocusScreen::m_name>("name", "TEXT NOT NULL"),
            Column::field<&FocusScreen::m_duration>("duration", "REAL NOT NULL"),
            Column::field<&FocusScreen::m_allowedApps>("allowedApps", "TEXT NOT NULL"),
            Column::field<&FocusScreen::m_allowedWebsites>("allowedWebsites", "TEXT NOT NULL"),
            Column::enumField<&FocusScreen::m_lockMode, LockMode::hideApps>("lockMode", "TEXT NOT NULL"),
            Column::field<&FocusScreen::m_autoStartOnLogin>("autoStartOnLogin", "INTEGER NOT NULL"),
            Column::field<&FocusScreen::m_sortOrder>("sortOrder", "INTEGER NOT NULL"),
            Column::field<&FocusScreen::m_uuid>("uuid", "TEXT NOT NULL"),
            Column::field<&FocusScreen::m_createdAt>("createdAt", "REAL NOT NULL"),
            Column::field<&FocusScreen::m_strictModeEnabled>("strictModeEnabled", "INTEGER NOT NULL"),
            Column::enumField<&FocusScreen::m_strictModeType, StrictModeType::none>("strictModeType",
                                                                                    "TEXT NOT NULL"),
            Column::field<&FocusScreen::m_strictModeSentence>("strictModeSentence", "TEXT"),
            Column::field<&FocusScreen::m_strictModeAnswer>("strictModeAnswer", "TEXT"),
            Column::field<&FocusScreen::m_autoOpenApp>("autoOpenApp", "TEXT"),
            Column::field<&FocusScreen::m_autoOpenURL>("autoOpenURL", "TEXT"),
            Column::enumField<&FocusScreen::m_overlayBackgroundType, OverlayBackgroundType::system>(
                "overlayBackgroundType", "TEXT NOT NULL"),
            Column::field<&FocusScreen::m_overlayBackgroundValue>("overlayBackgroundValue", "TEXT"),
        };
    }

    static std::unique_ptr<PersistentModel> make()
    {
        return std::unique_ptr<PersistentModel>(new FocusScreen());
    }
};

const EntityInfo &FocusScreen::entityInfo()
{
    static const EntityInfo info{QStringLiteral("FocusScreen"), FocusScreenColumns::columns(),
                                 &FocusScreenColumns::make};
    return info;
}

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

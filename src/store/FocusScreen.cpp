#include "FocusScreen.h"

// Column order is field declaration order; the column names are the field names.
struct FocusScreenColumns
{
    static QList<ColumnInfo> columns()
    {
        return {
            {"name", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return Column::fromString(r.m_name); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_name = v.toString(); }},
            {"duration", "REAL NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return QVariant(r.m_duration); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_duration = v.toDouble(); }},
            {"allowedApps", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return Column::fromList(r.m_allowedApps); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_allowedApps = Column::toList(v); }},
            {"allowedWebsites", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return Column::fromList(r.m_allowedWebsites); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_allowedWebsites = Column::toList(v); }},
            {"lockMode", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return QVariant(rawValue(r.m_lockMode)); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_lockMode = fromRaw<LockMode>(v.toString()).value_or(LockMode::hideApps); }},
            {"autoStartOnLogin", "INTEGER NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return QVariant(int(r.m_autoStartOnLogin)); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_autoStartOnLogin = v.toLongLong() != 0; }},
            {"sortOrder", "INTEGER NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return QVariant(r.m_sortOrder); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_sortOrder = v.toLongLong(); }},
            {"uuid", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return Column::fromUuid(r.m_uuid); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_uuid = Column::toUuid(v); }},
            {"createdAt", "REAL NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return Column::fromDate(r.m_createdAt); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_createdAt = Column::toDate(v); }},
            {"strictModeEnabled", "INTEGER NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return QVariant(int(r.m_strictModeEnabled)); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_strictModeEnabled = v.toLongLong() != 0; }},
            {"strictModeType", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return QVariant(rawValue(r.m_strictModeType)); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_strictModeType = fromRaw<StrictModeType>(v.toString()).value_or(StrictModeType::none); }},
            {"strictModeSentence", "TEXT",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return Column::fromOptionalString(r.m_strictModeSentence); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_strictModeSentence = Column::toOptionalString(v); }},
            {"strictModeAnswer", "TEXT",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return Column::fromOptionalString(r.m_strictModeAnswer); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_strictModeAnswer = Column::toOptionalString(v); }},
            {"autoOpenApp", "TEXT",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return Column::fromOptionalString(r.m_autoOpenApp); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_autoOpenApp = Column::toOptionalString(v); }},
            {"autoOpenURL", "TEXT",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return Column::fromOptionalString(r.m_autoOpenURL); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_autoOpenURL = Column::toOptionalString(v); }},
            {"overlayBackgroundType", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return QVariant(rawValue(r.m_overlayBackgroundType)); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_overlayBackgroundType = fromRaw<OverlayBackgroundType>(v.toString()).value_or(OverlayBackgroundType::system); }},
            {"overlayBackgroundValue", "TEXT",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusScreen &>(m); return Column::fromOptionalString(r.m_overlayBackgroundValue); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusScreen &>(m); r.m_overlayBackgroundValue = Column::toOptionalString(v); }},
        };
    }

    static std::unique_ptr<PersistentModel> make() { return std::unique_ptr<PersistentModel>(new FocusScreen()); }
};

const EntityInfo &FocusScreen::entityInfo()
{
    static const EntityInfo info{QStringLiteral("FocusScreen"), FocusScreenColumns::columns(), &FocusScreenColumns::make};
    return info;
}

FocusScreen::FocusScreen(const QString &name, double duration, const QStringList &allowedApps,
                         const QStringList &allowedWebsites, LockMode lockMode, bool autoStartOnLogin,
                         qint64 sortOrder, bool strictModeEnabled, StrictModeType strictModeType,
                         const std::optional<QString> &strictModeSentence,
                         const std::optional<QString> &strictModeAnswer, const std::optional<QString> &autoOpenApp,
                         const std::optional<QString> &autoOpenURL, OverlayBackgroundType overlayBackgroundType,
                         const std::optional<QString> &overlayBackgroundValue)
    : m_name(name), m_duration(duration), m_allowedApps(allowedApps), m_allowedWebsites(allowedWebsites),
      m_lockMode(lockMode), m_autoStartOnLogin(autoStartOnLogin), m_sortOrder(sortOrder),
      m_uuid(QUuid::createUuid()), m_createdAt(QDateTime::currentDateTimeUtc()),
      m_strictModeEnabled(strictModeEnabled), m_strictModeType(strictModeType),
      m_strictModeSentence(strictModeSentence), m_strictModeAnswer(strictModeAnswer), m_autoOpenApp(autoOpenApp),
      m_autoOpenURL(autoOpenURL), m_overlayBackgroundType(overlayBackgroundType),
      m_overlayBackgroundValue(overlayBackgroundValue)
{
}

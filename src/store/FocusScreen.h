#pragma once

#include "Enums.h"
#include "RecordFields.h"

#include <QDateTime>
#include <QStringList>
#include <QUuid>

#include <optional>

// type, name, setter, SQL type, schema version, initial value (see RecordFields.h).
#define LUMORA_FOCUS_SCREEN_FIELDS(F)                                                                        \
    F(QString, name, setName, "TEXT NOT NULL", 1, {})                                                        \
    F(double, duration, setDuration, "REAL NOT NULL", 1, {})                                                 \
    F(QStringList, allowedApps, setAllowedApps, "TEXT NOT NULL", 1, {})                                      \
    F(QStringList, allowedWebsites, setAllowedWebsites, "TEXT NOT NULL", 1, {})                              \
    F(LockMode, lockMode, setLockMode, "TEXT NOT NULL", 1, LockMode::hideApps)                               \
    F(bool, autoStartOnLogin, setAutoStartOnLogin, "INTEGER NOT NULL", 1, false)                             \
    F(qint64, sortOrder, setSortOrder, "INTEGER NOT NULL", 1, 0)                                             \
    F(QUuid, uuid, setUuid, "TEXT NOT NULL", 1, {})                                                          \
    F(QDateTime, createdAt, setCreatedAt, "REAL NOT NULL", 1, {})                                            \
    F(bool, strictModeEnabled, setStrictModeEnabled, "INTEGER NOT NULL", 1, false)                           \
    F(StrictModeType, strictModeType, setStrictModeType, "TEXT NOT NULL", 1, StrictModeType::none)           \
    F(std::optional<QString>, strictModeSentence, setStrictModeSentence, "TEXT", 1, std::nullopt)            \
    F(std::optional<QString>, strictModeAnswer, setStrictModeAnswer, "TEXT", 1, std::nullopt)                \
    F(std::optional<QString>, autoOpenApp, setAutoOpenApp, "TEXT", 1, std::nullopt)                          \
    F(std::optional<QString>, autoOpenURL, setAutoOpenURL, "TEXT", 1, std::nullopt)                          \
    F(OverlayBackgroundType, overlayBackgroundType, setOverlayBackgroundType, "TEXT NOT NULL", 1,            \
      OverlayBackgroundType::system)                                                                         \
    F(std::optional<QString>, overlayBackgroundValue, setOverlayBackgroundValue, "TEXT", 1, std::nullopt)

// A configured focus routine.
class FocusScreen final : public PersistentModel
{
    LUMORA_RECORD_FIELDS(FocusScreen, LUMORA_FOCUS_SCREEN_FIELDS)

public:
    // Every field but uuid and createdAt may be given; uuid is always new and
    // createdAt is always now.
    FocusScreen(const QString &name, double duration, const QStringList &allowedApps = {},
                const QStringList &allowedWebsites = {}, LockMode lockMode = LockMode::hideApps,
                bool autoStartOnLogin = false, qint64 sortOrder = 0, bool strictModeEnabled = false,
                StrictModeType strictModeType = StrictModeType::none,
                const std::optional<QString> &strictModeSentence = std::nullopt,
                const std::optional<QString> &strictModeAnswer = std::nullopt,
                const std::optional<QString> &autoOpenApp = std::nullopt,
                const std::optional<QString> &autoOpenURL = std::nullopt,
                OverlayBackgroundType overlayBackgroundType = OverlayBackgroundType::system,
                const std::optional<QString> &overlayBackgroundValue = std::nullopt);

private:
    FocusScreen() = default;
};

// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"
#include "RecordFields.h"

#include <QDateTime>
#include <QStringList>
#include <QUuid>

#include <optional>

// type, name, setter, SQL type, schema version, initial value (see RecordFields.h).
// rounds: focus rounds in one run (0 or 1: a single session), each of
// `duration`, with a break of breakLength seconds after each but the last and
// one of longBreakLength after every longBreakEvery-th (0: never);
// appsBackDuringBreak: hidden applications come back for breaks.
// lockProfileID: the AppLockProfile whose blocked lists a session keeps
// instead of the allowed lists (null: none). schedules: when the screen
// starts by itself, one Schedule text each ("12345@09:00-12:00").
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
    F(std::optional<QString>, overlayBackgroundValue, setOverlayBackgroundValue, "TEXT", 1, std::nullopt)    \
    F(qint64, rounds, setRounds, "INTEGER NOT NULL DEFAULT 0", 3, 0)                                         \
    F(double, breakLength, setBreakLength, "REAL NOT NULL DEFAULT 300", 3, 300)                              \
    F(qint64, longBreakEvery, setLongBreakEvery, "INTEGER NOT NULL DEFAULT 0", 3, 0)                         \
    F(double, longBreakLength, setLongBreakLength, "REAL NOT NULL DEFAULT 900", 3, 900)                      \
    F(bool, appsBackDuringBreak, setAppsBackDuringBreak, "INTEGER NOT NULL DEFAULT 1", 3, true)              \
    F(QUuid, lockProfileID, setLockProfileID, "TEXT", 3, {})                                                 \
    F(QStringList, schedules, setSchedules, "TEXT NOT NULL DEFAULT '[]'", 3, {})

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

// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"
#include "RecordFields.h"

#include <QDateTime>
#include <QStringList>
#include <QUuid>

#include <optional>

// type, name, setter, SQL type, schema version, initial value (see RecordFields.h).
// round: a session that is one round of a cycle of rounds carries its number
// in the cycle, from 1; a single session (and every session recorded before
// rounds existed) carries 0. note: what the user says they worked on, empty
// when they said nothing.
#define LUMORA_FOCUS_SESSION_FIELDS(F)                                                                       \
    F(QUuid, focusScreenID, setFocusScreenID, "TEXT NOT NULL", 1, {})                                        \
    F(QDateTime, startTime, setStartTime, "REAL NOT NULL", 1, {})                                            \
    F(std::optional<QDateTime>, endTime, setEndTime, "REAL", 1, std::nullopt)                                \
    F(bool, completed, setCompleted, "INTEGER NOT NULL", 1, false)                                           \
    F(std::optional<double>, actualDuration, setActualDuration, "REAL", 1, std::nullopt)                     \
    F(QString, note, setNote, "TEXT NOT NULL DEFAULT ''", 2, {})                                             \
    F(qint64, round, setRound, "INTEGER NOT NULL DEFAULT 0", 2, 0)

// One run of a focus screen.
class FocusSession final : public PersistentModel
{
    LUMORA_RECORD_FIELDS(FocusSession, LUMORA_FOCUS_SESSION_FIELDS)

public:
    FocusSession(const QUuid &focusScreenID, const QDateTime &startTime);

    // Ends the session at the given instant: endTime, then actualDuration
    // (negative when the instant lies before startTime), then completed.
    // Does not save.
    void complete(const QDateTime &at);

private:
    FocusSession() = default;
};

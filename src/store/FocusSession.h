// SPDX-License-Identifier: MIT
#pragma once

#include "Enums.h"
#include "PersistentModel.h"

#include <QDateTime>
#include <QStringList>
#include <QUuid>

#include <optional>

// One run of a focus screen.
class FocusSession final : public PersistentModel
{
public:
    enum Col { Col_focusScreenID, Col_startTime, Col_endTime, Col_completed, Col_actualDuration };

    static const EntityInfo &entityInfo();
    const EntityInfo &entity() const override { return entityInfo(); }

    const QUuid &focusScreenID() const { return m_focusScreenID; }
    const QDateTime &startTime() const { return m_startTime; }
    const std::optional<QDateTime> &endTime() const { return m_endTime; }
    bool completed() const { return m_completed; }
    const std::optional<double> &actualDuration() const { return m_actualDuration; }

    void setFocusScreenID(const QUuid &value) { assign(m_focusScreenID, value, Col_focusScreenID); }
    void setStartTime(const QDateTime &value) { assign(m_startTime, value, Col_startTime); }
    void setEndTime(const std::optional<QDateTime> &value) { assign(m_endTime, value, Col_endTime); }
    void setCompleted(bool value) { assign(m_completed, value, Col_completed); }
    void setActualDuration(const std::optional<double> &value)
    {
        assign(m_actualDuration, value, Col_actualDuration);
    }

    FocusSession(const QUuid &focusScreenID, const QDateTime &startTime);

    // Ends the session at the given instant: endTime, then actualDuration
    // (negative when the instant lies before startTime), then completed.
    // Does not save.
    void complete(const QDateTime &at);

private:
    FocusSession() = default;
    friend struct FocusSessionColumns;
    QUuid m_focusScreenID;
    QDateTime m_startTime;
    std::optional<QDateTime> m_endTime = std::nullopt;
    bool m_completed = false;
    std::optional<double> m_actualDuration = std::nullopt;
};

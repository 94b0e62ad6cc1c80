// SPDX-License-Identifier: MIT
#include "FocusSession.h"

#include "ColumnField.h"

// Column order is field declaration order; the column names are the field names.
struct FocusSessionColumns
{
    static QList<ColumnInfo> columns()
    {
        return {
            Column::field<&FocusSession::m_focusScreenID>("focusScreenID", "TEXT NOT NULL"),
            Column::field<&FocusSession::m_startTime>("startTime", "REAL NOT NULL"),
            Column::field<&FocusSession::m_endTime>("endTime", "REAL"),
            Column::field<&FocusSession::m_completed>("completed", "INTEGER NOT NULL"),
            Column::field<&FocusSession::m_actualDuration>("actualDuration", "REAL"),
        };
    }

    static std::unique_ptr<PersistentModel> make()
    {
        return std::unique_ptr<PersistentModel>(new FocusSession());
    }
};

const EntityInfo &FocusSession::entityInfo()
{
    static const EntityInfo info{QStringLiteral("FocusSession"), FocusSessionColumns::columns(),
                                 &FocusSessionColumns::make};
    return info;
}

FocusSession::FocusSession(const QUuid &focusScreenID, const QDateTime &startTime)
    : m_focusScreenID(focusScreenID), m_startTime(startTime)
{}

void FocusSession::complete(const QDateTime &at)
{
    setEndTime(at);
    setActualDuration(double(m_startTime.msecsTo(at)) / 1000.0);
    setCompleted(true);
}

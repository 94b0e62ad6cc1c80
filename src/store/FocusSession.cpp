#include "FocusSession.h"

// Column order is field declaration order; the column names are the field names.
struct FocusSessionColumns
{
    static QList<ColumnInfo> columns()
    {
        return {
            {"focusScreenID", "TEXT NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusSession &>(m); return Column::fromUuid(r.m_focusScreenID); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusSession &>(m); r.m_focusScreenID = Column::toUuid(v); }},
            {"startTime", "REAL NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusSession &>(m); return Column::fromDate(r.m_startTime); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusSession &>(m); r.m_startTime = Column::toDate(v); }},
            {"endTime", "REAL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusSession &>(m); return Column::fromOptionalDate(r.m_endTime); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusSession &>(m); r.m_endTime = Column::toOptionalDate(v); }},
            {"completed", "INTEGER NOT NULL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusSession &>(m); return QVariant(int(r.m_completed)); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusSession &>(m); r.m_completed = v.toLongLong() != 0; }},
            {"actualDuration", "REAL",
             [](const PersistentModel &m) { const auto &r = static_cast<const FocusSession &>(m); return Column::fromOptionalDouble(r.m_actualDuration); },
             [](PersistentModel &m, const QVariant &v) { auto &r = static_cast<FocusSession &>(m); r.m_actualDuration = Column::toOptionalDouble(v); }},
        };
    }

    static std::unique_ptr<PersistentModel> make() { return std::unique_ptr<PersistentModel>(new FocusSession()); }
};

const EntityInfo &FocusSession::entityInfo()
{
    static const EntityInfo info{QStringLiteral("FocusSession"), FocusSessionColumns::columns(), &FocusSessionColumns::make};
    return info;
}

FocusSession::FocusSession(const QUuid &focusScreenID, const QDateTime &startTime)
    : m_focusScreenID(focusScreenID), m_startTime(startTime)
{
}

void FocusSession::complete(const QDateTime &at)
{
    setEndTime(at);
    setActualDuration(double(m_startTime.msecsTo(at)) / 1000.0);
    setCompleted(true);
}

// SPDX-License-Identifier: MIT
#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <vector>

class FocusSession;

// The figures of the statistics page, as plain functions over sessions and
// instants. Days are calendar days in the local time zone.
namespace Statistics {

// The local calendar days of many instants, fast. Asking the C library for
// one instant's local time costs about a microsecond (without TZ it looks
// at /etc/localtime every time), too much for a history of 100,000
// sessions on every refresh. Instead the system zone's offsets over the
// instants' span are read once, each checked against the C library, and
// every instant is placed by a binary search. When the zone is unknown or
// disagrees with the C library, each instant goes the slow way.
class LocalDays
{
public:
    explicit LocalDays(const QList<QDateTime> &instants);

    // The local calendar day of an instant (of those given or between them).
    QDate dayOf(const QDateTime &instant) const;
    // True when the zone's offsets are used (false: the slow way).
    bool usesZoneTable() const { return !m_spans.empty(); }

private:
    struct Span
    {
        qint64 from; // milliseconds since 1970 UTC from which the offset holds
        int offset;  // seconds east of UTC
    };
    std::vector<Span> m_spans;
};

// Completed sessions, in the given order.
QList<const FocusSession *> completedSessions(const QList<FocusSession *> &sessions);

// Sum of actualDuration over completed sessions (absent counts 0).
double totalFocusTime(const QList<FocusSession *> &sessions);

// Consecutive days with a completed session, counted back from today, or
// from yesterday when today has none yet. 0 when neither has one.
int calculateStreak(const QList<QDateTime> &completedStartTimes, const QDateTime &now);

// The longest run of consecutive days with a completed session.
int calculateLongestStreak(const QList<QDateTime> &completedStartTimes);

// Start times of the completed sessions.
QList<QDateTime> completedStartTimes(const QList<FocusSession *> &sessions);

// Focus minutes of completed sessions per local day for the `days` days
// ending today (oldest first), by the day each session started.
struct DayTotal
{
    QDate day;
    double minutes = 0;
};
QList<DayTotal> focusMinutesPerDay(const QList<FocusSession *> &sessions, const QDateTime &now,
                                   int days = 14);

} // namespace Statistics

#pragma once

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

class FocusSession;

// The figures of the statistics page, as plain functions over sessions and
// instants. Days are calendar days in the local time zone.
namespace Statistics {

// "25m", "1h 0m", "25h 0m": whole seconds truncated toward zero.
QString formatDuration(double seconds);

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
QList<DayTotal> focusMinutesPerDay(const QList<FocusSession *> &sessions, const QDateTime &now, int days = 14);

} // namespace Statistics

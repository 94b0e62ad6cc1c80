#include "Statistics.h"

#include "FocusSession.h"

#include <QSet>

#include <algorithm>
#include <cmath>

namespace Statistics {

namespace {
QDate localDay(const QDateTime &instant)
{
    return instant.toLocalTime().date();
}
} // namespace

QString formatDuration(double seconds)
{
    const double truncated = std::trunc(seconds);
    // Guards against values no duration can have (NaN, infinities, > 290 million years).
    const qint64 n = std::isfinite(truncated) && std::abs(truncated) < 9.0e15 ? qint64(truncated) : 0;
    const qint64 minutes = (n % 3600) / 60;
    if (n < 3600)
        return QStringLiteral("%1m").arg(minutes);
    return QStringLiteral("%1h %2m").arg(n / 3600).arg(minutes);
}

QList<const FocusSession *> completedSessions(const QList<FocusSession *> &sessions)
{
    QList<const FocusSession *> out;
    for (const FocusSession *s : sessions)
        if (s->completed())
            out.append(s);
    return out;
}

double totalFocusTime(const QList<FocusSession *> &sessions)
{
    double total = 0;
    for (const FocusSession *s : sessions)
        if (s->completed())
            total += s->actualDuration().value_or(0.0);
    return total;
}

QList<QDateTime> completedStartTimes(const QList<FocusSession *> &sessions)
{
    QList<QDateTime> out;
    for (const FocusSession *s : sessions)
        if (s->completed())
            out.append(s->startTime());
    return out;
}

int calculateStreak(const QList<QDateTime> &completedStartTimes, const QDateTime &now)
{
    if (completedStartTimes.isEmpty())
        return 0;
    QSet<QDate> days;
    for (const QDateTime &t : completedStartTimes)
        days.insert(localDay(t));
    const QDate today = localDay(now);
    QDate day = days.contains(today) ? today : today.addDays(-1);
    if (!days.contains(day))
        return 0;
    int streak = 0;
    while (days.contains(day)) {
        ++streak;
        day = day.addDays(-1);
    }
    return streak;
}

int calculateLongestStreak(const QList<QDateTime> &completedStartTimes)
{
    QList<QDate> days;
    days.reserve(completedStartTimes.size());
    for (const QDateTime &t : completedStartTimes)
        days.append(localDay(t));
    std::sort(days.begin(), days.end());
    int running = 0;
    int best = 0;
    for (qsizetype i = 0; i < days.size(); ++i) {
        if (i == 0) {
            running = 1;
        } else {
            // Calendar days, not 24-hour periods: days around a daylight
            // saving change are 23 or 25 hours long.
            const qint64 gap = days[i - 1].daysTo(days[i]);
            if (gap == 1)
                ++running;
            else if (gap > 1)
                running = 1;
        }
        best = std::max(best, running);
    }
    return best;
}

QList<DayTotal> focusMinutesPerDay(const QList<FocusSession *> &sessions, const QDateTime &now, int days)
{
    QList<DayTotal> out;
    if (days <= 0)
        return out;
    const QDate today = localDay(now);
    const QDate first = today.addDays(-(days - 1));
    for (int i = 0; i < days; ++i)
        out.append({first.addDays(i), 0.0});
    for (const FocusSession *s : sessions) {
        if (!s->completed())
            continue;
        const qint64 index = first.daysTo(localDay(s->startTime()));
        if (index >= 0 && index < days)
            out[index].minutes += std::max(0.0, s->actualDuration().value_or(0.0)) / 60.0;
    }
    return out;
}

} // namespace Statistics

// SPDX-License-Identifier: MIT
#include "Statistics.h"

#include "FocusSession.h"

#include <QSet>
#include <QTimeZone>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace Statistics {

namespace {

constexpr qint64 kMsecsPerDay = 86'400'000;
constexpr qint64 kUnixEpochJulianDay = 2'440'588;
// Zone data is read this far beyond the first and last instant.
constexpr qint64 kSpanMargin = 2 * kMsecsPerDay;
// Longer spans (dates far off, from a damaged store) go the slow way
// instead of asking the zone for centuries of transitions.
constexpr qint64 kMaxSpan = 200LL * 366 * kMsecsPerDay;
constexpr qint64 kFarOff = 8000LL * 366 * kMsecsPerDay;
constexpr qsizetype kMaxTransitions = 4096;

QDate localDay(const QDateTime &instant)
{
    return instant.toLocalTime().date();
}

} // namespace

LocalDays::LocalDays(const QList<QDateTime> &instants)
{
    qint64 first = std::numeric_limits<qint64>::max();
    qint64 last = std::numeric_limits<qint64>::min();
    for (const QDateTime &t : instants) {
        if (!t.isValid())
            continue;
        const qint64 ms = t.toMSecsSinceEpoch();
        first = std::min(first, ms);
        last = std::max(last, ms);
    }
    if (first > last || first < -kFarOff || last > kFarOff || last - first > kMaxSpan)
        return;
    const QTimeZone zone = QTimeZone::systemTimeZone();
    if (!zone.isValid())
        return;
    const QDateTime from = QDateTime::fromMSecsSinceEpoch(first - kSpanMargin, Qt::UTC);
    const QDateTime to = QDateTime::fromMSecsSinceEpoch(last + kSpanMargin, Qt::UTC);
    const QTimeZone::OffsetDataList transitions = zone.transitions(from, to);
    if (transitions.size() > kMaxTransitions)
        return;
    m_spans.push_back({std::numeric_limits<qint64>::min(), zone.offsetFromUtc(from)});
    for (const auto &change : transitions)
        m_spans.push_back({change.atUtc.toMSecsSinceEpoch(), change.offsetFromUtc});
    // Each span must agree with the C library at both of its ends.
    for (std::size_t i = 0; i < m_spans.size(); ++i) {
        const qint64 start = i == 0 ? first - kSpanMargin : m_spans[i].from;
        const qint64 end = i + 1 < m_spans.size() ? m_spans[i + 1].from - 1 : last + kSpanMargin;
        for (const qint64 ms : {start, end}) {
            if (QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC).toLocalTime().offsetFromUtc() !=
                m_spans[i].offset) {
                m_spans.clear();
                return;
            }
        }
    }
}

QDate LocalDays::dayOf(const QDateTime &instant) const
{
    if (m_spans.empty() || !instant.isValid())
        return localDay(instant);
    const qint64 ms = instant.toMSecsSinceEpoch();
    const auto after = std::upper_bound(m_spans.begin(), m_spans.end(), ms,
                                        [](qint64 value, const Span &span) { return value < span.from; });
    const qint64 local = ms + qint64(std::prev(after)->offset) * 1000;
    // Floor division: instants before 1970 have negative values.
    const qint64 day = local >= 0 ? local / kMsecsPerDay : -((-local + kMsecsPerDay - 1) / kMsecsPerDay);
    return QDate::fromJulianDay(kUnixEpochJulianDay + day);
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
    const LocalDays localDays(completedStartTimes);
    QSet<QDate> days;
    days.reserve(completedStartTimes.size());
    for (const QDateTime &t : completedStartTimes)
        days.insert(localDays.dayOf(t));
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
    const LocalDays localDays(completedStartTimes);
    QList<QDate> days;
    days.reserve(completedStartTimes.size());
    for (const QDateTime &t : completedStartTimes)
        days.append(localDays.dayOf(t));
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
    // Only sessions that can lie in the window need their local day: no
    // zone is more than a day away from UTC.
    const qint64 earliest = first.startOfDay().toMSecsSinceEpoch() - kMsecsPerDay;
    const qint64 latest = today.addDays(1).startOfDay().toMSecsSinceEpoch() + kMsecsPerDay;
    for (const FocusSession *s : sessions) {
        if (!s->completed())
            continue;
        const qint64 ms = s->startTime().toMSecsSinceEpoch();
        if (ms < earliest || ms >= latest)
            continue;
        const qint64 index = first.daysTo(localDay(s->startTime()));
        if (index >= 0 && index < days)
            out[index].minutes += std::max(0.0, s->actualDuration().value_or(0.0)) / 60.0;
    }
    return out;
}

} // namespace Statistics

// SPDX-License-Identifier: MIT
#include "Schedule.h"

#include <array>

namespace {

std::optional<QTime> parseTime(QStringView text)
{
    if (text.size() != 5 || text[2] != QLatin1Char(':'))
        return std::nullopt;
    bool hoursOk = false;
    bool minutesOk = false;
    const int hours = text.left(2).toInt(&hoursOk);
    const int minutes = text.mid(3).toInt(&minutesOk);
    if (!hoursOk || !minutesOk || !text[0].isDigit() || !text[3].isDigit())
        return std::nullopt;
    const QTime time(hours, minutes);
    return time.isValid() ? std::optional(time) : std::nullopt;
}

// The instant the clock of `zone` shows `time` on `date`. A time the clock
// skips (a daylight-saving gap) is read with the offset in force before the
// gap, which lands after it; a time the clock shows twice gives the first.
QDateTime localInstant(QDate date, QTime time, const QTimeZone &zone)
{
    QDateTime at(date, time, zone);
    const bool shown = at.isValid() && at.date() == date && at.time() == time;
    if (!shown) {
        const int before = zone.offsetFromUtc(QDateTime(date, QTime(0, 0), zone));
        return QDateTime(date, time, Qt::UTC).addSecs(-before).toTimeZone(zone);
    }
    // Daylight-saving shifts are 30 minutes to 2 hours long.
    for (const int shift : std::array{1800, 3600, 7200}) {
        const QDateTime earlier = at.addSecs(-shift);
        if (earlier.date() == date && earlier.time() == time)
            return earlier;
    }
    return at;
}

} // namespace

bool Schedule::runsOn(int isoWeekday) const
{
    return isoWeekday >= 1 && isoWeekday <= 7 && (days & (1u << (isoWeekday - 1))) != 0;
}

std::optional<Schedule> Schedule::parse(QStringView text)
{
    text = text.trimmed();
    const qsizetype at = text.indexOf(QLatin1Char('@'));
    if (at <= 0)
        return std::nullopt;
    Schedule schedule;
    for (const QChar c : text.left(at)) {
        const int day = c.digitValue();
        if (day < 1 || day > 7)
            return std::nullopt;
        schedule.days |= quint8(1u << (day - 1));
    }
    const QStringView times = text.mid(at + 1);
    const qsizetype dash = times.indexOf(QLatin1Char('-'));
    const auto start = parseTime(dash < 0 ? times : times.left(dash));
    if (!start)
        return std::nullopt;
    schedule.start = *start;
    if (dash >= 0) {
        const auto end = parseTime(times.mid(dash + 1));
        if (!end)
            return std::nullopt;
        schedule.end = *end;
    }
    return schedule;
}

QString Schedule::toString() const
{
    QString text;
    for (int day = 1; day <= 7; ++day)
        if (runsOn(day))
            text += QChar(QLatin1Char('0' + day));
    text += QLatin1Char('@') + start.toString(QStringLiteral("HH:mm"));
    if (end)
        text += QLatin1Char('-') + end->toString(QStringLiteral("HH:mm"));
    return text;
}

QList<Schedule> Schedule::parseAll(const QStringList &texts)
{
    QList<Schedule> out;
    for (const QString &text : texts)
        if (const auto schedule = parse(text))
            out.append(*schedule);
    return out;
}

namespace ScheduleTimes {

std::optional<ScheduleOccurrence> occurrenceOn(const Schedule &schedule, QDate date, const QTimeZone &zone)
{
    if (!schedule.isValid() || !date.isValid() || !schedule.runsOn(date.dayOfWeek()))
        return std::nullopt;
    ScheduleOccurrence occurrence;
    occurrence.date = date;
    occurrence.start = localInstant(date, schedule.start, zone);
    if (schedule.end) {
        const QDate endDate = *schedule.end > schedule.start ? date : date.addDays(1);
        occurrence.end = localInstant(endDate, *schedule.end, zone);
        if (*occurrence.end <= occurrence.start)
            occurrence.end.reset();
    }
    return occurrence;
}

std::optional<QDateTime> nextStart(const QList<Schedule> &schedules, const QDateTime &after,
                                   const QTimeZone &zone)
{
    std::optional<QDateTime> best;
    const QDate first = after.toTimeZone(zone).date();
    // A week and a day cover every weekday once whatever the clock shows.
    for (int offset = 0; offset <= 8; ++offset) {
        for (const Schedule &schedule : schedules) {
            const auto occurrence = occurrenceOn(schedule, first.addDays(offset), zone);
            if (occurrence && occurrence->start > after && (!best || occurrence->start < *best))
                best = occurrence->start;
        }
        if (best)
            return best;
    }
    return best;
}

} // namespace ScheduleTimes

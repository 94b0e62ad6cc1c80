// SPDX-License-Identifier: MIT
#pragma once

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QTimeZone>

#include <optional>

// When a focus screen starts by itself: on some weekdays at a start time,
// with an optional end by which its session stops. Kept as text, one entry
// per schedule: the ISO weekday digits (1 = Monday ... 7 = Sunday), "@", the
// start time and optionally "-" and the end time, all in the local time of
// the machine: "12345@09:00-12:00" (weekdays nine to twelve), "67@10:30".
// An end at or before the start lies on the next day.
struct Schedule
{
    // Bit 0 is Monday, bit 6 Sunday.
    quint8 days = 0;
    QTime start;
    std::optional<QTime> end;

    bool runsOn(int isoWeekday) const;
    bool isValid() const { return days != 0 && start.isValid() && (!end || end->isValid()); }

    // Nothing for text that is not one entry as above.
    static std::optional<Schedule> parse(QStringView text);
    QString toString() const;
    // The stored entries that parse; the rest is dropped.
    static QList<Schedule> parseAll(const QStringList &texts);

    friend bool operator==(const Schedule &, const Schedule &) = default;
};

// One day's run of a schedule.
struct ScheduleOccurrence
{
    QDate date;      // the day it is for, in the schedule's zone
    QDateTime start; // in a daylight-saving gap: the first moment after it
    std::optional<QDateTime> end;
};

namespace ScheduleTimes {

// The run of `schedule` on `date`, nothing when it does not run that day.
// A start time that falls twice (a daylight-saving repeat) starts at the
// first of them.
std::optional<ScheduleOccurrence> occurrenceOn(const Schedule &schedule, QDate date, const QTimeZone &zone);

// The first start of any of the schedules later than `after`; nothing when
// none runs on any day.
std::optional<QDateTime> nextStart(const QList<Schedule> &schedules, const QDateTime &after,
                                   const QTimeZone &zone);

} // namespace ScheduleTimes

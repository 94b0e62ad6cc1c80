// SPDX-License-Identifier: MIT
#pragma once

#include "Schedule.h"

#include <QDateTime>
#include <QObject>
#include <QSet>
#include <QTimeZone>
#include <QTimer>
#include <QUuid>

#include <functional>
#include <optional>

// Starts focus screens at their scheduled times. Each day's run of a
// schedule is decided once, when its start has come: on time (found at most
// kOnTimeMs late) it starts with the schedule's end; later (the machine slept,
// the clock was put forward, Lumora started only now) it starts for what
// remains of its window while that is open, and not at all otherwise. A
// window is the schedule's start to its end, or to the end of one full run of
// the screen when it has none. A clock put back by hand starts nothing a
// second time, and a schedule written for a time already passed today is
// not made up for. The start itself is the shell's (due()), refused there like
// any other start while a session runs. Main thread only.
class FocusScheduler : public QObject
{
    Q_OBJECT
public:
    // A start this late still counts as on time.
    static constexpr qint64 kOnTimeMs = 2 * 60 * 1000;
    // The clock is looked at at least this often, so that sleep and clock
    // changes are noticed.
    static constexpr int kMaxWaitMs = 30000;
    // A late start with less than this left of its window is not worth it.
    static constexpr qint64 kMinRemainingMs = 60 * 1000;

    // The schedules of one focus screen and how long one run of it takes
    // (seconds; the window of a schedule without an end).
    struct Plan
    {
        QUuid screen;
        QList<Schedule> schedules;
        double runLength = 0;
    };

    struct Services
    {
        std::function<QList<Plan>()> plans;
        std::function<QDateTime()> now; // the real clock when empty
        std::optional<QTimeZone> zone;  // the system's when empty
    };

    explicit FocusScheduler(Services services, QObject *parent = nullptr);

    // Starts following the clock; the first look decides what is due at once
    // (windows open now start for what remains).
    void start();
    void stop();
    bool isRunning() const { return m_running; }
    // Looks at the clock now (the timer does it on its own).
    void check();
    // The schedules changed: the next start is looked for again.
    void reschedule();

    // The next scheduled start of any screen later than the clock now.
    std::optional<QDateTime> nextStart() const;

Q_SIGNALS:
    // A screen's scheduled run is due; until: when it must stop (invalid:
    // it runs its full length).
    void due(const QUuid &screen, const QDateTime &until);

private:
    QDateTime now() const;
    QTimeZone zone() const;
    void armTimer();

    Services m_services;
    QTimer m_timer;
    bool m_running = false;
    // The clock at the last look; invalid before the first.
    QDateTime m_lastCheck;
    // The runs decided already: "<screen>|<schedule>|<date>".
    QSet<QString> m_decided;
};

// SPDX-License-Identifier: MIT
#include "FocusScheduler.h"

#include <algorithm>

FocusScheduler::FocusScheduler(Services services, QObject *parent)
    : QObject(parent), m_services(std::move(services))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &FocusScheduler::check);
}

QDateTime FocusScheduler::now() const
{
    return m_services.now ? m_services.now() : QDateTime::currentDateTimeUtc();
}

QTimeZone FocusScheduler::zone() const
{
    return m_services.zone ? *m_services.zone : QTimeZone::systemTimeZone();
}

void FocusScheduler::start()
{
    m_running = true;
    check();
}

void FocusScheduler::stop()
{
    m_running = false;
    m_lastCheck = {};
    m_timer.stop();
}

void FocusScheduler::reschedule()
{
    if (m_running)
        check();
}

void FocusScheduler::check()
{
    if (!m_running || !m_services.plans)
        return;
    const QDateTime at = now();
    const QTimeZone tz = zone();
    const QDate today = at.toTimeZone(tz).date();
    struct Due
    {
        QUuid screen;
        QDateTime start;
        QDateTime until;
    };
    QList<Due> dueRuns;
    for (const Plan &plan : m_services.plans()) {
        for (qsizetype i = 0; i < plan.schedules.size(); ++i) {
            // Yesterday's run may still be open (past midnight).
            for (const QDate date : {today.addDays(-1), today}) {
                const auto run = ScheduleTimes::occurrenceOn(plan.schedules[i], date, tz);
                if (!run || run->start > at)
                    continue;
                const QString key = QStringLiteral("%1|%2|%3")
                                        .arg(plan.screen.toString(QUuid::WithoutBraces))
                                        .arg(i)
                                        .arg(date.toString(Qt::ISODate));
                if (m_decided.contains(key))
                    continue;
                m_decided.insert(key);
                // A start that was passed before this look (a schedule
                // written for an earlier time of today) is not made up for.
                if (m_lastCheck.isValid() && run->start <= m_lastCheck)
                    continue;
                const QDateTime windowEnd =
                    run->end ? *run->end : run->start.addMSecs(qint64(std::max(0.0, plan.runLength) * 1000));
                if (run->start.msecsTo(at) <= kOnTimeMs)
                    dueRuns.append({plan.screen, run->start, run->end ? *run->end : QDateTime()});
                else if (at.msecsTo(windowEnd) >= kMinRemainingMs)
                    dueRuns.append({plan.screen, run->start, windowEnd});
            }
        }
    }
    m_lastCheck = at;
    // What is decided stays decided while its day can come up again.
    const QDate oldest = today.addDays(-3);
    m_decided.removeIf([&oldest](const QString &key) {
        return QDate::fromString(key.section(QLatin1Char('|'), 2), Qt::ISODate) < oldest;
    });
    std::sort(dueRuns.begin(), dueRuns.end(), [](const Due &a, const Due &b) { return a.start < b.start; });
    armTimer();
    for (const Due &d : std::as_const(dueRuns))
        Q_EMIT due(d.screen, d.until);
}

std::optional<QDateTime> FocusScheduler::nextStart() const
{
    if (!m_services.plans)
        return std::nullopt;
    QList<Schedule> all;
    for (const Plan &plan : m_services.plans())
        all += plan.schedules;
    return ScheduleTimes::nextStart(all, now(), zone());
}

void FocusScheduler::armTimer()
{
    qint64 wait = kMaxWaitMs;
    if (const auto next = nextStart())
        wait = std::clamp<qint64>(now().msecsTo(*next), 0, kMaxWaitMs);
    m_timer.start(int(wait));
}

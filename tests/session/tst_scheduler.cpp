// SPDX-License-Identifier: MIT
// Schedules and the scheduler against an injected clock: the clock is set
// to each look's time in turn and the scheduler looks; what it found due is
// compared with the expected starts.
#include "FocusScheduler.h"
#include "Schedule.h"

#include <QSignalSpy>
#include <QTest>

namespace {

const QTimeZone kBerlin("Europe/Berlin");

QDateTime at(const QString &iso)
{
    return QDateTime::fromString(iso, Qt::ISODate);
}

// The first of the looks at the instant, -1 when none is.
qsizetype indexOfInstant(const QStringList &looks, const QDateTime &instant)
{
    for (qsizetype i = 0; i < looks.size(); ++i)
        if (at(looks[i]) == instant)
            return i;
    return -1;
}

} // namespace

class TestScheduler : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void parse_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("normalized"); // empty: refused
        QTest::newRow("weekdays with end") << "12345@09:00-12:00"
                                           << "12345@09:00-12:00";
        QTest::newRow("weekend, no end") << "76@10:30"
                                         << "67@10:30";
        QTest::newRow("days repeat") << "1171@08:05"
                                     << "17@08:05";
        QTest::newRow("spaces around") << "  3@23:00-01:00 "
                                       << "3@23:00-01:00";
        QTest::newRow("no day") << "@09:00"
                                << "";
        QTest::newRow("day 0") << "0@09:00"
                               << "";
        QTest::newRow("day 8") << "8@09:00"
                               << "";
        QTest::newRow("hour 24") << "1@24:00"
                                 << "";
        QTest::newRow("minute 60") << "1@09:60"
                                   << "";
        QTest::newRow("short time") << "1@9:00"
                                    << "";
        QTest::newRow("bad end") << "1@09:00-"
                                 << "";
        QTest::newRow("signs") << "1@+9:00"
                               << "";
        QTest::newRow("empty") << ""
                               << "";
    }
    void parse()
    {
        QFETCH(QString, text);
        QFETCH(QString, normalized);
        const auto schedule = Schedule::parse(text);
        QCOMPARE(schedule.has_value(), !normalized.isEmpty());
        if (schedule) {
            QCOMPARE(schedule->toString(), normalized);
            QCOMPARE(Schedule::parse(schedule->toString()), schedule);
        }
    }

    void nextStart_data()
    {
        QTest::addColumn<QStringList>("schedules");
        QTest::addColumn<QString>("after");
        QTest::addColumn<QString>("expected"); // empty: none
        // 2026-12-07 is a Monday.
        QTest::newRow("later today") << QStringList{"12345@09:00"} << "2026-12-07T08:00:00+01:00"
                                     << "2026-12-07T09:00:00+01:00";
        QTest::newRow("at the start: the next day")
            << QStringList{"12345@09:00"} << "2026-12-07T09:00:00+01:00"
            << "2026-12-08T09:00:00+01:00";
        QTest::newRow("friday to monday") << QStringList{"1@09:00", "5@18:00"} << "2026-12-11T19:00:00+01:00"
                                          << "2026-12-14T09:00:00+01:00";
        QTest::newRow("a week on") << QStringList{"1@09:00"} << "2026-12-07T10:00:00+01:00"
                                   << "2026-12-14T09:00:00+01:00";
        QTest::newRow("the earlier of two")
            << QStringList{"1@14:00", "1@10:00"} << "2026-12-07T08:00:00+01:00"
            << "2026-12-07T10:00:00+01:00";
        QTest::newRow("gap: after it") << QStringList{"7@02:30"} << "2026-03-29T00:00:00+01:00"
                                       << "2026-03-29T03:30:00+02:00";
        QTest::newRow("repeat: the first") << QStringList{"7@02:30"} << "2026-10-25T00:00:00+02:00"
                                           << "2026-10-25T02:30:00+02:00";
        QTest::newRow("none") << QStringList{} << "2026-12-07T08:00:00+01:00"
                              << "";
    }
    void nextStart()
    {
        QFETCH(QStringList, schedules);
        QFETCH(QString, after);
        QFETCH(QString, expected);
        const auto next = ScheduleTimes::nextStart(Schedule::parseAll(schedules), at(after), kBerlin);
        QCOMPARE(next.has_value(), !expected.isEmpty());
        if (next)
            QCOMPARE(next->toMSecsSinceEpoch(), at(expected).toMSecsSinceEpoch());
    }

    // looks: the clock at each look, in order (the first is the program's
    // start). expected: "<look>><until>" for each start, until "-" for none.
    void due_data()
    {
        QTest::addColumn<QStringList>("schedules");
        QTest::addColumn<double>("runLength");
        QTest::addColumn<QStringList>("looks");
        QTest::addColumn<QStringList>("expected");
        const double fifty = 50 * 60;
        QTest::newRow("on time on its weekday")
            << QStringList{"1@09:00"} << fifty
            << QStringList{"2026-12-07T08:59:40+01:00", "2026-12-07T09:00:00+01:00",
                           "2026-12-07T09:00:30+01:00"}
            << QStringList{"1>-"};
        QTest::newRow("not on another weekday")
            << QStringList{"2@09:00"} << fifty
            << QStringList{"2026-12-07T08:59:40+01:00", "2026-12-07T09:00:00+01:00"} << QStringList{};
        QTest::newRow("on time with its end")
            << QStringList{"12345@09:00-12:00"} << fifty
            << QStringList{"2026-12-07T08:59:40+01:00", "2026-12-07T09:00:01+01:00"}
            << QStringList{"1>2026-12-07T12:00:00+01:00"};
        QTest::newRow("started inside the window: what remains")
            << QStringList{"12345@09:00-12:00"} << fifty << QStringList{"2026-12-07T10:00:00+01:00"}
            << QStringList{"0>2026-12-07T12:00:00+01:00"};
        QTest::newRow("started inside a run without end")
            << QStringList{"1@09:00"} << fifty << QStringList{"2026-12-07T09:30:00+01:00"}
            << QStringList{"0>2026-12-07T09:50:00+01:00"};
        QTest::newRow("started after the window")
            << QStringList{"12345@09:00-12:00"} << fifty << QStringList{"2026-12-07T12:30:00+01:00"}
            << QStringList{};
        QTest::newRow("started with less than a minute left")
            << QStringList{"12345@09:00-12:00"} << fifty << QStringList{"2026-12-07T11:59:30+01:00"}
            << QStringList{};
        QTest::newRow("window past midnight")
            << QStringList{"1@23:00-01:00"} << fifty << QStringList{"2026-12-08T00:30:00+01:00"}
            << QStringList{"0>2026-12-08T01:00:00+01:00"};
        QTest::newRow("slept over it, window open")
            << QStringList{"1@09:00-12:00"} << fifty
            << QStringList{"2026-12-07T08:59:40+01:00", "2026-12-07T10:15:00+01:00"}
            << QStringList{"1>2026-12-07T12:00:00+01:00"};
        QTest::newRow("slept over it, window closed")
            << QStringList{"1@09:00"} << fifty
            << QStringList{"2026-12-07T08:59:40+01:00", "2026-12-07T10:15:00+01:00"} << QStringList{};
        QTest::newRow("slept a day over it")
            << QStringList{"1@09:00-12:00"} << fifty
            << QStringList{"2026-12-06T20:00:00+01:00", "2026-12-08T10:00:00+01:00"} << QStringList{};
        QTest::newRow("clock put back by hand starts nothing twice")
            << QStringList{"1@09:00-12:00"} << fifty
            << QStringList{"2026-12-07T08:59:40+01:00", "2026-12-07T09:00:05+01:00",
                           "2026-12-07T08:50:00+01:00", "2026-12-07T09:00:05+01:00",
                           "2026-12-07T09:10:00+01:00"}
            << QStringList{"1>2026-12-07T12:00:00+01:00"};
        QTest::newRow("clock put forward by hand: like sleep")
            << QStringList{"1@09:00-12:00"} << fifty
            << QStringList{"2026-12-07T07:00:00+01:00", "2026-12-07T11:00:00+01:00"}
            << QStringList{"1>2026-12-07T12:00:00+01:00"};
        QTest::newRow("every weekday once a day")
            << QStringList{"12@09:00"} << fifty
            << QStringList{"2026-12-07T08:59:40+01:00", "2026-12-07T09:00:00+01:00",
                           "2026-12-07T09:00:30+01:00", "2026-12-08T08:59:40+01:00",
                           "2026-12-08T09:00:10+01:00", "2026-12-09T09:00:10+01:00"}
            << QStringList{"1>-", "4>-"};
        QStringList gap;
        for (QDateTime t = at("2026-03-29T01:50:00+01:00"); t <= at("2026-03-29T04:00:00+02:00");
             t = t.addSecs(30))
            gap.append(t.toString(Qt::ISODate));
        QTest::newRow("daylight-saving gap starts once, after the gap")
            << QStringList{"7@02:30"} << fifty << gap
            << QStringList{QString::number(indexOfInstant(gap, at("2026-03-29T03:30:00+02:00"))) + ">-"};
        QStringList repeat;
        for (QDateTime t = at("2026-10-25T01:50:00+02:00"); t <= at("2026-10-25T03:40:00+01:00");
             t = t.addSecs(60))
            repeat.append(t.toString(Qt::ISODate));
        QTest::newRow("daylight-saving repeat starts once, at the first")
            << QStringList{"7@02:30"} << fifty << repeat
            << QStringList{QString::number(indexOfInstant(repeat, at("2026-10-25T02:30:00+02:00"))) + ">-"};
    }
    void due()
    {
        QFETCH(QStringList, schedules);
        QFETCH(double, runLength);
        QFETCH(QStringList, looks);
        QFETCH(QStringList, expected);
        const QUuid screen = QUuid::createUuid();
        QDateTime clock;
        FocusScheduler::Services services;
        services.plans = [&] {
            return QList<FocusScheduler::Plan>{{screen, Schedule::parseAll(schedules), runLength}};
        };
        services.now = [&] { return clock; };
        services.zone = kBerlin;
        FocusScheduler scheduler(services);
        QStringList found;
        int look = 0;
        connect(&scheduler, &FocusScheduler::due, this, [&](const QUuid &which, const QDateTime &until) {
            QCOMPARE(which, screen);
            found.append(
                QString::number(look) + QLatin1Char('>') +
                (until.isValid() ? until.toTimeZone(kBerlin).toString(Qt::ISODate) : QStringLiteral("-")));
        });
        for (; look < looks.size(); ++look) {
            clock = at(looks[look]).toUTC();
            QVERIFY2(clock.isValid(), qPrintable(looks[look]));
            if (look == 0)
                scheduler.start();
            else
                scheduler.check();
        }
        QCOMPARE(found, expected);
    }

    // A schedule written for a time passed today is not made up for; one
    // for later today starts at its time.
    void editedSchedules()
    {
        const QUuid screen = QUuid::createUuid();
        QDateTime clock = at("2026-12-07T10:00:00+01:00");
        QStringList schedules;
        FocusScheduler::Services services;
        services.plans = [&] {
            return QList<FocusScheduler::Plan>{{screen, Schedule::parseAll(schedules), 3000}};
        };
        services.now = [&] { return clock; };
        services.zone = kBerlin;
        FocusScheduler scheduler(services);
        QSignalSpy due(&scheduler, &FocusScheduler::due);
        scheduler.start();
        schedules = {"1@09:30-12:00", "1@10:05"};
        clock = clock.addSecs(10);
        scheduler.reschedule();
        QCOMPARE(due.count(), 0);
        QCOMPARE(scheduler.nextStart(), at("2026-12-07T10:05:00+01:00"));
        clock = at("2026-12-07T10:05:00+01:00");
        scheduler.check();
        QCOMPARE(due.count(), 1);
        QCOMPARE(scheduler.nextStart(), at("2026-12-14T09:30:00+01:00"));
    }

    // The scheduler's own timer wakes it at the start time (a clock whose
    // start lies a moment ahead).
    void timerWakesAtTheStart()
    {
        const QUuid screen = QUuid::createUuid();
        const QDateTime startedAt = QDateTime::currentDateTimeUtc();
        // A fake day whose 09:00 lies 1.5 s after the real start.
        const QDateTime fakeStart = at("2026-12-07T08:59:58.500+01:00");
        FocusScheduler::Services services;
        services.plans = [&] {
            return QList<FocusScheduler::Plan>{{screen, Schedule::parseAll({"1@09:00"}), 60}};
        };
        services.now = [&] { return fakeStart.addMSecs(startedAt.msecsTo(QDateTime::currentDateTimeUtc())); };
        services.zone = kBerlin;
        FocusScheduler scheduler(services);
        QSignalSpy due(&scheduler, &FocusScheduler::due);
        scheduler.start();
        QCOMPARE(due.count(), 0);
        QVERIFY(due.wait(10000));
        QCOMPARE(due.count(), 1);
    }
};

QTEST_GUILESS_MAIN(TestScheduler)
#include "tst_scheduler.moc"

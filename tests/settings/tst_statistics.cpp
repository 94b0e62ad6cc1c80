// SPDX-License-Identifier: MIT
// The statistics figures: duration text and the two streaks on the local
// calendar, in a fixed time zone with a daylight saving change.
#include "Statistics.h"

#include "FocusSession.h"

#include <QTest>
#include <QTimeZone>

#include <ctime>

namespace {
// Local wall-clock time in the test's time zone.
QDateTime local(int y, int m, int d, int h = 12, int min = 0)
{
    return QDateTime(QDate(y, m, d), QTime(h, min));
}
} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        // New York changes to summer time on 2026-03-08 at 02:00: that day
        // has 23 hours, and 2026-11-01 has 25.
        qputenv("TZ", "America/New_York");
        ::tzset();
        QCOMPARE(QDateTime(QDate(2026, 3, 8), QTime(0, 0)).secsTo(QDateTime(QDate(2026, 3, 9), QTime(0, 0))),
                 23 * 3600);
    }

    void cleanup()
    {
        qputenv("TZ", "America/New_York");
        ::tzset();
    }

    // The fast local days agree with the C library at every instant,
    // across daylight saving changes, half-hour and negative ones, a
    // skipped day and changes at midnight.
    void localDays_data()
    {
        QTest::addColumn<QByteArray>("zone");
        QTest::addColumn<QDateTime>("from");
        QTest::addColumn<int>("days");
        QTest::addColumn<bool>("zoneTable");
        const auto utc = [](int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(0, 0), Qt::UTC); };
        QTest::newRow("New York") << QByteArray("America/New_York") << utc(2025, 12, 1) << 400 << true;
        QTest::newRow("Lord Howe (half-hour change)")
            << QByteArray("Australia/Lord_Howe") << utc(2025, 12, 1) << 400 << true;
        QTest::newRow("Apia (skipped 30 December 2011)")
            << QByteArray("Pacific/Apia") << utc(2011, 6, 1) << 400 << true;
        QTest::newRow("Sao Paulo (change at midnight)")
            << QByteArray("America/Sao_Paulo") << utc(2017, 10, 1) << 400 << true;
        QTest::newRow("Dublin (negative summer time)")
            << QByteArray("Europe/Dublin") << utc(2025, 12, 1) << 400 << true;
        QTest::newRow("Kolkata (no changes)") << QByteArray("Asia/Kolkata") << utc(2025, 1, 1) << 60 << true;
        QTest::newRow("far in the past") << QByteArray("Europe/Berlin") << utc(1, 1, 1) << 3 << false;
    }
    void localDays()
    {
        QFETCH(QByteArray, zone);
        QFETCH(QDateTime, from);
        QFETCH(int, days);
        QFETCH(bool, zoneTable);
        qputenv("TZ", zone);
        ::tzset();
        QList<QDateTime> instants;
        for (qint64 minutes = 0; minutes < days * 24LL * 60; minutes += 37)
            instants.append(from.addSecs(minutes * 60));
        if (!zoneTable)
            instants.append(QDateTime(QDate(9999, 6, 1), QTime(12, 0), Qt::UTC)); // a span of millennia
        const Statistics::LocalDays localDays(instants);
        QCOMPARE(localDays.usesZoneTable(), zoneTable);
        for (const QDateTime &t : std::as_const(instants)) {
            const QDate expected = t.toLocalTime().date();
            if (localDays.dayOf(t) != expected)
                QFAIL(qPrintable(QStringLiteral("%1: %2 instead of %3")
                                     .arg(t.toString(Qt::ISODate), localDays.dayOf(t).toString(Qt::ISODate),
                                          expected.toString(Qt::ISODate))));
        }
    }

    void streaks_data()
    {
        QTest::addColumn<QList<QDateTime>>("starts");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<int>("current");
        QTest::addColumn<int>("longest");
        const QDateTime now = local(2026, 6, 10, 15);
        QTest::newRow("none") << QList<QDateTime>{} << now << 0 << 0;
        QTest::newRow("today and yesterday")
            << QList<QDateTime>{local(2026, 6, 10, 9), local(2026, 6, 9, 20)} << now << 2 << 2;
        QTest::newRow("yesterday and the day before, none today")
            << QList<QDateTime>{local(2026, 6, 9), local(2026, 6, 8)} << now << 2 << 2;
        QTest::newRow("last two days ago")
            << QList<QDateTime>{local(2026, 6, 8), local(2026, 6, 7), local(2026, 6, 6)} << now << 0 << 3;
        QTest::newRow("three on one day, today")
            << QList<QDateTime>{local(2026, 6, 10, 8), local(2026, 6, 10, 9), local(2026, 6, 10, 10)} << now
            << 1 << 1;
        QTest::newRow("days 1,2,3 then 5,6")
            << QList<QDateTime>{local(2026, 6, 6), local(2026, 6, 1), local(2026, 6, 3), local(2026, 6, 2),
                                local(2026, 6, 5)}
            << local(2026, 6, 6, 18) << 2 << 3;
        QTest::newRow("near midnight counts by local day")
            << QList<QDateTime>{local(2026, 6, 9, 23, 59), local(2026, 6, 10, 0, 1)}
            << local(2026, 6, 10, 0, 2) << 2 << 2;
        QTest::newRow("a gap of one day breaks the run")
            << QList<QDateTime>{local(2026, 6, 10), local(2026, 6, 8), local(2026, 6, 7)} << now << 1 << 2;
        QTest::newRow("across the 23-hour day")
            << QList<QDateTime>{local(2026, 3, 7, 23, 30), local(2026, 3, 8, 0, 30), local(2026, 3, 9, 0, 10)}
            << local(2026, 3, 9, 1) << 3 << 3;
        QTest::newRow("across the 25-hour day")
            << QList<QDateTime>{local(2026, 10, 31, 23, 50), local(2026, 11, 1, 23, 50),
                                local(2026, 11, 2, 0, 5)}
            << local(2026, 11, 2, 8) << 3 << 3;
        QTest::newRow("given in UTC, counted in local days")
            << QList<QDateTime>{QDateTime(QDate(2026, 6, 10), QTime(2, 0), Qt::UTC), // 22:00 on the 9th in NY
                                local(2026, 6, 8, 12)}
            << now << 2 << 2;
        QTest::newRow("future sessions do not start a run")
            << QList<QDateTime>{local(2026, 6, 12)} << now << 0 << 1;
    }
    void streaks()
    {
        QFETCH(QList<QDateTime>, starts);
        QFETCH(QDateTime, now);
        QFETCH(int, current);
        QFETCH(int, longest);
        QCOMPARE(Statistics::calculateStreak(starts, now), current);
        QCOMPARE(Statistics::calculateLongestStreak(starts), longest);
    }

    void sessionFigures()
    {
        const QDateTime now = local(2026, 6, 10, 15);
        FocusSession done(QUuid::createUuid(), local(2026, 6, 10, 9));
        done.complete(local(2026, 6, 10, 9, 25));
        FocusSession early(QUuid::createUuid(), local(2026, 6, 10, 10));
        early.setEndTime(local(2026, 6, 10, 10, 5));
        early.setActualDuration(300);
        FocusSession old(QUuid::createUuid(), local(2026, 5, 1, 9));
        old.complete(local(2026, 5, 1, 10));
        FocusSession noDuration(QUuid::createUuid(), local(2026, 6, 9, 9));
        noDuration.setCompleted(true);
        const QList<FocusSession *> all{&done, &early, &old, &noDuration};

        QCOMPARE(Statistics::completedSessions(all).size(), 3);
        QCOMPARE(Statistics::totalFocusTime(all), 1500.0 + 3600.0);
        QCOMPARE(Statistics::calculateStreak(Statistics::completedStartTimes(all), now), 2);

        const auto perDay = Statistics::focusMinutesPerDay(all, now, 14);
        QCOMPARE(perDay.size(), 14);
        QCOMPARE(perDay.last().day, QDate(2026, 6, 10));
        QCOMPARE(perDay.first().day, QDate(2026, 5, 28));
        QCOMPARE(perDay.last().minutes, 25.0); // the early end does not count
        double sum = 0;
        for (const auto &d : perDay)
            sum += d.minutes;
        QCOMPARE(sum, 25.0); // May 1 is outside the window
    }
};

QTEST_APPLESS_MAIN(TestStatistics)
#include "tst_statistics.moc"

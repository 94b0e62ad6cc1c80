// SPDX-License-Identifier: MIT
#pragma once

#include "DurationFormat.h"
#include "Query.h"
#include "Statistics.h"

#include <QDateTime>
#include <QHash>
#include <QPointer>
#include <QUuid>
#include <QWidget>

#include <functional>

class AppModel;
class FocusChart;
class FocusScreen;
class FocusSession;
class QLabel;
class EmptyStatePanel;

// The statistics page of the settings window: figures over completed
// sessions (count, total time, current and longest streak), beside them the
// sessions ended early and the focus time of every session (completed and
// ended early), focus time per day over the last two weeks, and the most
// recent completed sessions. It only reads the store and follows it live.
class StatsSettings : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kRecentCount = 10;
    static constexpr int kChartDays = 14;
    static constexpr int kRecentRowMargin = 2;
    static constexpr int kRecentColumnSpacing = 2;

    // Everything the page shows, computed in one pass over the queries.
    struct Figures
    {
        int totalSessions = 0;
        double totalFocusTime = 0;
        int endedEarly = 0;      // sessions that ended before their time
        double allFocusTime = 0; // completed and ended early together
        int currentStreak = 0;
        int longestStreak = 0;
        QList<const FocusSession *> recent; // the kRecentCount most recent completed, newest first
        QList<Statistics::DayTotal> days;   // the chart
    };

    explicit StatsSettings(AppModel *model, QWidget *parent = nullptr);

    // The page's figures over its queries.
    QList<const FocusSession *> completedSessions() const;
    double totalFocusTime() const;
    int calculateStreak() const;
    int calculateLongestStreak() const;
    QHash<QUuid, QString> screenNames() const;
    static QString formatDuration(double seconds) { return DurationFormat::focusTotal(seconds); }

    // Computes every figure for `sessions` at `now`.
    static Figures compute(const QList<FocusSession *> &sessions, const QDateTime &now);

    // Recomputes and redraws now (it also happens by itself, once per
    // event-loop turn in which sessions or screens changed).
    void refresh();
    const Figures &figures() const { return m_figures; }

    // The current time; a test seam.
    void setClock(std::function<QDateTime()> clock);

    // The texts of the overview, for tests and accessibility.
    QLabel *totalSessionsValue() const { return m_totalSessions; }
    QLabel *totalFocusTimeValue() const { return m_totalFocusTime; }
    QLabel *endedEarlyValue() const { return m_endedEarly; }
    QLabel *allFocusTimeValue() const { return m_allFocusTime; }
    QLabel *currentStreakValue() const { return m_currentStreak; }
    QLabel *longestStreakValue() const { return m_longestStreak; }
    FocusChart *chart() const { return m_chart; }
    bool isEmptyStateShown() const;
    // The recent rows shown: screen name, start day and duration text.
    struct RecentRow
    {
        QString name;
        QString day;
        QString duration;
    };
    QList<RecentRow> recentRows() const;

    // The start day of a session in the locale's long date format without
    // the weekday.
    static QString dayText(const QDateTime &startTime, const QLocale &locale = QLocale());

protected:
    void changeEvent(QEvent *event) override;

private:
    void refreshLater();
    void applyStreakColor();
    QDateTime now() const;

    QPointer<AppModel> m_model;
    Query<FocusSession> *m_sessions = nullptr;
    Query<FocusScreen> *m_screens = nullptr;
    std::function<QDateTime()> m_clock;
    Figures m_figures;
    bool m_refreshQueued = false;

    QLabel *m_totalSessions = nullptr;
    QLabel *m_totalFocusTime = nullptr;
    QLabel *m_endedEarly = nullptr;
    QLabel *m_allFocusTime = nullptr;
    QLabel *m_currentStreak = nullptr;
    QLabel *m_longestStreak = nullptr;
    FocusChart *m_chart = nullptr;
    EmptyStatePanel *m_noSessions = nullptr;
    QWidget *m_recentList = nullptr;
    QList<QWidget *> m_recentRows;
};

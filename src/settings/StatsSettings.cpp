// SPDX-License-Identifier: MIT
#include "StatsSettings.h"

#include "AppModel.h"
#include "DisplayText.h"
#include "EmptyStatePanel.h"
#include "FocusChart.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "SettingsStyle.h"
#include "SymbolView.h"
#include "TextStyles.h"

#include <QCoreApplication>
#include <QEvent>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRegularExpression>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// One line of "Recent Sessions": the screen's name over the start day, then
// the duration and a green check mark.
class RecentSessionRow : public QWidget
{
public:
    explicit RecentSessionRow(QWidget *parent) : QWidget(parent)
    {
        auto *row = new QHBoxLayout(this);
        row->setContentsMargins(0, StatsSettings::kRecentRowMargin, 0, StatsSettings::kRecentRowMargin);
        auto *column = new QVBoxLayout;
        column->setSpacing(StatsSettings::kRecentColumnSpacing);
        name = TextStyles::plainLabel(QString(), this);
        name->setFont(TextStyles::subheadline(font()));
        day = TextStyles::captionLabel(QString(), this);
        day->setWordWrap(false);
        column->addWidget(name);
        column->addWidget(day);
        row->addLayout(column);
        row->addStretch(1);
        duration = TextStyles::plainLabel(QString(), this);
        duration->setFont(TextStyles::monospacedCaption(font()));
        TextStyles::makeSecondary(duration);
        row->addWidget(duration);
        check = new SymbolView(QStringLiteral("checkmark.circle.fill"), SettingsStyle::kRowSymbolSize, this);
        check->setAccessibleName(QCoreApplication::translate("StatsSettings", "Completed"));
        row->addWidget(check);
        recolor();
    }

    void recolor() { check->setColor(TextStyles::green(palette())); }

    QLabel *name;
    QLabel *day;
    QLabel *duration;
    SymbolView *check;

protected:
    void changeEvent(QEvent *event) override
    {
        QWidget::changeEvent(event);
        if (event->type() == QEvent::PaletteChange)
            recolor();
    }
};

// An overview row: symbol and title on the left, the value in semibold on
// the right. Returns the value label.
QLabel *overviewRow(QVBoxLayout *rows, QWidget *parent, const QString &title, const QString &symbol,
                    const QString &objectName)
{
    auto *line = new QHBoxLayout;
    auto *glyph = new SymbolView(symbol, SettingsStyle::kRowSymbolSize, parent);
    glyph->setColorRole(QPalette::WindowText);
    line->addWidget(glyph);
    line->addWidget(TextStyles::plainLabel(title, parent));
    line->addStretch(1);
    auto *value = TextStyles::plainLabel(QString(), parent);
    value->setObjectName(objectName);
    value->setFont(TextStyles::headline(value->font()));
    // A reader speaks the value itself and tells what it counts.
    value->setAccessibleDescription(title);
    line->addWidget(value);
    rows->addLayout(line);
    return value;
}

QString daysText(int days)
{
    // "1 day", "2 days": the plural forms come from the catalogues.
    return QCoreApplication::translate("StatsSettings", "%n days", nullptr, days);
}

} // namespace

StatsSettings::StatsSettings(AppModel *model, QWidget *parent) : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("statsSettings"));
    m_sessions = new Query<FocusSession>(model->context(), {}, this);
    m_screens = new Query<FocusScreen>(model->context(), {}, this);
    connect(m_sessions, &QueryBase::resultsChanged, this, &StatsSettings::refreshLater);
    connect(m_screens, &QueryBase::resultsChanged, this, &StatsSettings::refreshLater);

    auto *page = new QVBoxLayout(this);
    page->setContentsMargins(SettingsStyle::kPageMargin, SettingsStyle::kPageMargin,
                             SettingsStyle::kPageMargin, SettingsStyle::kPageMargin);
    page->setSpacing(SettingsStyle::kSectionSpacing);

    auto *overview = new QGroupBox(tr("Overview"), this);
    auto *overviewRows = new QVBoxLayout(overview);
    m_totalSessions = overviewRow(overviewRows, overview, tr("Total Sessions"),
                                  QStringLiteral("checkmark.circle"), QStringLiteral("totalSessions"));
    m_totalFocusTime = overviewRow(overviewRows, overview, tr("Total Focus Time"), QStringLiteral("clock"),
                                   QStringLiteral("totalFocusTime"));
    m_endedEarly =
        overviewRow(overviewRows, overview, tr("Ended Early"), QStringLiteral("exclamationmark.triangle"),
                    QStringLiteral("endedEarlySessions"));
    m_allFocusTime = overviewRow(overviewRows, overview, tr("Focus Time with Ended Early"),
                                 QStringLiteral("clock"), QStringLiteral("allFocusTime"));
    m_currentStreak = overviewRow(overviewRows, overview, tr("Current Streak"), QStringLiteral("flame"),
                                  QStringLiteral("currentStreak"));
    m_longestStreak = overviewRow(overviewRows, overview, tr("Longest Streak"), QStringLiteral("trophy"),
                                  QStringLiteral("longestStreak"));
    page->addWidget(overview);

    auto *lastDays = new QGroupBox(tr("Last 14 Days"), this);
    auto *lastDaysRows = new QVBoxLayout(lastDays);
    m_chart = new FocusChart(lastDays);
    lastDaysRows->addWidget(m_chart);
    page->addWidget(lastDays);

    auto *recent = new QGroupBox(tr("Recent Sessions"), this);
    auto *recentRows = new QVBoxLayout(recent);
    m_noSessions = new EmptyStatePanel(tr("No Sessions Yet"), QStringLiteral("clock.arrow.circlepath"),
                                       tr("Complete focus sessions to see statistics."), recent);
    m_noSessions->setObjectName(QStringLiteral("noSessions"));
    recentRows->addWidget(m_noSessions);
    m_recentList = new QWidget(recent);
    auto *list = new QVBoxLayout(m_recentList);
    list->setContentsMargins(0, 0, 0, 0);
    list->setSpacing(0);
    for (int i = 0; i < kRecentCount; ++i) {
        auto *row = new RecentSessionRow(m_recentList);
        list->addWidget(row);
        m_recentRows.append(row);
    }
    recentRows->addWidget(m_recentList);
    page->addWidget(recent);
    page->addStretch(1);

    refresh();
}

void StatsSettings::setClock(std::function<QDateTime()> clock)
{
    m_clock = std::move(clock);
    refresh();
}

QDateTime StatsSettings::now() const
{
    return m_clock ? m_clock() : QDateTime::currentDateTime();
}

QList<const FocusSession *> StatsSettings::completedSessions() const
{
    return Statistics::completedSessions(m_sessions->results());
}

double StatsSettings::totalFocusTime() const
{
    return Statistics::totalFocusTime(m_sessions->results());
}

int StatsSettings::calculateStreak() const
{
    return Statistics::calculateStreak(Statistics::completedStartTimes(m_sessions->results()), now());
}

int StatsSettings::calculateLongestStreak() const
{
    return Statistics::calculateLongestStreak(Statistics::completedStartTimes(m_sessions->results()));
}

QHash<QUuid, QString> StatsSettings::screenNames() const
{
    QHash<QUuid, QString> names;
    for (const FocusScreen *screen : m_screens->results())
        names.insert(screen->uuid(), screen->name());
    return names;
}

StatsSettings::Figures StatsSettings::compute(const QList<FocusSession *> &sessions, const QDateTime &now)
{
    Figures f;
    QList<QDateTime> starts;
    QList<const FocusSession *> completed;
    for (const FocusSession *s : sessions) {
        if (!s->completed()) {
            // Ended early: it has an end; one without is still running. Time
            // that ran backwards (a clock set back) counts as none.
            if (s->endTime() || s->actualDuration()) {
                ++f.endedEarly;
                f.allFocusTime += std::max(0.0, s->actualDuration().value_or(0.0));
            }
            continue;
        }
        f.allFocusTime += s->actualDuration().value_or(0.0);
        ++f.totalSessions;
        f.totalFocusTime += s->actualDuration().value_or(0.0);
        starts.append(s->startTime());
        completed.append(s);
    }
    // The most recent first; sessions started at the same moment keep the
    // store's order.
    std::stable_sort(completed.begin(), completed.end(), [](const FocusSession *a, const FocusSession *b) {
        return a->startTime() > b->startTime();
    });
    f.recent = completed.mid(0, kRecentCount);
    f.currentStreak = Statistics::calculateStreak(starts, now);
    f.longestStreak = Statistics::calculateLongestStreak(starts);
    f.days = Statistics::focusMinutesPerDay(sessions, now, kChartDays);
    return f;
}

void StatsSettings::refreshLater()
{
    if (m_refreshQueued)
        return;
    m_refreshQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (m_refreshQueued)
                refresh();
        },
        Qt::QueuedConnection);
}

void StatsSettings::refresh()
{
    m_refreshQueued = false;
    m_figures = compute(m_sessions->results(), now());
    const Figures &f = m_figures;

    m_totalSessions->setText(QString::number(f.totalSessions));
    m_totalFocusTime->setText(formatDuration(f.totalFocusTime));
    m_endedEarly->setText(QString::number(f.endedEarly));
    m_allFocusTime->setText(formatDuration(f.allFocusTime));
    m_currentStreak->setText(daysText(f.currentStreak));
    m_longestStreak->setText(daysText(f.longestStreak));
    applyStreakColor();
    m_chart->setDays(f.days);

    m_noSessions->setVisible(f.recent.isEmpty());
    m_recentList->setVisible(!f.recent.isEmpty());
    const QHash<QUuid, QString> names = f.recent.isEmpty() ? QHash<QUuid, QString>() : screenNames();
    const QLocale locale;
    for (int i = 0; i < m_recentRows.size(); ++i) {
        auto *row = static_cast<RecentSessionRow *>(m_recentRows[i]);
        if (i >= f.recent.size()) {
            row->hide();
            continue;
        }
        const FocusSession *session = f.recent[i];
        row->name->setText(DisplayText::capped(names.value(session->focusScreenID(), tr("Unknown"))));
        row->day->setText(dayText(session->startTime(), locale));
        const auto duration = session->actualDuration();
        row->duration->setText(duration ? formatDuration(*duration) : QString());
        row->duration->setVisible(duration.has_value());
        row->show();
    }
}

void StatsSettings::applyStreakColor()
{
    if (m_figures.currentStreak >= 1) {
        QPalette orange = m_currentStreak->palette();
        orange.setColor(QPalette::WindowText, TextStyles::orange(palette()));
        m_currentStreak->setPalette(orange);
        m_currentStreak->setForegroundRole(QPalette::WindowText);
    } else {
        m_currentStreak->setPalette(QPalette());
        TextStyles::makeSecondary(m_currentStreak);
    }
}

void StatsSettings::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::PaletteChange && m_currentStreak)
        applyStreakColor();
}

bool StatsSettings::isEmptyStateShown() const
{
    return !m_noSessions->isHidden();
}

QList<StatsSettings::RecentRow> StatsSettings::recentRows() const
{
    QList<RecentRow> rows;
    if (m_recentList->isHidden())
        return rows;
    for (QWidget *widget : m_recentRows) {
        if (widget->isHidden())
            continue;
        const auto *row = static_cast<const RecentSessionRow *>(widget);
        rows.append({row->name->text(), row->day->text(),
                     row->duration->isHidden() ? QString() : row->duration->text()});
    }
    return rows;
}

QString StatsSettings::dayText(const QDateTime &startTime, const QLocale &locale)
{
    // The long date without its weekday ("June 10, 2026", "10 June 2026").
    static const QRegularExpression weekday(QStringLiteral("^\\W*d{4}\\W*|\\W*d{4}\\W*$"));
    QString format = locale.dateFormat(QLocale::LongFormat);
    const QString withoutWeekday = QString(format).remove(weekday).trimmed();
    if (!withoutWeekday.isEmpty() && withoutWeekday.contains(QLatin1Char('y')))
        format = withoutWeekday;
    return locale.toString(startTime.toLocalTime().date(), format);
}

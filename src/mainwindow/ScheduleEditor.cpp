// SPDX-License-Identifier: MIT
#include "ScheduleEditor.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QTimeEdit>
#include <QToolButton>
#include <QVBoxLayout>

ScheduleEditor::ScheduleEditor(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("scheduleEditor"));
    m_layout = new QVBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_add = new QPushButton(tr("Add Schedule"), this);
    m_add->setObjectName(QStringLiteral("addScheduleButton"));
    m_layout->addWidget(m_add, 0, Qt::AlignLeft);
    connect(m_add, &QPushButton::clicked, this, [this] {
        // Weekdays at nine, a starting point to change.
        Schedule schedule;
        schedule.days = 0b0011111;
        schedule.start = QTime(9, 0);
        addRow(schedule);
        report();
    });
}

void ScheduleEditor::setSchedules(const QStringList &stored)
{
    const QList<Schedule> schedules = Schedule::parseAll(stored);
    if (Schedule::parseAll(this->schedules()) == schedules && m_rows.size() == schedules.size())
        return;
    for (const Row &row : std::as_const(m_rows))
        delete row.widget;
    m_rows.clear();
    for (const Schedule &schedule : schedules)
        addRow(schedule);
}

QStringList ScheduleEditor::schedules() const
{
    QStringList out;
    for (const Row &row : m_rows) {
        Schedule schedule;
        for (int day = 1; day <= 7; ++day)
            if (row.days[day - 1]->isChecked())
                schedule.days |= quint8(1u << (day - 1));
        schedule.start = row.start->time();
        if (row.hasEnd->isChecked())
            schedule.end = row.end->time();
        if (schedule.isValid())
            out.append(schedule.toString());
    }
    return out;
}

void ScheduleEditor::addRow(const Schedule &schedule)
{
    Row row;
    row.widget = new QWidget(this);
    row.widget->setObjectName(QStringLiteral("scheduleRow"));
    auto *line = new QHBoxLayout(row.widget);
    line->setContentsMargins(0, 0, 0, 0);
    const QLocale locale;
    for (int day = 1; day <= 7; ++day) {
        auto *toggle = new QToolButton(row.widget);
        toggle->setCheckable(true);
        toggle->setChecked(schedule.runsOn(day));
        toggle->setText(locale.standaloneDayName(day, QLocale::ShortFormat));
        toggle->setToolTip(locale.dayName(day, QLocale::LongFormat));
        toggle->setAccessibleName(locale.dayName(day, QLocale::LongFormat));
        toggle->setObjectName(QStringLiteral("scheduleDay%1").arg(day));
        connect(toggle, &QToolButton::toggled, this, &ScheduleEditor::report);
        line->addWidget(toggle);
        row.days.append(toggle);
    }
    row.start = new QTimeEdit(schedule.start, row.widget);
    row.start->setObjectName(QStringLiteral("scheduleStart"));
    row.start->setDisplayFormat(QStringLiteral("HH:mm"));
    row.start->setAccessibleName(tr("Start"));
    connect(row.start, &QTimeEdit::timeChanged, this, &ScheduleEditor::report);
    line->addSpacing(8);
    line->addWidget(row.start);
    //: Before the time by which a scheduled session stops.
    row.hasEnd = new QCheckBox(tr("Until"), row.widget);
    row.hasEnd->setObjectName(QStringLiteral("scheduleHasEnd"));
    row.hasEnd->setChecked(schedule.end.has_value());
    line->addWidget(row.hasEnd);
    row.end = new QTimeEdit(schedule.end.value_or(schedule.start.addSecs(3600)), row.widget);
    row.end->setObjectName(QStringLiteral("scheduleEnd"));
    row.end->setDisplayFormat(QStringLiteral("HH:mm"));
    row.end->setAccessibleName(tr("End"));
    row.end->setEnabled(schedule.end.has_value());
    connect(row.hasEnd, &QCheckBox::toggled, row.end, &QWidget::setEnabled);
    connect(row.hasEnd, &QCheckBox::toggled, this, &ScheduleEditor::report);
    connect(row.end, &QTimeEdit::timeChanged, this, &ScheduleEditor::report);
    line->addWidget(row.end);
    line->addStretch(1);
    row.remove = new QToolButton(row.widget);
    row.remove->setObjectName(QStringLiteral("removeScheduleButton"));
    row.remove->setText(tr("Remove"));
    QWidget *widget = row.widget;
    connect(row.remove, &QToolButton::clicked, this, [this, widget] {
        removeRow(widget);
        report();
    });
    line->addWidget(row.remove);
    m_layout->insertWidget(m_layout->count() - 1, row.widget);
    m_rows.append(row);
}

void ScheduleEditor::removeRow(QWidget *widget)
{
    m_rows.removeIf([widget](const Row &row) { return row.widget == widget; });
    widget->deleteLater();
    widget->hide();
}

void ScheduleEditor::report()
{
    Q_EMIT schedulesEdited(schedules());
}

QToolButton *ScheduleEditor::dayButton(int row, int isoWeekday) const
{
    return row < m_rows.size() && isoWeekday >= 1 && isoWeekday <= 7 ? m_rows[row].days[isoWeekday - 1]
                                                                     : nullptr;
}

QTimeEdit *ScheduleEditor::startEdit(int row) const
{
    return row < m_rows.size() ? m_rows[row].start : nullptr;
}

QCheckBox *ScheduleEditor::endToggle(int row) const
{
    return row < m_rows.size() ? m_rows[row].hasEnd : nullptr;
}

QTimeEdit *ScheduleEditor::endEdit(int row) const
{
    return row < m_rows.size() ? m_rows[row].end : nullptr;
}

QToolButton *ScheduleEditor::removeButton(int row) const
{
    return row < m_rows.size() ? m_rows[row].remove : nullptr;
}

// SPDX-License-Identifier: MIT
#pragma once

#include "Schedule.h"

#include <QList>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTimeEdit;
class QToolButton;
class QVBoxLayout;

// The "Schedule" rows of the focus screen editor: one row per schedule with
// a toggle per weekday, the start time, an optional end time and a remove
// button, and "Add Schedule" below. Edits are reported as the stored texts
// (Schedule::toString); a row without a weekday is kept on screen but not
// stored until it has one.
class ScheduleEditor : public QWidget
{
    Q_OBJECT
public:
    explicit ScheduleEditor(QWidget *parent = nullptr);

    // Shows the stored schedules (entries that do not parse are left out);
    // reports nothing.
    void setSchedules(const QStringList &stored);
    // What the rows say, as stored.
    QStringList schedules() const;
    int rowCount() const { return int(m_rows.size()); }

    // The parts of a row, for tests and assistive tools.
    QToolButton *dayButton(int row, int isoWeekday) const;
    QTimeEdit *startEdit(int row) const;
    QCheckBox *endToggle(int row) const;
    QTimeEdit *endEdit(int row) const;
    QPushButton *addButton() const { return m_add; }
    QToolButton *removeButton(int row) const;

Q_SIGNALS:
    void schedulesEdited(const QStringList &stored);

private:
    struct Row
    {
        QWidget *widget = nullptr;
        QList<QToolButton *> days;
        QTimeEdit *start = nullptr;
        QCheckBox *hasEnd = nullptr;
        QTimeEdit *end = nullptr;
        QToolButton *remove = nullptr;
    };
    void addRow(const Schedule &schedule);
    void removeRow(QWidget *widget);
    void report();

    QVBoxLayout *m_layout = nullptr;
    QList<Row> m_rows;
    QPushButton *m_add = nullptr;
};

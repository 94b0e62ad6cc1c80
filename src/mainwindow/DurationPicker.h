// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

// The duration row of the focus screen editor: "Duration", then a stepper
// over whole minutes from 1 to 120 whose label reads "25 min". The value is
// kept in seconds; a step stores whole minutes times 60. A length can also be
// typed while the row has the focus ("50", "1h 30m", "1:30"): the typed text
// replaces the label, Return or leaving the row takes it (held in range),
// Escape drops it.
class DurationPicker : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kMinimumMinutes = 1;
    static constexpr int kMaximumMinutes = 120;
    static constexpr int kStepperWidth = 140;

    explicit DurationPicker(QWidget *parent = nullptr);

    double duration() const { return m_duration; }
    // Shows a stored duration; does not report a change.
    void setDuration(double seconds);
    // The minutes shown: the duration divided by 60, truncated toward zero.
    qint64 minutes() const;
    QString minutesText() const;

    void stepUp();
    void stepDown();
    bool canStepUp() const;
    bool canStepDown() const;

    // For assistive tools that set the value: whole minutes, held in range.
    Q_INVOKABLE void applyAccessibleValue(double minutes);

    // Whether a typed length is waiting for Return, and its text.
    bool isTyping() const { return m_typing; }
    QString typedText() const { return m_typed; }

Q_SIGNALS:
    // The user stepped; seconds is the new whole-minute duration.
    void durationEdited(double seconds);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void step(int delta);
    void setMinutes(qint64 minutes);
    void refresh();
    bool typeKey(QKeyEvent *event);
    void commitTyped();
    void cancelTyped();

    double m_duration = 0;
    bool m_typing = false;
    QString m_typed;
    QLabel *m_value;
    QToolButton *m_down;
    QToolButton *m_up;
};

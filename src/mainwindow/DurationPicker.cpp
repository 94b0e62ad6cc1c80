// SPDX-License-Identifier: MIT
#include "DurationPicker.h"

#include "Accessible.h"
#include "DurationFormat.h"
#include "TextStyles.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QToolButton>

#include <algorithm>
#include <cmath>

namespace {
constexpr int kButtonSpacing = 0;
constexpr int kLabelToButtons = 8;
constexpr qreal kFocusRingWidth = 2;
constexpr qreal kFocusRingRadius = 6;
} // namespace

DurationPicker::DurationPicker(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(tr("Duration"));
    setToolTip(tr("Type a length such as 50, 1h 30m or 1:30 and press Return, or use the arrow keys."));
    setAccessibleDescription(toolTip());
    Accessible::setRole(this, QAccessible::SpinBox);
    Accessible::setRange(this, kMinimumMinutes, kMaximumMinutes, 1);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kLabelToButtons);

    auto *title = TextStyles::plainLabel(tr("Duration"), this);
    title->setObjectName(QStringLiteral("durationTitle"));
    row->addWidget(title);
    row->addStretch(1);

    auto *stepper = new QWidget(this);
    stepper->setObjectName(QStringLiteral("durationStepper"));
    stepper->setFixedWidth(kStepperWidth);
    auto *stepperRow = new QHBoxLayout(stepper);
    stepperRow->setContentsMargins(0, 0, 0, 0);
    stepperRow->setSpacing(kButtonSpacing);
    m_value = TextStyles::plainLabel(QString(), stepper);
    m_value->setObjectName(QStringLiteral("durationValue"));
    m_value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    TextStyles::makeSecondary(m_value);
    stepperRow->addWidget(m_value, 1);
    stepperRow->addSpacing(kLabelToButtons);

    m_down = new QToolButton(stepper);
    m_down->setObjectName(QStringLiteral("durationDown"));
    m_down->setText(QStringLiteral("−"));
    m_down->setAccessibleName(tr("Decrement"));
    m_down->setFocusPolicy(Qt::NoFocus);
    m_down->setAutoRepeat(true);
    m_up = new QToolButton(stepper);
    m_up->setObjectName(QStringLiteral("durationUp"));
    m_up->setText(QStringLiteral("+"));
    m_up->setAccessibleName(tr("Increment"));
    m_up->setFocusPolicy(Qt::NoFocus);
    m_up->setAutoRepeat(true);
    stepperRow->addWidget(m_down);
    stepperRow->addWidget(m_up);
    row->addWidget(stepper);

    connect(m_down, &QToolButton::clicked, this, &DurationPicker::stepDown);
    connect(m_up, &QToolButton::clicked, this, &DurationPicker::stepUp);
    refresh();
}

qint64 DurationPicker::minutes() const
{
    return DurationFormat::wholeMinutes(m_duration);
}

QString DurationPicker::minutesText() const
{
    return tr("%1 min").arg(minutes());
}

void DurationPicker::setDuration(double seconds)
{
    if (m_duration == seconds)
        return;
    m_duration = seconds;
    refresh();
}

bool DurationPicker::canStepUp() const
{
    return minutes() < kMaximumMinutes;
}

bool DurationPicker::canStepDown() const
{
    return minutes() > kMinimumMinutes;
}

void DurationPicker::stepUp()
{
    step(1);
}

void DurationPicker::stepDown()
{
    step(-1);
}

void DurationPicker::step(int delta)
{
    if ((delta > 0 && !canStepUp()) || (delta < 0 && !canStepDown()))
        return;
    // A value outside the range (an old record) steps back into it.
    setMinutes(minutes() + delta);
}

// Stores whole minutes, held in range, and reports the change.
void DurationPicker::setMinutes(qint64 minutes)
{
    const double seconds = double(std::clamp<qint64>(minutes, kMinimumMinutes, kMaximumMinutes)) * 60;
    if (seconds == m_duration) {
        refresh();
        return;
    }
    m_duration = seconds;
    refresh();
    Q_EMIT durationEdited(m_duration);
}

void DurationPicker::applyAccessibleValue(double minutes)
{
    if (!std::isfinite(minutes))
        return;
    const qint64 wanted = std::clamp<qint64>(qint64(std::round(std::clamp(minutes, -1e9, 1e9))),
                                             kMinimumMinutes, kMaximumMinutes);
    if (wanted != this->minutes())
        setMinutes(wanted);
}

void DurationPicker::refresh()
{
    m_value->setText(m_typing ? m_typed : minutesText());
    // Typed text reads as text being entered, the value as a quiet label.
    QFont font = m_value->font();
    font.setUnderline(m_typing);
    m_value->setFont(font);
    Accessible::setValue(this, DurationFormat::spokenLength(m_duration), double(minutes()));
    m_down->setEnabled(canStepDown());
    m_up->setEnabled(canStepUp());
}

// Characters of a typed length; a digit starts one.
bool DurationPicker::typeKey(QKeyEvent *event)
{
    if (event->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier))
        return false;
    if (m_typing && event->key() == Qt::Key_Backspace) {
        m_typed.chop(1);
        refresh();
        return true;
    }
    const QString text = event->text();
    if (text.size() != 1 || !text.at(0).isPrint())
        return false;
    if (!m_typing && !text.at(0).isDigit())
        return false;
    static constexpr qsizetype kMaximumTyped = 24;
    if (m_typed.size() < kMaximumTyped)
        m_typed += text;
    m_typing = true;
    refresh();
    return true;
}

void DurationPicker::commitTyped()
{
    if (!m_typing)
        return;
    const std::optional<qint64> typed = DurationFormat::parseMinutes(m_typed);
    m_typing = false;
    m_typed.clear();
    if (typed) {
        setMinutes(*typed);
        return;
    }
    // Not a length: the value stays as it was.
    refresh();
    QApplication::beep();
}

void DurationPicker::cancelTyped()
{
    m_typing = false;
    m_typed.clear();
    refresh();
}

void DurationPicker::focusOutEvent(QFocusEvent *event)
{
    commitTyped();
    QWidget::focusOutEvent(event);
}

void DurationPicker::keyPressEvent(QKeyEvent *event)
{
    if (m_typing && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        commitTyped();
        return;
    }
    if (m_typing && event->key() == Qt::Key_Escape) {
        cancelTyped();
        return;
    }
    if (typeKey(event))
        return;
    commitTyped();
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Plus) {
        stepUp();
        return;
    }
    if (event->key() == Qt::Key_Down || event->key() == Qt::Key_Minus) {
        stepDown();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DurationPicker::paintEvent(QPaintEvent *)
{
    if (!hasFocus())
        return;
    // The focus ring: the accent around the whole row.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(palette().color(QPalette::Highlight), kFocusRingWidth));
    const qreal half = kFocusRingWidth / 2;
    p.drawRoundedRect(QRectF(rect()).adjusted(half, half, -half, -half), kFocusRingRadius, kFocusRingRadius);
}

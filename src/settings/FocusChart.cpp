// SPDX-License-Identifier: MIT
#include "FocusChart.h"

#include "Accessible.h"
#include "DurationFormat.h"
#include "SettingsStyle.h"
#include "TextStyles.h"

#include <QHelpEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>

#include <algorithm>

namespace {
constexpr int kPreferredWidth = 440;
constexpr int kMinimumWidth = 240;
constexpr qreal kGuideOpacity = 0.15;
constexpr qreal kEmptyOpacity = 0.25;
constexpr int kScaleGap = 2;
} // namespace

FocusChart::FocusChart(QWidget *parent) : QWidget(parent), m_locale(QLocale())
{
    setObjectName(QStringLiteral("focusChart"));
    setFixedHeight(kHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    Accessible::setRole(this, QAccessible::Chart);
    updateAccessibleText();
}

void FocusChart::setDays(const QList<Statistics::DayTotal> &days)
{
    const bool same = days.size() == m_days.size() &&
                      std::equal(days.begin(), days.end(), m_days.begin(), [](const auto &a, const auto &b) {
                          return a.day == b.day && a.minutes == b.minutes;
                      });
    if (same)
        return;
    m_days = days;
    updateAccessibleText();
    update();
}

void FocusChart::setLocale(const QLocale &locale)
{
    m_locale = locale;
    updateAccessibleText();
    update();
}

QSize FocusChart::sizeHint() const
{
    return {kPreferredWidth, kHeight};
}

QSize FocusChart::minimumSizeHint() const
{
    return {kMinimumWidth, kHeight};
}

QString FocusChart::dayLabel(const QDate &day, int width) const
{
    const QFontMetrics metrics(TextStyles::caption(font()));
    const QString shortName = m_locale.standaloneDayName(day.dayOfWeek(), QLocale::ShortFormat);
    if (metrics.horizontalAdvance(shortName) <= width)
        return shortName;
    return m_locale.standaloneDayName(day.dayOfWeek(), QLocale::NarrowFormat);
}

QRectF FocusChart::plotArea() const
{
    const QFontMetrics caption(TextStyles::caption(font()));
    // The scale line on top, the day labels at the bottom.
    return QRectF(rect()).adjusted(0, caption.height() + kScaleGap, 0, -(caption.height() + kLabelGap));
}

QRectF FocusChart::barSlot(int index) const
{
    if (index < 0 || index >= m_days.size())
        return {};
    const QRectF plot = plotArea();
    const qreal column = plot.width() / qreal(m_days.size());
    return {plot.left() + column * index + kBarGap / 2.0, plot.top(), std::max(1.0, column - kBarGap),
            plot.height()};
}

int FocusChart::barAt(const QPoint &pos) const
{
    for (int i = 0; i < m_days.size(); ++i) {
        const QRectF slot = barSlot(i);
        if (pos.x() >= slot.left() - kBarGap / 2.0 && pos.x() < slot.right() + kBarGap / 2.0 &&
            pos.y() >= 0 && pos.y() < height())
            return i;
    }
    return -1;
}

QString FocusChart::describe(const Statistics::DayTotal &day) const
{
    return QStringLiteral("%1: %2").arg(m_locale.toString(day.day, QLocale::ShortFormat),
                                        DurationFormat::focusTotal(day.minutes * 60.0));
}

void FocusChart::updateAccessibleText()
{
    setAccessibleName(tr("Focus time per day"));
    QStringList parts;
    for (const auto &day : std::as_const(m_days))
        parts.append(describe(day));
    setAccessibleDescription(parts.join(QStringLiteral(", ")));
}

bool FocusChart::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const int index = barAt(help->pos());
        if (index >= 0)
            QToolTip::showText(help->globalPos(), describe(m_days[index]), this, barSlot(index).toRect());
        else
            QToolTip::hideText();
        return true;
    }
    return QWidget::event(event);
}

void FocusChart::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor text = palette().color(QPalette::WindowText);
    const QColor secondary = palette().color(QPalette::PlaceholderText);
    const QColor accent = palette().color(QPalette::Highlight);
    const QFont caption = TextStyles::caption(font());
    const QFontMetrics metrics(caption);
    p.setFont(caption);

    const QRectF plot = plotArea();
    double most = 0;
    for (const auto &day : std::as_const(m_days))
        most = std::max(most, day.minutes);

    // The scale: a faint line at the tallest bar, labelled with its time.
    QColor guide = text;
    guide.setAlphaF(kGuideOpacity);
    p.setPen(QPen(guide, 1));
    p.drawLine(QPointF(plot.left(), plot.top() + 0.5), QPointF(plot.right(), plot.top() + 0.5));
    p.drawLine(QPointF(plot.left(), plot.bottom() - 0.5), QPointF(plot.right(), plot.bottom() - 0.5));
    p.setPen(secondary);
    p.drawText(QRectF(0, 0, width(), metrics.height()), Qt::AlignRight | Qt::AlignVCenter,
               DurationFormat::focusTotal(most * 60.0));

    QColor empty = text;
    empty.setAlphaF(kEmptyOpacity);
    const QDate today = m_days.isEmpty() ? QDate() : m_days.last().day;
    for (int i = 0; i < m_days.size(); ++i) {
        const auto &day = m_days[i];
        const QRectF slot = barSlot(i);
        p.setPen(Qt::NoPen);
        if (day.minutes > 0 && most > 0) {
            const qreal h = std::max<qreal>(kEmptyBarHeight, slot.height() * (day.minutes / most));
            const QRectF bar(slot.left(), slot.bottom() - h, slot.width(), h);
            QPainterPath path;
            path.addRoundedRect(bar, std::min(kBarRadius, h / 2), std::min(kBarRadius, h / 2));
            p.fillPath(path, accent);
        } else {
            p.fillRect(QRectF(slot.left(), slot.bottom() - kEmptyBarHeight, slot.width(), kEmptyBarHeight),
                       empty);
        }
        QFont labelFont = caption;
        labelFont.setBold(day.day == today);
        p.setFont(labelFont);
        p.setPen(day.day == today ? text : secondary);
        const QRectF labelRect(slot.left() - kBarGap / 2.0, plot.bottom() + kLabelGap, slot.width() + kBarGap,
                               metrics.height());
        p.drawText(labelRect, Qt::AlignHCenter | Qt::AlignTop, dayLabel(day.day, int(labelRect.width())));
    }
}

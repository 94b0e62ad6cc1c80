// SPDX-License-Identifier: MIT
#include "AccentSwatch.h"

#include <QConicalGradient>
#include <QPainter>

namespace {

// The colour wheel of the system theme, clockwise from the right-hand side.
constexpr QRgb kWheel[] = {0xFF0000, 0xFF8000, 0xFFFF00, 0x00C000, 0x0000FF, 0x8000FF, 0xFF40C0, 0xFF0000};

QBrush fill(const Theme &theme, const QRectF &circle)
{
    if (theme.isSystem()) {
        // Qt's conical gradient runs counter-clockwise; the wheel runs
        // clockwise, so its colours go in from the far end.
        QConicalGradient wheel(circle.center(), 0);
        constexpr int last = int(std::size(kWheel)) - 1;
        for (int i = 0; i <= last; ++i)
            wheel.setColorAt(1.0 - qreal(i) / last, QColor::fromRgb(kWheel[i]));
        return wheel;
    }
    return QColor::fromRgb(theme.shades->base);
}

} // namespace

AccentSwatch::AccentSwatch(Theme theme, bool selected, std::function<void()> choose, QWidget *parent)
    : QAbstractButton(parent), m_theme(std::move(theme)), m_choose(std::move(choose))
{
    setObjectName(QStringLiteral("swatch-") + m_theme.id);
    setCheckable(true);
    // One choice among its sibling swatches: a radio button to assistive
    // tools, and the arrow keys move the choice along the row.
    setAutoExclusive(true);
    setFixedSize(kDiameter, kDiameter);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::StrongFocus);
    setToolTip(m_theme.displayName());
    setAccessibleName(m_theme.displayName());
    setSelected(selected);
    connect(this, &QAbstractButton::clicked, this, [this] {
        if (m_choose)
            m_choose();
    });
}

void AccentSwatch::setSelected(bool selected)
{
    // The checked state carries the "selected" trait to accessibility. The
    // chosen swatch of the row stays checked until another one is.
    setChecked(selected);
    if (selected == m_selected)
        return;
    m_selected = selected;
    update();
}

QColor AccentSwatch::dotColor(const Theme &theme)
{
    return theme.darkText ? QColor::fromRgb(kDarkDot) : QColor(Qt::white);
}

QSize AccentSwatch::sizeHint() const
{
    return {kDiameter, kDiameter};
}

bool AccentSwatch::hitButton(const QPoint &pos) const
{
    const QPointF d = QPointF(pos) + QPointF(0.5, 0.5) - QRectF(rect()).center();
    const qreal r = kDiameter / 2.0;
    return d.x() * d.x() + d.y() * d.y() <= r * r;
}

void AccentSwatch::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF circle(0, 0, kDiameter, kDiameter);
    p.setPen(Qt::NoPen);
    p.setBrush(fill(m_theme, circle));
    p.drawEllipse(circle);

    if (m_selected) {
        const qreal inset = (kDiameter - kDotDiameter) / 2.0;
        p.setBrush(dotColor(m_theme));
        p.drawEllipse(circle.adjusted(inset, inset, -inset, -inset));
    }

    QColor ring = palette().color(QPalette::WindowText);
    ring.setAlphaF(kRingOpacity);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(ring, kRingWidth));
    const qreal half = kRingWidth / 2;
    p.drawEllipse(circle.adjusted(half, half, -half, -half));

    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), kFocusRingWidth));
        const qreal focusHalf = kFocusRingWidth / 2;
        p.drawEllipse(circle.adjusted(focusHalf, focusHalf, -focusHalf, -focusHalf));
    }
}

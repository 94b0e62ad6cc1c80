// SPDX-License-Identifier: MIT
#include "ProminentButton.h"

#include <QPainter>
#include <QPainterPath>

namespace {
constexpr int kPressedDarker = 120;
constexpr int kHoverLighter = 108;
constexpr qreal kFocusRingWidth = 2;
} // namespace

ProminentButton::ProminentButton(const QString &text, QWidget *parent) : QPushButton(text, parent)
{
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ProminentButton::sizeHint() const
{
    const QFontMetrics fm(font());
    return {fm.horizontalAdvance(text()) + 2 * kHorizontalPadding, fm.height() + 2 * kVerticalPadding};
}

void ProminentButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QColor fill = palette().color(QPalette::Highlight);
    if (!isEnabled())
        fill.setAlphaF(0.4f);
    else if (isDown())
        fill = fill.darker(kPressedDarker);
    else if (underMouse())
        fill = fill.lighter(kHoverLighter);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), kCornerRadius, kCornerRadius);
    p.fillPath(shape, fill);
    if (hasFocus()) {
        QColor ring = palette().color(QPalette::Highlight);
        ring.setAlphaF(0.5f);
        p.setPen(QPen(ring, kFocusRingWidth));
        p.drawPath(shape);
    }
    p.setPen(palette().color(QPalette::HighlightedText));
    p.drawText(rect(), Qt::AlignCenter, text());
}

// SPDX-License-Identifier: MIT
#include "OverlayButton.h"

#include "OverlayStyle.h"
#include "Symbols.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QPainter>

namespace {
// Focus ring drawn around the button when it has keyboard focus.
constexpr qreal kFocusRingWidth = 2;
} // namespace

OverlayButton::OverlayButton(const QString &symbol, const QString &text, const Look &look, QWidget *parent)
    : QAbstractButton(parent), m_symbol(symbol), m_look(look)
{
    setText(text);
    setFont(OverlayStyle::textFont(OverlayStyle::kButtonTextSize, QFont::Medium));
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

int OverlayButton::iconSize() const
{
    // The symbol sits in the text's line like a glyph of the same font.
    return QFontMetrics(font()).height();
}

QSize OverlayButton::sizeHint() const
{
    const QFontMetrics fm(font());
    const int width = iconSize() + m_look.iconSpacing + fm.horizontalAdvance(text());
    const int height = std::max(iconSize(), fm.height());
    return {width + 2 * m_look.marginH, height + 2 * m_look.marginV};
}

void OverlayButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        p.setOpacity(OverlayStyle::kDisabledOpacity);
    else if (isDown())
        p.setOpacity(OverlayStyle::kPressedOpacity);

    const QColor c = m_look.color;
    QColor fill = c;
    fill.setAlphaF(float(OverlayStyle::kButtonFillOpacity));
    QColor border = c;
    border.setAlphaF(float(OverlayStyle::kButtonBorderOpacity));

    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(border, OverlayStyle::kBorderWidth));
    p.setBrush(fill);
    p.drawRoundedRect(r, OverlayStyle::kButtonRadius, OverlayStyle::kButtonRadius);
    if (hasFocus() && m_keyboardFocus) {
        p.setPen(QPen(c, kFocusRingWidth));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(r, OverlayStyle::kButtonRadius, OverlayStyle::kButtonRadius);
    }

    // Icon and text centred as one line.
    const QFontMetrics fm(font());
    const int icon = iconSize();
    const int contentWidth = icon + m_look.iconSpacing + fm.horizontalAdvance(text());
    const int x = (width() - contentWidth) / 2;
    const QRect iconRect(x, (height() - icon) / 2, icon, icon);
    Symbols::icon(m_symbol, c).paint(&p, iconRect);
    p.setPen(c);
    p.setFont(font());
    const QRect textRect(iconRect.right() + 1 + m_look.iconSpacing, 0, fm.horizontalAdvance(text()) + 1,
                         height());
    p.drawText(textRect, Qt::AlignVCenter | Qt::AlignLeft, text());
}

void OverlayButton::focusInEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    m_keyboardFocus =
        reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason;
    QAbstractButton::focusInEvent(event);
}

void OverlayButton::focusOutEvent(QFocusEvent *event)
{
    m_keyboardFocus = false;
    QAbstractButton::focusOutEvent(event);
}

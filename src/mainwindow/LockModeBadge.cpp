// SPDX-License-Identifier: MIT
#include "LockModeBadge.h"

#include "Accessible.h"
#include "Symbols.h"
#include "ThemeStore.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>

LockModeBadge::LockModeBadge(LockMode mode, ThemeStore *themes, QWidget *parent)
    : QWidget(parent), m_mode(mode), m_themes(themes)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    Accessible::setRole(this, QAccessible::StaticText);
    setAccessibleName(text());
}

void LockModeBadge::setMode(LockMode mode)
{
    if (m_mode == mode)
        return;
    m_mode = mode;
    setAccessibleName(text());
    updateGeometry();
    update();
}

QString LockModeBadge::text() const
{
    return displayName(m_mode);
}

QColor LockModeBadge::textColor(const ThemeStore *themes, const QPalette &palette)
{
    return themes ? themes->accentText(palette) : palette.color(QPalette::Highlight);
}

QFont LockModeBadge::badgeFont(const QFont &base)
{
    QFont f = base;
    if (f.pointSizeF() > 0)
        f.setPointSizeF(std::max(1.0, f.pointSizeF() - kFontShrink));
    f.setWeight(QFont::Medium);
    return f;
}

QSize LockModeBadge::sizeFor(LockMode mode, const QFont &base)
{
    const QFontMetrics fm(badgeFont(base));
    const int iconSide = fm.height() - 2;
    const int textWidth = fm.horizontalAdvance(displayName(mode));
    return {2 * kHorizontalInset + iconSide + kIconSpacing + textWidth, 2 * kVerticalInset + fm.height()};
}

void LockModeBadge::paint(QPainter &painter, const QRect &rect, LockMode mode, const QFont &base,
                          const QColor &accent, const QColor &textColor)
{
    const QFont f = badgeFont(base);
    const QFontMetrics fm(f);
    const QSize size = sizeFor(mode, base);
    const QRectF capsule(rect.topLeft(), size);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = accent;
    fill.setAlphaF(float(kBackgroundOpacity));
    QPainterPath path;
    path.addRoundedRect(capsule, capsule.height() / 2, capsule.height() / 2);
    painter.fillPath(path, fill);

    const int iconSide = fm.height() - 2;
    const qreal dpr = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QPixmap glyph = Symbols::pixmap(icon(mode), iconSide, textColor, dpr);
    const QPointF iconAt(capsule.left() + kHorizontalInset,
                         capsule.top() + (capsule.height() - iconSide) / 2);
    painter.drawPixmap(iconAt, glyph);

    painter.setFont(f);
    painter.setPen(textColor);
    const QRectF textRect(iconAt.x() + iconSide + kIconSpacing, capsule.top() + kVerticalInset,
                          fm.horizontalAdvance(displayName(mode)) + 1, fm.height());
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignVCenter, displayName(mode));
    painter.restore();
}

QSize LockModeBadge::sizeHint() const
{
    return sizeFor(m_mode, font());
}

void LockModeBadge::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paint(p, QRect(QPoint(0, (height() - sizeHint().height()) / 2), sizeHint()), m_mode, font(),
          palette().color(QPalette::Highlight), textColor(m_themes, palette()));
}

void LockModeBadge::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateGeometry();
    QWidget::changeEvent(event);
}

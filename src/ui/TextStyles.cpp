// SPDX-License-Identifier: MIT
#include "TextStyles.h"

#include "DynamicColor.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QPalette>

#include <algorithm>

namespace {
constexpr qreal kCaptionShrink = 1.0;
constexpr qreal kSubheadlineShrink = 0.5;
constexpr qreal kTitleGrowth = 1.35;
constexpr qreal kPanelTitleGrowth = 1.5;
constexpr qreal kTitle3Growth = 1.6;
constexpr qreal kMinimumPointSize = 6;

QFont scaled(const QFont &base, qreal factor)
{
    QFont f = base;
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * factor);
    else
        f.setPixelSize(int(f.pixelSize() * factor));
    return f;
}

// Smaller by some points, never below the smallest legible size.
QFont shrunk(const QFont &base, qreal points)
{
    QFont f = base;
    if (f.pointSizeF() > 0)
        f.setPointSizeF(std::max(kMinimumPointSize, f.pointSizeF() - points));
    return f;
}
} // namespace

namespace TextStyles {

QFont headline(const QFont &base)
{
    QFont f = base;
    f.setWeight(QFont::DemiBold);
    return f;
}

QFont caption(const QFont &base)
{
    return shrunk(base, kCaptionShrink);
}

QFont monospacedCaption(const QFont &base)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFont size = caption(base);
    if (size.pointSizeF() > 0)
        f.setPointSizeF(size.pointSizeF());
    return f;
}

QFont subheadline(const QFont &base)
{
    return shrunk(base, kSubheadlineShrink);
}

QFont title(const QFont &base)
{
    QFont f = scaled(base, kTitleGrowth);
    f.setWeight(QFont::Bold);
    return f;
}

QFont panelTitle(const QFont &base)
{
    QFont f = scaled(base, kPanelTitleGrowth);
    f.setWeight(QFont::Bold);
    return f;
}

int title3SymbolSize(const QFont &base)
{
    return QFontMetrics(scaled(base, kTitle3Growth)).height();
}

QColor secondary(const QPalette &palette)
{
    return palette.color(QPalette::PlaceholderText);
}

QColor orange(const QPalette &palette)
{
    return DynamicColor(0xFF9500, 0xFF9F0A).resolve(palette);
}

QColor green(const QPalette &palette)
{
    return DynamicColor(0x28A745, 0x30D158).resolve(palette);
}

void makePlain(QLabel *label)
{
    label->setTextFormat(Qt::PlainText);
}

QLabel *plainLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(parent);
    makePlain(label);
    label->setText(text);
    return label;
}

void makeCaption(QLabel *label)
{
    makePlain(label);
    label->setFont(caption(label->font()));
    label->setWordWrap(true);
    makeSecondary(label);
}

QLabel *captionLabel(const QString &text, QWidget *parent)
{
    QLabel *label = plainLabel(text, parent);
    makeCaption(label);
    return label;
}

void makeSecondary(QWidget *widget)
{
    widget->setForegroundRole(QPalette::PlaceholderText);
}

} // namespace TextStyles

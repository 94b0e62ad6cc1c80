// SPDX-License-Identifier: MIT
#include "OverlayStyle.h"

#include <QFontDatabase>
#include <QPalette>

namespace OverlayStyle {

namespace {
// The system red, orange and blue as drawn on dark surfaces.
constexpr QRgb kRed = 0xFF453A;
constexpr QRgb kOrange = 0xFF9F0A;
constexpr QRgb kAccent = 0x0A84FF;
} // namespace

QColor white(qreal opacity)
{
    return QColor::fromRgbF(1, 1, 1, float(opacity));
}

QColor secondaryText()
{
    return white(kSecondaryOpacity);
}

QColor tertiaryText()
{
    return white(kTertiaryOpacity);
}

QColor red()
{
    return QColor(kRed);
}

QColor orange()
{
    return QColor(kOrange);
}

QColor defaultAccent()
{
    return QColor(kAccent);
}

QFont textFont(int pixelSize, QFont::Weight weight)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    return f;
}

QFont monospacedFont(int pixelSize, QFont::Weight weight)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setStyleHint(QFont::Monospace);
    f.setPixelSize(pixelSize);
    f.setWeight(weight);
    return f;
}

void setTextColor(QWidget *widget, const QColor &color)
{
    QPalette pal = widget->palette();
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::Text, color);
    pal.setColor(QPalette::ButtonText, color);
    widget->setPalette(pal);
}

} // namespace OverlayStyle

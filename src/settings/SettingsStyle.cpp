#include "SettingsStyle.h"

#include "Appearance.h"

#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>

namespace SettingsStyle {

namespace {
constexpr qreal kCaptionScale = 0.85;
constexpr qreal kSubheadlineScale = 0.95;

constexpr QRgb kOrangeLight = 0xFF9500;
constexpr QRgb kOrangeDark = 0xFF9F0A;
constexpr QRgb kGreenLight = 0x28A745;
constexpr QRgb kGreenDark = 0x30D158;

QFont scaled(QFont f, qreal scale)
{
    if (f.pointSizeF() > 0)
        f.setPointSizeF(f.pointSizeF() * scale);
    else if (f.pixelSize() > 0)
        f.setPixelSize(std::max(1, qRound(f.pixelSize() * scale)));
    return f;
}

bool isDark(const QPalette &palette)
{
    return Appearance::kindOf(palette) == AppearanceKind::dark;
}
} // namespace

QFont caption(const QFont &base)
{
    return scaled(base, kCaptionScale);
}

QFont subheadline(const QFont &base)
{
    return scaled(base, kSubheadlineScale);
}

QFont headline(const QFont &base)
{
    QFont f = base;
    f.setWeight(QFont::Bold);
    return f;
}

QFont semibold(const QFont &base)
{
    QFont f = base;
    f.setWeight(QFont::DemiBold);
    return f;
}

QFont monospacedCaption(const QFont &base)
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QFont size = caption(base);
    if (size.pointSizeF() > 0)
        f.setPointSizeF(size.pointSizeF());
    return f;
}

void makeSecondary(QWidget *label)
{
    // The placeholder colour is the text colour at half strength in both
    // the light and the dark palette, and follows palette changes.
    label->setForegroundRole(QPalette::PlaceholderText);
}

QLabel *captionLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFont(caption(label->font()));
    label->setWordWrap(true);
    makeSecondary(label);
    return label;
}

QColor orange(const QPalette &palette)
{
    return QColor::fromRgb(isDark(palette) ? kOrangeDark : kOrangeLight);
}

QColor green(const QPalette &palette)
{
    return QColor::fromRgb(isDark(palette) ? kGreenDark : kGreenLight);
}

QGroupBox *section(const QString &title, QWidget *parent)
{
    auto *box = new QGroupBox(title, parent);
    return box;
}

} // namespace SettingsStyle

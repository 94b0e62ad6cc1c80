// SPDX-License-Identifier: MIT
#include "Theme.h"

#include "Appearance.h"

#include <QCoreApplication>
#include <QPalette>

namespace {

struct ThemeRow
{
    const char *id;
    const char *name;
    std::optional<Theme::Shades> shades;
    bool darkText;
};

constexpr ThemeRow kThemes[] = {
    {Theme::kSystemID, QT_TRANSLATE_NOOP("Theme", "System"), std::nullopt, false},
    {"blue", QT_TRANSLATE_NOOP("Theme", "Blue"), Theme::Shades{0x7CC0FF, 0x0A84FF, 0x0064D2}, false},
    {"indigo", QT_TRANSLATE_NOOP("Theme", "Indigo"), Theme::Shades{0xA5ADFF, 0x5E6AD2, 0x4650B8}, false},
    {"violet", QT_TRANSLATE_NOOP("Theme", "Violet"), Theme::Shades{0xB9A6FF, 0x7B5CFF, 0x6342E6}, false},
    {"pink", QT_TRANSLATE_NOOP("Theme", "Pink"), Theme::Shades{0xFF9CCB, 0xE84A93, 0xC0306F}, false},
    {"red", QT_TRANSLATE_NOOP("Theme", "Red"), Theme::Shades{0xFF8A9A, 0xE11D48, 0xBE123C}, false},
    {"orange", QT_TRANSLATE_NOOP("Theme", "Orange"), Theme::Shades{0xFFB87A, 0xF97316, 0xC2410C}, false},
    {"yellow", QT_TRANSLATE_NOOP("Theme", "Yellow"), Theme::Shades{0xFFE17A, 0xF5B800, 0x946800}, true},
    {"mint", QT_TRANSLATE_NOOP("Theme", "Mint"), Theme::Shades{0x8EEBC4, 0x2BC48A, 0x0F7A55}, true},
    {"teal", QT_TRANSLATE_NOOP("Theme", "Teal"), Theme::Shades{0x8BE9F5, 0x06B6D4, 0x0E7490}, true},
    {"graphite", QT_TRANSLATE_NOOP("Theme", "Graphite"), Theme::Shades{0xC7C7CC, 0x7C7C84, 0x55555C}, false},
};

} // namespace

const QList<Theme> &Theme::all()
{
    static const QList<Theme> themes = [] {
        QList<Theme> out;
        for (const auto &row : kThemes)
            out.append(
                Theme{QString::fromLatin1(row.id), QString::fromLatin1(row.name), row.shades, row.darkText});
        return out;
    }();
    return themes;
}

QString Theme::displayName() const
{
    return QCoreApplication::translate("Theme", name.toUtf8().constData());
}

const Theme &Theme::system()
{
    return all().first();
}

const Theme &Theme::forID(QStringView id)
{
    for (const Theme &theme : all())
        if (theme.id == id)
            return theme;
    return system();
}

QColor Theme::accent(const QColor &systemAccent) const
{
    if (!shades)
        return systemAccent;
    return QColor::fromRgb(shades->base);
}

std::optional<DynamicColor> Theme::accentTextColor() const
{
    if (!shades)
        return std::nullopt;
    return DynamicColor(shades->deep, shades->light);
}

QColor Theme::accentText(AppearanceKind kind, const QColor &systemAccent) const
{
    if (const auto color = accentTextColor())
        return color->resolve(kind);
    return systemAccent;
}

QColor Theme::accentText(const QPalette &palette, const QColor &systemAccent) const
{
    return accentText(Appearance::kindOf(palette), systemAccent);
}

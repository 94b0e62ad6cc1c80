// SPDX-License-Identifier: MIT
#pragma once

#include "AppearanceKind.h"
#include "DynamicColor.h"

#include <QColor>
#include <QList>
#include <QString>

#include <optional>

class QPalette;

// One accent colour the user can choose. A plain value, compared field by
// field; `id` is what the user defaults store.
struct Theme
{
    // Three opaque sRGB colours, 0xRRGGBB.
    struct Shades
    {
        quint32 light = 0; // the pale shade
        quint32 base = 0;  // the accent itself
        quint32 deep = 0;  // the dark shade
        bool operator==(const Shades &) const = default;
    };

    static constexpr const char *kSystemID = "system";

    QString id;
    QString name; // English; displayName() is the one shown
    // Absent only for the system theme, which follows the desktop's accent.
    std::optional<Shades> shades;
    // Text drawn on `base` must be dark rather than white.
    bool darkText = false;

    bool operator==(const Theme &) const = default;

    // The name in the user's language.
    QString displayName() const;

    bool isSystem() const { return !shades.has_value(); }

    // The eleven themes in display order, the system theme first.
    static const QList<Theme> &all();
    static const Theme &system();
    // The first theme whose id equals `id` exactly; the system theme when
    // none does (a stored id from another version, a mistyped APP_ACCENT).
    static const Theme &forID(QStringView id);

    // The system theme follows the desktop: its colours are `systemAccent`,
    // the desktop's accent as the program's Appearance knows it.

    // Filled accents: `systemAccent` for the system theme, else `base`.
    QColor accent(const QColor &systemAccent) const;
    // Accent-coloured text and symbols: `systemAccent` for the system theme,
    // else `deep` in the light appearances and `light` in the dark ones (see
    // accentTextColor()).
    QColor accentText(AppearanceKind kind, const QColor &systemAccent) const;
    // The same in a view's appearance.
    QColor accentText(const QPalette &palette, const QColor &systemAccent) const;
    // The dynamic colour behind accentText(); nothing for the system theme.
    std::optional<DynamicColor> accentTextColor() const;
};

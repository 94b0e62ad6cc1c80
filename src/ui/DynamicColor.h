// SPDX-License-Identifier: MIT
#pragma once

#include "AppearanceKind.h"

#include <QColor>

#include <optional>

class QPalette;

// A colour with a value per appearance (0xRRGGBB, opaque sRGB). The
// high-contrast values fall back to the plain light and dark ones.
class DynamicColor
{
public:
    DynamicColor(quint32 light, quint32 dark, std::optional<quint32> highContrastLight = std::nullopt,
                 std::optional<quint32> highContrastDark = std::nullopt);

    QColor resolve(AppearanceKind kind) const;
    // In the appearance of a view drawn with `palette`.
    QColor resolve(const QPalette &palette) const;

    bool operator==(const DynamicColor &) const = default;

private:
    quint32 m_light;
    quint32 m_dark;
    std::optional<quint32> m_highContrastLight;
    std::optional<quint32> m_highContrastDark;
};

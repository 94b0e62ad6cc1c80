// SPDX-License-Identifier: MIT
#include "DynamicColor.h"

#include "Appearance.h"

DynamicColor::DynamicColor(quint32 light, quint32 dark, std::optional<quint32> highContrastLight,
                           std::optional<quint32> highContrastDark)
    : m_light(light), m_dark(dark), m_highContrastLight(highContrastLight),
      m_highContrastDark(highContrastDark)
{}

QColor DynamicColor::resolve(AppearanceKind kind) const
{
    quint32 rgb = m_light;
    switch (kind) {
    case AppearanceKind::light:
        rgb = m_light;
        break;
    case AppearanceKind::dark:
        rgb = m_dark;
        break;
    case AppearanceKind::highContrastLight:
        rgb = m_highContrastLight.value_or(m_light);
        break;
    case AppearanceKind::highContrastDark:
        rgb = m_highContrastDark.value_or(m_dark);
        break;
    }
    return QColor::fromRgb(rgb);
}

QColor DynamicColor::resolve(const QPalette &palette) const
{
    return resolve(Appearance::kindOf(palette));
}

// SPDX-License-Identifier: MIT
#include "Appearance.h"

#include "AppStyle.h"

#include <QApplication>
#include <QEvent>
#include <QStyle>
#include <QStyleFactory>

#include <memory>

namespace {

constexpr int kDarkLightnessLimit = 128;
const QString kStyleName = QStringLiteral("Fusion");

// The dark Fusion palette.
constexpr QRgb kDarkWindow = 0x353535;
constexpr QRgb kDarkBase = 0x2A2A2A;
constexpr QRgb kDarkAlternateBase = 0x323232;
constexpr QRgb kDarkText = 0xF0F0F0;
constexpr QRgb kDarkDisabledText = 0x7F7F7F;
constexpr QRgb kDarkLight = 0x505050;
constexpr QRgb kDarkMidlight = 0x424242;
constexpr QRgb kDarkMid = 0x2A2A2A;
constexpr QRgb kDarkDark = 0x232323;
constexpr QRgb kDarkShadow = 0x141414;
constexpr QRgb kDarkDisabledHighlight = 0x505050;
constexpr QRgb kDarkBrightText = 0xFF6060;
constexpr int kPlaceholderAlpha = 128;
// How much lighter links are drawn on dark backgrounds.
constexpr int kDarkLinkLighter = 140;

void setAccent(QPalette &palette, const QColor &accent, const QColor &link)
{
    for (const auto group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::Highlight, accent);
        palette.setColor(group, QPalette::Link, link);
        palette.setColor(group, QPalette::LinkVisited, link);
    }
}

} // namespace

Appearance::Appearance(QObject *parent) : QObject(parent), m_desktopPalette(QGuiApplication::palette())
{
    Q_ASSERT_X(qobject_cast<QGuiApplication *>(QCoreApplication::instance()), "Appearance",
               "needs a QGuiApplication");
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

QPalette Appearance::lightPalette(const QColor &accent)
{
    const std::unique_ptr<QStyle> fusion(QStyleFactory::create(kStyleName));
    QPalette palette = fusion ? fusion->standardPalette() : QPalette();
    setAccent(palette, accent, accent);
    return palette;
}

QPalette Appearance::darkPalette(const QColor &accent)
{
    const QColor window = QColor::fromRgb(kDarkWindow);
    const QColor text = QColor::fromRgb(kDarkText);
    QPalette palette(text, window, QColor::fromRgb(kDarkLight), QColor::fromRgb(kDarkDark),
                     QColor::fromRgb(kDarkMid), text, QColor::fromRgb(kDarkBrightText),
                     QColor::fromRgb(kDarkBase), window);
    palette.setColor(QPalette::Midlight, QColor::fromRgb(kDarkMidlight));
    palette.setColor(QPalette::Shadow, QColor::fromRgb(kDarkShadow));
    palette.setColor(QPalette::AlternateBase, QColor::fromRgb(kDarkAlternateBase));
    palette.setColor(QPalette::ToolTipBase, window);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    QColor placeholder = text;
    placeholder.setAlpha(kPlaceholderAlpha);
    palette.setColor(QPalette::PlaceholderText, placeholder);
    const QColor disabled = QColor::fromRgb(kDarkDisabledText);
    for (const auto role :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::HighlightedText})
        palette.setColor(QPalette::Disabled, role, disabled);
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor::fromRgb(kDarkDisabledHighlight));
    setAccent(palette, accent, accent.lighter(kDarkLinkLighter));
    return palette;
}

AppearanceKind Appearance::kindOf(const QPalette &palette)
{
    return palette.color(QPalette::Window).lightness() < kDarkLightnessLimit ? AppearanceKind::dark
                                                                             : AppearanceKind::light;
}

void Appearance::setDesktopPalette(const QPalette &palette)
{
    const AppearanceKind oldKind = kind();
    const QColor oldAccent = systemAccent();
    m_desktopPalette = palette;
    if (m_installed)
        applyToApplication();
    if (kind() != oldKind || systemAccent() != oldAccent)
        Q_EMIT changed();
}

std::optional<QColor> Appearance::desktopAccent() const
{
    const QColor highlight = m_desktopPalette.color(QPalette::Active, QPalette::Highlight);
    if (highlight.rgb() == (kStockHighlight | 0xFF000000u))
        return std::nullopt;
    return highlight;
}

QColor Appearance::systemAccent() const
{
    return desktopAccent().value_or(QColor::fromRgb(kStockHighlight));
}

void Appearance::followColorScheme(DesktopColorScheme *scheme)
{
    if (m_scheme)
        disconnect(m_scheme, nullptr, this, nullptr);
    m_scheme = scheme;
    if (scheme) {
        connect(scheme, &DesktopColorScheme::preferenceChanged, this,
                [this, scheme] { setPreference(scheme->preference()); });
        // A scheme that goes away leaves the palette to decide.
        connect(scheme, &QObject::destroyed, this,
                [this] { setPreference(DesktopColorScheme::Preference::none); });
    }
    setPreference(scheme ? scheme->preference() : DesktopColorScheme::Preference::none);
}

void Appearance::setPreference(DesktopColorScheme::Preference preference)
{
    if (preference == m_preference)
        return;
    const AppearanceKind oldKind = kind();
    m_preference = preference;
    if (m_installed)
        applyToApplication();
    if (kind() != oldKind)
        Q_EMIT changed();
}

AppearanceKind Appearance::kind() const
{
    if (m_forced)
        return *m_forced;
    {
        switch (m_preference) {
        case DesktopColorScheme::Preference::dark:
            return AppearanceKind::dark;
        case DesktopColorScheme::Preference::light:
            return AppearanceKind::light;
        case DesktopColorScheme::Preference::none:
            break;
        }
    }
    return kindOf(m_desktopPalette);
}

bool Appearance::isDark() const
{
    const AppearanceKind k = kind();
    return k == AppearanceKind::dark || k == AppearanceKind::highContrastDark;
}

void Appearance::setForced(std::optional<AppearanceKind> kind)
{
    if (kind == AppearanceKind::highContrastLight)
        kind = AppearanceKind::light;
    else if (kind == AppearanceKind::highContrastDark)
        kind = AppearanceKind::dark;
    if (kind == m_forced)
        return;
    const AppearanceKind oldKind = this->kind();
    m_forced = kind;
    if (m_installed)
        applyToApplication();
    if (this->kind() != oldKind)
        Q_EMIT changed();
}

QPalette Appearance::palette() const
{
    return isDark() ? darkPalette(systemAccent()) : lightPalette(systemAccent());
}

void Appearance::install()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    m_installed = true;
    if (!qobject_cast<AppStyle *>(QApplication::style()))
        QApplication::setStyle(new AppStyle); // the application owns it
    applyToApplication();
}

void Appearance::applyToApplication()
{
    QApplication::setPalette(palette());
}

void Appearance::readDesktopPalette()
{
    m_readPending = false;
    if (!m_installed) {
        setDesktopPalette(QGuiApplication::palette());
        return;
    }
    // The application palette is ours: drop it for a moment to see what the
    // desktop gives.
    QApplication::setPalette(QPalette());
    setDesktopPalette(QGuiApplication::palette()); // puts ours back
}

bool Appearance::eventFilter(QObject *watched, QEvent *event)
{
    // The desktop's theme changed (sent once to every window): read its
    // palette again, once, after the event has gone round.
    if (event->type() == QEvent::ThemeChange && !m_readPending) {
        m_readPending = true;
        QMetaObject::invokeMethod(this, &Appearance::readDesktopPalette, Qt::QueuedConnection);
    }
    return QObject::eventFilter(watched, event);
}

// SPDX-License-Identifier: MIT
#pragma once

#include "AppearanceKind.h"
#include "DesktopColorScheme.h"

#include <QColor>
#include <QObject>
#include <QPalette>
#include <QPointer>

#include <optional>

// Light and dark look of the whole program: the Fusion style with a light or
// a dark palette, following the desktop unless forced (the snapshot run
// forces each in turn). It also knows the desktop's own palette, whose
// highlight colour is the desktop's accent colour.
class Appearance : public QObject
{
    Q_OBJECT
public:
    // Qt's highlight colour when the desktop provides none of its own.
    static constexpr QRgb kStockHighlight = 0x308CC6;

    // Needs the Q(Gui)Application. The program makes one and hands it to
    // what needs it; tests make their own.
    explicit Appearance(QObject *parent = nullptr);

    static QPalette lightPalette(const QColor &accent);
    static QPalette darkPalette(const QColor &accent);
    // Dark when the palette's window colour is dark.
    static AppearanceKind kindOf(const QPalette &palette);

    // The palette the desktop gives the program (read at start and again
    // whenever the desktop's theme changes).
    QPalette desktopPalette() const { return m_desktopPalette; }
    // Replaces what is known of the desktop's palette; used on desktop theme
    // changes, and by tests to stand in for a desktop.
    void setDesktopPalette(const QPalette &palette);
    // The desktop's accent colour, or nothing when it sets none of its own.
    std::optional<QColor> desktopAccent() const;
    // The accent colour the system theme uses: the desktop's, or Qt's stock
    // highlight.
    QColor systemAccent() const;

    // Follows the light or dark preference the desktop publishes (not owned;
    // null: none). A stated preference decides over the palette's lightness;
    // "no preference" leaves it to the palette, as without one.
    void followColorScheme(DesktopColorScheme *scheme);

    AppearanceKind kind() const;
    bool isDark() const;
    std::optional<AppearanceKind> forced() const { return m_forced; }
    // Forces light or dark (the high-contrast kinds force their plain
    // counterparts); nothing follows the desktop again.
    void setForced(std::optional<AppearanceKind> kind);

    // The palette of the current appearance.
    QPalette palette() const;
    // Puts the Fusion style and palette() on the application, now and after
    // every change. Without it nothing is changed on the application.
    void install();
    bool isInstalled() const { return m_installed; }

Q_SIGNALS:
    // The appearance or the system accent colour changed.
    void changed();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyToApplication();
    void readDesktopPalette();

    QPalette m_desktopPalette;
    std::optional<AppearanceKind> m_forced;
    bool m_installed = false;
    bool m_readPending = false;
    QPointer<DesktopColorScheme> m_scheme;
    // The followed preference as last applied.
    DesktopColorScheme::Preference m_preference = DesktopColorScheme::Preference::none;
    void setPreference(DesktopColorScheme::Preference preference);
};

// SPDX-License-Identifier: MIT
#pragma once

#include "Theme.h"

#include <QColor>
#include <QObject>
#include <QString>

class Appearance;
class QPalette;

// The chosen accent theme, shared by every window. The choice is a per-user
// preference ("appearance.accent" in the user defaults), read once at start
// and written on every assignment; APP_ACCENT overrides it for one run.
class ThemeStore : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString themeID READ themeID WRITE setThemeID NOTIFY themeIDChanged)
    Q_PROPERTY(bool noDesktopAccent READ noDesktopAccent NOTIFY noDesktopAccentChanged)
public:
    static constexpr const char *kAccentKey = "appearance.accent";
    static constexpr const char *kAccentEnvironment = "APP_ACCENT";

    // Reads APP_ACCENT, else the saved id, else "system". The system theme's
    // colours follow `appearance` (not null, outlives the store). The program
    // makes one store and hands it to its windows; tests make their own.
    explicit ThemeStore(Appearance *appearance, QObject *parent = nullptr);

    Appearance *appearance() const { return m_appearance; }

    // Kept as given, even when no theme has that id (theme() then falls back
    // to the system theme).
    QString themeID() const { return m_themeID; }
    void setThemeID(const QString &themeID);

    // True when the desktop sets no accent colour of its own, so the system
    // theme shows Qt's stock highlight colour.
    bool noDesktopAccent() const { return m_noDesktopAccent; }

    // The theme themeID() names, or the system theme.
    const Theme &theme() const { return Theme::forID(m_themeID); }
    // Its colours (see Theme), the system theme's taken from the appearance.
    QColor accent() const;
    QColor accentText(const QPalette &palette) const; // in a view's appearance
    QColor accentText() const;                        // in the program's current appearance

Q_SIGNALS:
    void themeIDChanged();
    void noDesktopAccentChanged();
    // The colours of theme() may look different: the id, the desktop accent
    // or the light/dark appearance changed. Themed windows retint on it.
    void accentChanged();

private:
    void readDesktopAccent();

    Appearance *m_appearance;
    QString m_themeID;
    bool m_noDesktopAccent = true;
};

#pragma once

#include "Theme.h"

#include <QObject>
#include <QString>

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

    // The one store of the program, made on first use (main thread, with the
    // application running).
    static ThemeStore &shared();

    // Reads APP_ACCENT, else the saved id, else "system"; tests make their
    // own stores this way.
    explicit ThemeStore(QObject *parent = nullptr);

    // Kept as given, even when no theme has that id (theme() then falls back
    // to the system theme).
    QString themeID() const { return m_themeID; }
    void setThemeID(const QString &themeID);

    // True when the desktop sets no accent colour of its own, so the system
    // theme shows Qt's stock highlight colour.
    bool noDesktopAccent() const { return m_noDesktopAccent; }

    // The theme themeID() names, or the system theme.
    const Theme &theme() const { return Theme::forID(m_themeID); }

Q_SIGNALS:
    void themeIDChanged();
    void noDesktopAccentChanged();
    // The colours of theme() may look different: the id, the desktop accent
    // or the light/dark appearance changed. Themed windows retint on it.
    void accentChanged();

private:
    void readDesktopAccent();

    QString m_themeID;
    bool m_noDesktopAccent = true;
};

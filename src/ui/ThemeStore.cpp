// SPDX-License-Identifier: MIT
#include "ThemeStore.h"

#include "Appearance.h"
#include "UserDefaults.h"

ThemeStore::ThemeStore(Appearance *appearance, QObject *parent) : QObject(parent), m_appearance(appearance)
{
    Q_ASSERT(appearance);
    m_noDesktopAccent = !appearance->desktopAccent().has_value();

    if (qEnvironmentVariableIsSet(kAccentEnvironment)) {
        m_themeID = qEnvironmentVariable(kAccentEnvironment);
    } else {
        const QVariant saved = UserDefaults::open()->value(QLatin1StringView(kAccentKey));
        m_themeID = saved.isValid() ? saved.toString() : QString::fromLatin1(Theme::kSystemID);
    }

    connect(appearance, &Appearance::changed, this, [this] {
        readDesktopAccent();
        Q_EMIT accentChanged();
    });
}

QColor ThemeStore::accent() const
{
    return theme().accent(m_appearance->systemAccent());
}

QColor ThemeStore::accentText(const QPalette &palette) const
{
    return theme().accentText(palette, m_appearance->systemAccent());
}

QColor ThemeStore::accentText() const
{
    return theme().accentText(m_appearance->kind(), m_appearance->systemAccent());
}

void ThemeStore::setThemeID(const QString &themeID)
{
    const bool differs = themeID != m_themeID;
    m_themeID = themeID;
    UserDefaults::open()->setValue(QLatin1StringView(kAccentKey), themeID);
    if (differs) {
        Q_EMIT themeIDChanged();
        Q_EMIT accentChanged();
    }
}

void ThemeStore::readDesktopAccent()
{
    const bool noAccent = !m_appearance->desktopAccent().has_value();
    if (noAccent == m_noDesktopAccent)
        return;
    m_noDesktopAccent = noAccent;
    Q_EMIT noDesktopAccentChanged();
}

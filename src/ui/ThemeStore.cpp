#include "ThemeStore.h"

#include "Appearance.h"
#include "UserDefaults.h"

#include <QCoreApplication>
#include <QPointer>

ThemeStore &ThemeStore::shared()
{
    static QPointer<ThemeStore> instance;
    if (!instance)
        instance = new ThemeStore(QCoreApplication::instance());
    return *instance;
}

ThemeStore::ThemeStore(QObject *parent) : QObject(parent)
{
    Appearance &appearance = Appearance::shared();
    m_noDesktopAccent = !appearance.desktopAccent().has_value();

    if (qEnvironmentVariableIsSet(kAccentEnvironment)) {
        m_themeID = qEnvironmentVariable(kAccentEnvironment);
    } else {
        const QVariant saved = UserDefaults::open()->value(QLatin1StringView(kAccentKey));
        m_themeID = saved.isValid() ? saved.toString() : QString::fromLatin1(Theme::kSystemID);
    }

    connect(&appearance, &Appearance::changed, this, [this] {
        readDesktopAccent();
        Q_EMIT accentChanged();
    });
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
    const bool noAccent = !Appearance::shared().desktopAccent().has_value();
    if (noAccent == m_noDesktopAccent)
        return;
    m_noDesktopAccent = noAccent;
    Q_EMIT noDesktopAccentChanged();
}

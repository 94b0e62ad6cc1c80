// SPDX-License-Identifier: MIT
#include "AppModel.h"

#include "AppLockProfile.h"
#include "AppSettings.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "Store.h"
#include "UserDefaults.h"

#include <array>

std::span<const EnumRow<SidebarItem>> EnumTraits<SidebarItem>::rows()
{
    static constexpr std::array<EnumRow<SidebarItem>, 4> table{{
        {SidebarItem::focusScreens, "focusScreens", QT_TRANSLATE_NOOP("Enums", "Focus Screens"), "timer"},
        {SidebarItem::sessions, "sessions", QT_TRANSLATE_NOOP("Enums", "Sessions"), "clock.arrow.circlepath"},
        {SidebarItem::profiles, "profiles", QT_TRANSLATE_NOOP("Enums", "Lock Profiles"), "lock.shield"},
        {SidebarItem::settings, "settings", QT_TRANSLATE_NOOP("Enums", "Settings"), "gearshape"},
    }};
    return table;
}

std::span<const EnumRow<SettingsTab>> EnumTraits<SettingsTab>::rows()
{
    static constexpr std::array<EnumRow<SettingsTab>, 4> table{{
        {SettingsTab::general, "general", QT_TRANSLATE_NOOP("Enums", "General"), "gearshape"},
        {SettingsTab::profiles, "profiles", QT_TRANSLATE_NOOP("Enums", "Profiles"), "lock.shield"},
        {SettingsTab::appearance, "appearance", QT_TRANSLATE_NOOP("Enums", "Appearance"), "paintpalette"},
        {SettingsTab::stats, "stats", QT_TRANSLATE_NOOP("Enums", "Stats"), "chart.bar.xaxis"},
    }};
    return table;
}

AppModel::AppModel(ModelContainer *container, QObject *parent) : QObject(parent), m_container(container)
{
    const auto defaults = UserDefaults::open();
    const QString stored = defaults->value(QLatin1String(kSettingsTabKey)).toString();
    m_settingsTab = fromRaw<SettingsTab>(stored).value_or(SettingsTab::general);
}

ModelContext *AppModel::context() const
{
    return m_container->mainContext();
}

void AppModel::setSidebar(std::optional<SidebarItem> sidebar)
{
    if (m_sidebar == sidebar)
        return;
    m_sidebar = sidebar;
    Q_EMIT sidebarChanged();
}

void AppModel::setSelection(std::optional<PersistentIdentifier> selection)
{
    if (m_selection == selection)
        return;
    m_selection = selection;
    Q_EMIT selectionChanged();
}

void AppModel::setSettingsTab(SettingsTab tab)
{
    const bool changed = m_settingsTab != tab;
    m_settingsTab = tab;
    if (!Store::isOverridden()) {
        const auto defaults = UserDefaults::open();
        defaults->setValue(QLatin1String(kSettingsTabKey), rawValue(tab));
    }
    if (changed)
        Q_EMIT settingsTabChanged();
}

StrictModeType AppModel::defaultStrictModeType() const
{
    const QList<AppSettings *> rows = context()->fetch<AppSettings>();
    return rows.isEmpty() ? StrictModeType::none : rows.first()->defaultStrictModeType();
}

LockMode AppModel::defaultLockMode() const
{
    const QList<AppSettings *> rows = context()->fetch<AppSettings>();
    return rows.isEmpty() ? LockMode::hideApps : rows.first()->defaultLockMode();
}

FocusScreen *AppModel::addFocusScreen(const QString &name, double duration, LockMode lockMode,
                                      bool autoStartOnLogin)
{
    auto screen = std::make_unique<FocusScreen>(name, duration, QStringList(), QStringList(), lockMode,
                                                autoStartOnLogin, 0, false, defaultStrictModeType());
    FocusScreen *inserted = context()->insert(std::move(screen));
    setSelection(inserted->id());
    return inserted;
}

void AppModel::deleteFocusScreen(FocusScreen *screen)
{
    if (!screen)
        return;
    context()->remove(screen);
    setSelection(std::nullopt);
    context()->save();
}

FocusSession *AppModel::startFocusSession(FocusScreen *screen)
{
    if (!screen)
        return nullptr;
    return context()->insert(std::make_unique<FocusSession>(screen->uuid(), QDateTime::currentDateTimeUtc()));
}

void AppModel::completeFocusSession(FocusSession *session)
{
    if (!session)
        return;
    session->complete(QDateTime::currentDateTimeUtc());
    context()->save();
}

int AppModel::closeAbandonedSessions(std::optional<QDateTime> lastAlive, const QDateTime &now)
{
    int closed = 0;
    for (FocusSession *session : context()->fetch<FocusSession>()) {
        if (session->endTime())
            continue;
        const QDateTime start = session->startTime();
        const QDateTime end = lastAlive && *lastAlive > start && *lastAlive <= now ? *lastAlive : start;
        session->setEndTime(end);
        session->setActualDuration(double(start.msecsTo(end)) / 1000.0);
        session->setCompleted(false);
        ++closed;
    }
    return closed;
}

AppLockProfile *AppModel::addLockProfile(const QString &name, const QStringList &blockedApps,
                                         const QStringList &blockedWebsites, LockMode mode)
{
    AppLockProfile *inserted =
        context()->insert(std::make_unique<AppLockProfile>(name, blockedApps, blockedWebsites, mode));
    setSelection(inserted->id());
    return inserted;
}

void AppModel::deleteLockProfile(AppLockProfile *profile)
{
    if (!profile)
        return;
    context()->remove(profile);
    setSelection(std::nullopt);
    context()->save();
}

namespace {
FetchDescriptor<FocusScreen> screenOrder()
{
    FetchDescriptor<FocusScreen> d;
    d.sortBy = {SortDescriptor<FocusScreen>::by(&FocusScreen::sortOrder),
                SortDescriptor<FocusScreen>::by(&FocusScreen::createdAt)};
    return d;
}
} // namespace

QList<FocusScreen *> AppModel::focusScreens() const
{
    return context()->fetch(screenOrder());
}

QList<FocusScreen *> AppModel::autoStartFocusScreens() const
{
    auto d = screenOrder();
    d.predicate = [](const FocusScreen &s) { return s.autoStartOnLogin(); };
    return context()->fetch(d);
}

QList<FocusSession *> AppModel::sessions() const
{
    FetchDescriptor<FocusSession> d;
    d.sortBy = {SortDescriptor<FocusSession>::by(&FocusSession::startTime, SortOrder::reverse)};
    return context()->fetch(d);
}

QList<AppLockProfile *> AppModel::lockProfiles() const
{
    FetchDescriptor<AppLockProfile> d;
    d.sortBy = {SortDescriptor<AppLockProfile>::by(&AppLockProfile::createdAt, SortOrder::reverse)};
    return context()->fetch(d);
}

// SPDX-License-Identifier: MIT
#pragma once

#include "EnumTable.h"
#include "Enums.h"
#include "PersistentIdentifier.h"

#include <QDateTime>
#include <QObject>
#include <QStringList>

#include <optional>

class AppLockProfile;
class FocusScreen;
class FocusSession;
class ModelContainer;
class ModelContext;

// The main window's sidebar sections.
enum class SidebarItem { focusScreens, sessions, profiles, settings };

// The settings window's tabs.
enum class SettingsTab { general, profiles, appearance, stats };

template<> struct EnumTraits<SidebarItem>
{
    static std::span<const EnumRow<SidebarItem>> rows();
};
template<> struct EnumTraits<SettingsTab>
{
    static std::span<const EnumRow<SettingsTab>> rows();
};

// The object every window works through: the open store, the navigation
// state, and the operations that add, delete, start and complete records.
class AppModel : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *kSettingsTabKey = "settings.tab";

    // The container is not owned; it must outlive the model.
    explicit AppModel(ModelContainer *container, QObject *parent = nullptr);

    ModelContainer *container() const { return m_container; }
    ModelContext *context() const;

    std::optional<SidebarItem> sidebar() const { return m_sidebar; }
    void setSidebar(std::optional<SidebarItem> sidebar);

    std::optional<PersistentIdentifier> selection() const { return m_selection; }
    void setSelection(std::optional<PersistentIdentifier> selection);

    SettingsTab settingsTab() const { return m_settingsTab; }
    // Remembered in the user defaults on every assignment, unless the store
    // is overridden (development runs never change the user's saved tab).
    void setSettingsTab(SettingsTab tab);

    FocusScreen *addFocusScreen(const QString &name, double duration, LockMode lockMode,
                                bool autoStartOnLogin = false);
    void deleteFocusScreen(FocusScreen *screen);
    FocusSession *startFocusSession(FocusScreen *screen);
    void completeFocusSession(FocusSession *session);
    // Ends the sessions a run that died left open (no end time): not
    // completed, ended at lastAlive, or at their start when lastAlive is
    // unknown, earlier than the start or later than now. Does not save.
    // Returns how many were closed.
    int closeAbandonedSessions(std::optional<QDateTime> lastAlive, const QDateTime &now);
    AppLockProfile *addLockProfile(const QString &name, const QStringList &blockedApps,
                                   const QStringList &blockedWebsites, LockMode mode);
    void deleteLockProfile(AppLockProfile *profile);

    // The reading orders every list uses.
    QList<FocusScreen *> focusScreens() const;          // sortOrder, then createdAt
    QList<FocusScreen *> autoStartFocusScreens() const; // the same, auto-start only
    QList<FocusSession *> sessions() const;             // newest first
    QList<AppLockProfile *> lockProfiles() const;       // newest first
    // The default strict-mode type for new screens: the settings row's, or none.
    StrictModeType defaultStrictModeType() const;
    // The default lock mode for new screens: the settings row's, or hideApps.
    LockMode defaultLockMode() const;

Q_SIGNALS:
    void sidebarChanged();
    void selectionChanged();
    void settingsTabChanged();

private:
    ModelContainer *m_container;
    std::optional<SidebarItem> m_sidebar = SidebarItem::focusScreens;
    std::optional<PersistentIdentifier> m_selection;
    SettingsTab m_settingsTab = SettingsTab::general;
};

// SPDX-License-Identifier: MIT
#pragma once

#include "AppModel.h"

#include <QList>
#include <QPointer>
#include <QWidget>

class AppearanceSettings;
class FitsContent;
class GeneralSettings;
class ProfilesSettings;
class QButtonGroup;
class QScrollArea;
class QToolButton;
class StatsSettings;
class ThemeStore;

// The content of the settings window: a tab bar (General, Profiles,
// Appearance, Stats) bound both ways to the model's settingsTab, and the
// chosen tab's page in a form 520 pixels wide that is as tall as the page up
// to 640 pixels and scrolls beyond.
//
// The view always has exactly the size of the chosen page (its layout uses
// QLayout::SetFixedSize), so a window that shows it as its only content
// follows it when the tab or the page changes: use the view itself as the
// top-level window, or place it in a window whose layout also uses
// QLayout::SetFixedSize. A window hook keeps every text field unfocused when
// the window is shown for the first time and after each close.
class SettingsView : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kTabBarMargin = 8;
    static constexpr int kTabIconSize = 22;

    // The model and the theme store must outlive the view; the appearance tab
    // shows and sets the accent theme of `themeStore`.
    SettingsView(AppModel *model, ThemeStore *themeStore, QWidget *parent = nullptr);

    AppModel *model() const { return m_model; }

    SettingsTab currentTab() const { return m_tab; }
    QToolButton *tabButton(SettingsTab tab) const;
    // The page of a tab and the scrolling form that holds it.
    QWidget *page(SettingsTab tab) const;
    QScrollArea *form(SettingsTab tab) const;

    GeneralSettings *general() const { return m_general; }
    ProfilesSettings *profiles() const { return m_profiles; }
    AppearanceSettings *appearance() const { return m_appearance; }
    StatsSettings *stats() const { return m_stats; }

private:
    void showTab(SettingsTab tab);

    QPointer<AppModel> m_model;
    SettingsTab m_tab = SettingsTab::general;
    QButtonGroup *m_tabs = nullptr;
    QList<QScrollArea *> m_forms;
    GeneralSettings *m_general = nullptr;
    ProfilesSettings *m_profiles = nullptr;
    AppearanceSettings *m_appearance = nullptr;
    StatsSettings *m_stats = nullptr;
};

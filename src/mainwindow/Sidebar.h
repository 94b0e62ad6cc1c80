// SPDX-License-Identifier: MIT
#pragma once

#include "AppModel.h"
#include <QListWidget>
#include <QPointer>

// The main window's first column: one row per page (Focus Screens,
// Sessions, Lock Profiles, Settings) bound to AppModel::sidebar both ways.
class Sidebar : public QListWidget
{
    Q_OBJECT
public:
    static constexpr int kRowHeight = 32;
    static constexpr int kIconSize = 16;
    static constexpr int kTopMargin = 8;

    explicit Sidebar(AppModel *model, QWidget *parent = nullptr);

    // The row of a page.
    QListWidgetItem *itemFor(int sidebarItem) const;

private:
    void syncFromModel();
    void viewSelectionChanged();

    QPointer<AppModel> m_model;
    bool m_syncing = false;
};

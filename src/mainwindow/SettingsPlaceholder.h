// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

class EmptyStatePanel;

// The main window's "Settings" page: a pointer to the settings window. The
// window's toolbar holds "Open Settings".
class SettingsPlaceholder : public QWidget
{
    Q_OBJECT
public:
    explicit SettingsPlaceholder(QWidget *parent = nullptr);

    EmptyStatePanel *panel() const { return m_panel; }

private:
    EmptyStatePanel *m_panel;
};

// SPDX-License-Identifier: MIT
#include "SettingsPlaceholder.h"

#include "EmptyStatePanel.h"

#include <QVBoxLayout>

SettingsPlaceholder::SettingsPlaceholder(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("settingsPlaceholder"));
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_panel = new EmptyStatePanel(tr("Settings"), QStringLiteral("gearshape"),
                                  tr("Open the Settings window to change preferences."), this);
    layout->addWidget(m_panel);
}

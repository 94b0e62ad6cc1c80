// SPDX-License-Identifier: MIT
#include "SystemTrayIcon.h"

#include "DisplayText.h"

#include <QSystemTrayIcon>

SystemTrayIcon::SystemTrayIcon(QObject *parent) : TrayIcon(parent), m_tray(new QSystemTrayIcon(this))
{
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        switch (reason) {
        case QSystemTrayIcon::Trigger:
        case QSystemTrayIcon::Context:
        case QSystemTrayIcon::MiddleClick:
            Q_EMIT activated();
            break;
        default:
            break;
        }
    });
}

void SystemTrayIcon::setIcon(const QIcon &icon)
{
    m_tray->setIcon(icon);
}

void SystemTrayIcon::setToolTip(const QString &toolTip)
{
    // Drawn as a Qt tooltip, which takes text that looks like markup for markup.
    m_tray->setToolTip(DisplayText::asRichText(toolTip));
}

void SystemTrayIcon::show()
{
    m_tray->show();
}

bool SystemTrayIcon::isVisible() const
{
    return m_tray->isVisible() && QSystemTrayIcon::isSystemTrayAvailable();
}

QRect SystemTrayIcon::geometry() const
{
    return m_tray->geometry();
}

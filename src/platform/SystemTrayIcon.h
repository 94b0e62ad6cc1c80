// SPDX-License-Identifier: MIT
#pragma once

#include "TrayIcon.h"

class QSystemTrayIcon;

// The tray item through Qt's system tray icon (XEmbed on X11): there is no
// title beside the icon there, so the title is kept by the caller alone.
class SystemTrayIcon final : public TrayIcon
{
    Q_OBJECT
public:
    explicit SystemTrayIcon(QObject *parent = nullptr);

    void setIcon(const QIcon &icon) override;
    void setTitle(const QString &) override {}
    void setToolTip(const QString &toolTip) override;
    void show() override;
    bool isVisible() const override;
    QRect geometry() const override;

private:
    QSystemTrayIcon *m_tray;
};

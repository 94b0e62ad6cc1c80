// SPDX-License-Identifier: MIT
#pragma once

#include "TrayIcon.h"

#include <memory>

class GnomeShellExtension;

// The program's item in GNOME Shell's top bar, drawn by Lumora's extension:
// the program's symbol, with the countdown ("MM:SS") beside it during a
// session. A click on it is activated(). Used on GNOME where no
// StatusNotifier host runs (GNOME has no tray of its own), so the top bar
// never shows two items. When GNOME Shell is replaced the item is shown again
// in the new one.
class GnomeShellIndicator final : public TrayIcon
{
    Q_OBJECT
public:
    explicit GnomeShellIndicator(QObject *parent = nullptr);
    ~GnomeShellIndicator() override;

    // The extension answers.
    bool isAvailable() const;

    void setIcon(const QIcon &icon) override;
    void setTitle(const QString &title) override;
    void setToolTip(const QString &toolTip) override;
    void show() override;
    bool isVisible() const override;
    QRect geometry() const override;

    // The countdown as the top bar takes it: "MM:SS" (minutes may run past
    // 99), else empty.
    static QString countdownOf(const QString &title);

private:
    void update();

    std::unique_ptr<GnomeShellExtension> m_extension;
    QString m_countdown;
    QString m_toolTip;
    bool m_shown = false;
};

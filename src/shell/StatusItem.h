// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QString>

#include <memory>

class TrayIcon;

// The program's item in the system tray: the "timer" symbol, and while a
// session runs the countdown. Most tray hosts show icons only, so the
// countdown is drawn into the icon; title() keeps the text itself, and is
// the item's title where the tray protocol has one (StatusNotifierItem).
class StatusItem : public QObject
{
    Q_OBJECT
public:
    static constexpr int kIconSize = 64; // drawn large, scaled down by the host

    // Shows itself through `tray` (from PlatformServices::makeTrayIcon()).
    explicit StatusItem(std::unique_ptr<TrayIcon> tray, QObject *parent = nullptr);
    ~StatusItem() override;

    // False when no tray host runs; the item then shows nothing.
    static bool isTrayAvailable();
    // The desktop shows the item without a tray host (GNOME Shell's top bar
    // through Lumora's extension): the tray counts as available.
    static void setShownWithoutHost(bool shown);

    QString title() const { return m_title; }
    void setTitle(const QString &title);
    QString toolTip() const { return m_toolTip; }
    void setToolTip(const QString &toolTip);
    void setAccent(const QColor &accent);
    // No countdown, and the idle tooltip; isIdle() says whether that is shown.
    void showIdle();
    bool isIdle() const;

    // How many times the item has handed the tray a new icon or tooltip.
    int trayWrites() const { return m_trayWrites; }

    // Where the icon sits on screen; empty when the host does not say.
    QRect geometry() const;
    bool isVisible() const;

    // The icon for a title: the symbol alone, or the countdown.
    static QIcon iconFor(const QString &title, const QColor &accent);

Q_SIGNALS:
    // A left or right click (or a middle click) on the item.
    void clicked();

private:
    std::unique_ptr<TrayIcon> m_tray;
    QString m_title;
    QString m_toolTip;
    QColor m_accent;
    int m_trayWrites = 0;

    static QString idleToolTip();
};

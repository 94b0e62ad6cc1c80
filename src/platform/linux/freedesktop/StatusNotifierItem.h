// SPDX-License-Identifier: MIT
#pragma once

#include "TrayIcon.h"

#include <QByteArray>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QList>

class QDBusServiceWatcher;

// One pixmap of an icon as the item protocol carries it: ARGB32 in network
// byte order (a(iiay)).
struct StatusNotifierPixmap
{
    int width = 0;
    int height = 0;
    QByteArray bytes;
};

// The tooltip as the item protocol carries it ((sa(iiay)ss)): an icon, the
// title shown in bold and a text under it.
struct StatusNotifierToolTip
{
    QString iconName;
    QList<StatusNotifierPixmap> pixmaps;
    QString title;
    QString text;
};

// The tray item as a StatusNotifierItem on the session bus, the tray of
// Plasma, waybar, the AppIndicator extensions and most Wayland panels: the
// object /StatusNotifierItem under the name
// org.kde.StatusNotifierItem-<pid>-<n>, announced to the
// org.kde.StatusNotifierWatcher whenever one runs. Unlike Qt's own item its
// Title is the title set here (the countdown), not the program's name.
class StatusNotifierItem final : public TrayIcon
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ emptyName)
    Q_PROPERTY(QList<StatusNotifierPixmap> IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ emptyName)
    Q_PROPERTY(QList<StatusNotifierPixmap> OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ emptyName)
    Q_PROPERTY(QList<StatusNotifierPixmap> AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ emptyName)
    Q_PROPERTY(StatusNotifierToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
public:
    static constexpr const char *kWatcherService = "org.kde.StatusNotifierWatcher";
    static constexpr const char *kWatcherPath = "/StatusNotifierWatcher";
    static constexpr const char *kPath = "/StatusNotifierItem";

    explicit StatusNotifierItem(QObject *parent = nullptr);
    ~StatusNotifierItem() override;

    // Whether a watcher (and so, usually, a tray) is on the session bus.
    static bool isWatcherRegistered();

    void setIcon(const QIcon &icon) override;
    void setTitle(const QString &title) override;
    void setToolTip(const QString &toolTip) override;
    void show() override;
    bool isVisible() const override;
    QRect geometry() const override { return {}; }

    QString serviceName() const { return m_serviceName; }

    // The exported properties.
    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const;
    QString title() const;
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString emptyName() const { return {}; }
    QList<StatusNotifierPixmap> iconPixmap() const { return m_pixmaps; }
    QList<StatusNotifierPixmap> noPixmaps() const { return {}; }
    StatusNotifierToolTip toolTip() const;
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const;

    // An icon's pixmaps in the protocol's form, one per size it has.
    static QList<StatusNotifierPixmap> pixmapsOf(const QIcon &icon);

public Q_SLOTS:
    // What hosts call: a click (primary, context menu, middle) or a scroll.
    Q_SCRIPTABLE void Activate(int x, int y);
    Q_SCRIPTABLE void ContextMenu(int x, int y);
    Q_SCRIPTABLE void SecondaryActivate(int x, int y);
    Q_SCRIPTABLE void Scroll(int delta, const QString &orientation);

Q_SIGNALS:
    Q_SCRIPTABLE void NewTitle();
    Q_SCRIPTABLE void NewIcon();
    Q_SCRIPTABLE void NewToolTip();
    Q_SCRIPTABLE void NewStatus(const QString &status);

private:
    void registerWithWatcher();

    QDBusConnection m_bus;
    QString m_serviceName;
    QDBusServiceWatcher *m_watcher = nullptr;
    QList<StatusNotifierPixmap> m_pixmaps;
    QString m_title;
    QString m_toolTip;
    bool m_shown = false;
    bool m_exported = false;
    bool m_registered = false;
};

Q_DECLARE_METATYPE(StatusNotifierPixmap)
Q_DECLARE_METATYPE(StatusNotifierToolTip)

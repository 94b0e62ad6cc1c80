// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusObjectPath>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantMap>

// Desktop services stood in for on the private session bus, each on a bus
// connection of its own (as the real service's process would be): the
// GlobalShortcuts portal and the StatusNotifierWatcher of a tray.

// One shortcut of the portal's a(sa{sv}) lists.
struct StandInShortcut
{
    QString id;
    QVariantMap properties;
};
Q_DECLARE_METATYPE(StandInShortcut)

// org.freedesktop.portal.GlobalShortcuts of org.freedesktop.portal.Desktop:
// sessions and bindings answered through Request objects with the response
// code the test chooses, and Activated sent on request.
class StandInShortcutsPortal : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)
public:
    StandInShortcutsPortal();
    ~StandInShortcutsPortal() override;

    // Takes the portal's name; false when that fails.
    bool start();

    uint version() const { return 1; }
    // What BindShortcuts answers: 0 bound, 1 declined by the user, 2 failed.
    uint bindResponse = 0;

    struct Binding
    {
        QString session;
        QList<StandInShortcut> shortcuts;
    };
    QList<Binding> bindings() const { return m_bindings; }
    QStringList sessions() const { return m_sessions; }
    // The preferred trigger of the last binding's shortcut `id`.
    QString preferredTrigger(const QString &id = QStringLiteral("shortcut-1")) const;

    // The desktop saw the shortcut pressed (and released) in `session` (the
    // last one when empty).
    bool activate(const QString &id = QStringLiteral("shortcut-1"), const QString &session = {});

public Q_SLOTS:
    QDBusObjectPath CreateSession(const QVariantMap &options);
    QDBusObjectPath BindShortcuts(const QDBusObjectPath &session, const QList<StandInShortcut> &shortcuts,
                                  const QString &parentWindow, const QVariantMap &options);

Q_SIGNALS:
    void bound();

private:
    QDBusObjectPath respondLater(const QVariantMap &options, uint code, const QVariantMap &results);

    QDBusConnection m_bus;
    QStringList m_sessions;
    QList<Binding> m_bindings;
};

// org.kde.StatusNotifierWatcher with a host: keeps the items registered
// with it, and reads their properties as a tray host does.
class StandInTrayWatcher : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ registeredItems)
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ isHostRegistered)
    Q_PROPERTY(int ProtocolVersion READ protocolVersion)
public:
    StandInTrayWatcher();
    ~StandInTrayWatcher() override;

    bool start();

    QStringList registeredItems() const { return m_items; }
    bool isHostRegistered() const { return true; }
    int protocolVersion() const { return 0; }

    // The process that registered `item` (0 when unknown).
    uint pidOf(const QString &item) const;
    // A property of an item ("service/path" or a service name) read through
    // org.freedesktop.DBus.Properties; invalid when that fails.
    QVariant property(const QString &item, const QString &name) const;
    // The title of an item's tooltip (its ToolTip's third field).
    QString toolTipTitle(const QString &item) const;

public Q_SLOTS:
    void RegisterStatusNotifierItem(const QString &service);
    void RegisterStatusNotifierHost(const QString &service);

Q_SIGNALS:
    void itemRegistered(const QString &item);

private:
    QDBusConnection m_bus;
    QStringList m_items;
    QHash<QString, QString> m_senders;
};

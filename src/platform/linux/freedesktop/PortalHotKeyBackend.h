// SPDX-License-Identifier: MIT
#pragma once

#include "HotKeyBackend.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <map>
#include <optional>

class QDBusMessage;
class QDBusPendingCallWatcher;

// The desktop's hot-key service on Wayland: the GlobalShortcuts interface of
// the XDG desktop portal. The desktop, not this program, holds the keys: the
// registrations are bound in one portal session, each with its combination
// as the preferred trigger, and the desktop may ask the user to confirm or
// change them. Presses arrive as the portal's Activated signal (releases as
// Deactivated) and go to the installed handler in the main loop.
//
// Everything is asynchronous: registering always succeeds at once, and the
// binding follows (again after every change of the registrations, in a new
// session). When the portal is missing (no GlobalShortcuts interface or its
// `version` property) or refuses (the user declines: response 1, any other
// failure: 2), the backend says so once on standard error and from then on
// is unavailable; nothing else changes.
class PortalHotKeyBackend final : public QObject, public HotKeyBackend
{
    Q_OBJECT
public:
    static constexpr const char *kInterface = "org.freedesktop.portal.GlobalShortcuts";

    enum class State {
        probing, // asking for the interface's version
        idle,    // the portal is there; nothing to bind
        binding, // a session and its shortcuts are on their way
        bound,   // the desktop bound what is registered
        failed,  // no portal, or it refused: unavailable for good
    };

    explicit PortalHotKeyBackend(QObject *parent = nullptr);
    ~PortalHotKeyBackend() override;

    bool isAvailable() const override;
    Keeper keeper() const override;
    std::optional<Reference> registerHotKey(Key key, ModifierFlags modifiers, EventHotKeyID id) override;
    void unregisterHotKey(Reference reference) override;
    void installEventHandler(EventHandler handler) override;

    State state() const { return m_state; }
    // Shortcut id -> the trigger as the desktop describes it, once bound.
    const QVariantMap &boundTriggers() const { return m_boundTriggers; }

    // A combination in the shortcut format of the portals: the modifiers
    // CTRL, ALT, SHIFT, LOGO (Super) in that order, then the key's XKB keysym
    // name, joined by "+" ("CTRL+ALT+LOGO+f", "SHIFT+LOGO+Return"). Empty
    // when the key has no keysym.
    static QString preferredTrigger(Key key, ModifierFlags modifiers);

Q_SIGNALS:
    void stateChanged(PortalHotKeyBackend::State state);

public Q_SLOTS:
    // The portal's Activated and Deactivated signals (the bus calls only
    // public slots).
    void activated(const QDBusMessage &signal);
    void deactivated(const QDBusMessage &signal);

private:
    struct Registration
    {
        QString shortcutId;
        Key key;
        ModifierFlags modifiers;
        EventHotKeyID id;
    };

    void probeFinished(QDBusPendingCallWatcher *call);
    void scheduleBind();
    void bind();
    void sessionCreated(uint generation, uint code, const QVariantMap &results);
    void shortcutsBound(uint generation, uint code, const QVariantMap &results);
    void closeSession();
    void fail(const QString &reason);
    void setState(State state);
    void deliver(const QDBusMessage &signal, quint32 kind);
    QString combinations() const;

    QDBusConnection m_bus;
    State m_state = State::probing;
    std::map<Reference, Registration> m_registrations;
    Reference m_nextReference = 1;
    EventHandler m_handler;
    QString m_session;
    // Answers for an older session than this one are dropped.
    uint m_generation = 0;
    bool m_bindQueued = false;
    QVariantMap m_boundTriggers;
};

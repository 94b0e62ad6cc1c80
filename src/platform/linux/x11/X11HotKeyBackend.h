// SPDX-License-Identifier: MIT
#pragma once

#include "HotKeyBackend.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QObject>

#include <map>

struct xcb_connection_t;

// The desktop's hot-key service on X11: each registration is a passive key
// grab on the root window of Qt's own connection, in one variant for every
// combination of Caps Lock, Num Lock and Scroll Lock, so that it fires
// whichever of them are on. Presses arrive through Qt's native event filter,
// in the main loop. A grab that another client already holds is refused (the
// registration returns nothing).
//
// A key is grabbed by its XKB keysym, looked up in the keyboard mapping at
// grab time, and the modifiers map to X modifiers: command = Super (Mod4),
// option = Alt (Mod1), control = Control, shift = Shift. When the mapping
// changes (another layout, a newly plugged keyboard, a changed modifier map)
// every registration is grabbed again where its keysym and the lock keys now
// sit; one that another client holds there stays registered but silent until
// the next change.
class X11HotKeyBackend final : public HotKeyBackend, private QAbstractNativeEventFilter
{
public:
    // Uses the X11 connection of the running QGuiApplication; unavailable
    // when there is none (another platform, no application yet).
    X11HotKeyBackend();
    ~X11HotKeyBackend() override;

    bool isAvailable() const override;
    std::optional<Reference> registerHotKey(Key key, ModifierFlags modifiers, EventHotKeyID id) override;
    void unregisterHotKey(Reference reference) override;
    void installEventHandler(EventHandler handler) override;

    // The X modifier mask of a combination's modifiers.
    static quint16 x11Modifiers(ModifierFlags modifiers);

private:
    struct Grab
    {
        quint32 keysym = 0;
        quint16 modifiers = 0;
        EventHotKeyID id;
        // Where the grab sits now: the keysym's keycode (0 when the keymap
        // has none or another client holds it) and the modifier sets grabbed.
        quint8 keycode = 0;
        QList<quint16> variants;
    };

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    bool isMappingChange(const void *message) const;
    bool grab(Grab &grab);
    void ungrab(Grab &grab);
    void scheduleRegrab();
    void regrab();
    HotKeyStatus deliver(const Grab &grab, quint32 kind);

    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    // The first event number of the XKEYBOARD extension (0 without it).
    quint8 m_xkbEventBase = 0;
    std::map<Reference, Grab> m_grabs;
    Reference m_nextReference = 1;
    // Keycodes held down as a hot key: repeats are swallowed and the release
    // goes to the same registration whatever modifiers are still down.
    std::map<quint8, Reference> m_pressed;
    EventHandler m_handler;
    // Receives the queued re-grab; one burst of mapping events gives one.
    QObject m_regrabContext;
    bool m_regrabQueued = false;
};

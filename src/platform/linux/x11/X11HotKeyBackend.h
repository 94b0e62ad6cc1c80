// SPDX-License-Identifier: MIT
#pragma once

#include "HotKeyBackend.h"

#include <QAbstractNativeEventFilter>
#include <QList>

#include <map>

struct xcb_connection_t;

// The desktop's hot-key service on X11: each registration is a passive key
// grab on the root window of Qt's own connection, in four variants so that
// it fires with Caps Lock and Num Lock on as well. Presses arrive through
// Qt's native event filter, in the main loop. A grab that another client
// already holds is refused (the registration returns nothing).
//
// The stored combos use virtual key codes and hot-key modifier masks; they
// are translated here to X keysyms (looked up in the keyboard mapping at grab
// time) and to X modifiers: command = Super (Mod4), option = Alt (Mod1),
// control = Control, shift = Shift.
class X11HotKeyBackend final : public HotKeyBackend, private QAbstractNativeEventFilter
{
public:
    // Uses the X11 connection of the running QGuiApplication; unavailable
    // when there is none (another platform, no application yet).
    X11HotKeyBackend();
    ~X11HotKeyBackend() override;

    bool isAvailable() const override;
    std::optional<Reference> registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers,
                                            EventHotKeyID id) override;
    void unregisterHotKey(Reference reference) override;
    void installEventHandler(EventHandler handler) override;

    // The X keysym of a virtual key code, or 0 when the key has none here
    // (the function key, gaps in the numbering).
    static quint32 keysymForCarbonKeyCode(quint32 carbonKeyCode);
    // The X modifier mask of a hot-key modifier mask.
    static quint16 x11Modifiers(quint32 carbonModifiers);

private:
    struct Grab
    {
        quint8 keycode = 0;
        quint16 modifiers = 0;
        EventHotKeyID id;
    };

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;
    QList<quint16> variants(quint16 modifiers) const;
    void ungrab(const Grab &grab);
    quint8 keycodeForKeysym(quint32 keysym) const;
    quint16 numLockMask() const;
    HotKeyStatus deliver(const Grab &grab, quint32 kind);

    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    std::map<Reference, Grab> m_grabs;
    Reference m_nextReference = 1;
    // Keycodes held down as a hot key: repeats are swallowed and the release
    // goes to the same registration whatever modifiers are still down.
    std::map<quint8, Reference> m_pressed;
    EventHandler m_handler;
};

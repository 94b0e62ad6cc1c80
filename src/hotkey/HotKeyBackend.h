// SPDX-License-Identifier: MIT
#pragma once

#include "Key.h"
#include "ModifierFlags.h"

#include <QtGlobal>

#include <functional>
#include <optional>

class HotKeysController;

// The status codes the hot-key event handler answers with: handled, or
// "not handled" so that the desktop passes the key on.
using HotKeyStatus = qint32;
inline constexpr HotKeyStatus kHotKeyNoError = 0;
inline constexpr HotKeyStatus kHotKeyEventNotHandled = -9874;
// A backend that cannot read an event's identifier reports this one.
inline constexpr HotKeyStatus kHotKeyEventParameterNotFound = -9870;

// What a registration is known by in the events: a four-character signature
// naming the registering module and that module's registration number.
struct EventHotKeyID
{
    quint32 signature = 0;
    quint32 id = 0;
    bool operator==(const EventHotKeyID &) const = default;
};

// One press or release of a registered combination as the backend delivers
// it. `kind` is kPressed or kReleased; any other kind is not handled. When the backend could not read the
// identifier, `parameterStatus` carries the failure and `hotKeyID` is meaningless.
struct HotKeyEvent
{
    static constexpr quint32 kPressed = 5;
    static constexpr quint32 kReleased = 6;

    quint32 kind = kPressed;
    EventHotKeyID hotKeyID;
    HotKeyStatus parameterStatus = kHotKeyNoError;
};

// The desktop's system-wide hot-key service, as HotKeysController uses it.
// The X11 implementation lives in the platform library; tests use a fake.
// Everything happens on the main thread.
class HotKeyBackend
{
public:
    // An opaque handle of one registration; never 0.
    using Reference = quint64;
    using EventHandler = std::function<HotKeyStatus(const HotKeyEvent *event)>;

    HotKeyBackend() = default;
    HotKeyBackend(const HotKeyBackend &) = delete;
    HotKeyBackend &operator=(const HotKeyBackend &) = delete;
    // Detaches the backend from the controller using it.
    virtual ~HotKeyBackend();

    // False when the session offers no hot-key service at all (no X11
    // display, for example).
    virtual bool isAvailable() const = 0;

    // Who holds a registered combination: the program itself (a key grab),
    // the desktop (which binds it in its own shortcut settings and may ask
    // the user to confirm or change it), GNOME Shell through Lumora's
    // extension (bound to the combination chosen in Lumora), or nobody (the
    // session offers no service, or the desktop refused; the user binds
    // `lumora --popover` in the desktop's settings instead).
    enum class Keeper { program, desktop, gnomeShell, none };
    virtual Keeper keeper() const { return isAvailable() ? Keeper::program : Keeper::none; }
    // Registers the combination system-wide; nothing when the desktop
    // refuses it (another program holds it, the key has no key code here).
    virtual std::optional<Reference> registerHotKey(Key key, ModifierFlags modifiers, EventHotKeyID id) = 0;
    virtual void unregisterHotKey(Reference reference) = 0;
    // Presses and releases of registered combinations go to `handler`; its
    // status tells whether the event was consumed.
    virtual void installEventHandler(EventHandler handler) = 0;

protected:
    // Hands the registrations back to the controller using this backend
    // (which unregisters them here) and detaches from it. A backend that must
    // undo registrations itself calls it first thing in its destructor.
    void detachFromController();

private:
    friend class HotKeysController;
    HotKeysController *m_controller = nullptr;
};

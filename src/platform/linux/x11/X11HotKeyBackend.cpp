// SPDX-License-Identifier: MIT
#include "X11HotKeyBackend.h"
#include "XcbReply.h"

#include "Key.h"
#include "Logging.h"
#include "ModifierFlags.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdlib>
#include <iterator>
#include <memory>

#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {

constexpr quint16 kRelevantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
constexpr int kModifierCount = 8;
// The XKEYBOARD events that announce a changed mapping: another keyboard
// description (a new layout, a newly plugged keyboard) and a changed map.
constexpr quint8 kXkbNewKeyboardNotify = 0;
constexpr quint8 kXkbMapNotify = 1;

// The keyboard mapping of the moment, read once per (re)grab.
class KeyboardMapping
{
public:
    explicit KeyboardMapping(xcb_connection_t *connection)
    {
        const xcb_setup_t *setup = xcb_get_setup(connection);
        m_minKeycode = setup->min_keycode;
        m_maxKeycode = setup->max_keycode;
        m_keys.reset(xcb_get_keyboard_mapping_reply(
            connection, xcb_get_keyboard_mapping(connection, m_minKeycode, m_maxKeycode - m_minKeycode + 1),
            nullptr));
        m_modifiers.reset(
            xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr));
    }

    // As XKeysymToKeycode: the first keycode carrying the keysym, searching
    // the unshifted column of every keycode first; 0 when none does.
    quint8 keycode(quint32 keysym) const
    {
        if (!m_keys)
            return 0;
        const int perKeycode = m_keys->keysyms_per_keycode;
        for (int column = 0; column < perKeycode; ++column)
            for (int keycode = m_minKeycode; keycode <= m_maxKeycode; ++keycode)
                if (keysymAt(keycode, column) == keysym)
                    return quint8(keycode);
        return 0;
    }

    // The modifier bit a key with the keysym sets (Num Lock is usually Mod2;
    // Scroll Lock is often on none), 0 when no such key is on a modifier.
    quint16 modifierOf(quint32 keysym) const
    {
        if (!m_keys || !m_modifiers)
            return 0;
        const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(m_modifiers.get());
        const int perModifier = m_modifiers->keycodes_per_modifier;
        for (int modifier = 0; modifier < kModifierCount; ++modifier)
            for (int i = 0; i < perModifier; ++i)
                for (int column = 0; column < m_keys->keysyms_per_keycode; ++column)
                    if (const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
                        keycode && keysymAt(keycode, column) == keysym)
                        return quint16(1u << modifier);
        return 0;
    }

    // The combination's modifiers with every combination of the lock
    // modifiers added, each set once.
    QList<quint16> variants(quint16 modifiers) const
    {
        const quint16 locks[] = {quint16(XCB_MOD_MASK_LOCK), modifierOf(XK_Num_Lock),
                                 modifierOf(XK_Scroll_Lock)};
        QList<quint16> out;
        for (int subset = 0; subset < 1 << std::size(locks); ++subset) {
            quint16 variant = modifiers;
            for (size_t i = 0; i < std::size(locks); ++i)
                if (subset & (1 << i))
                    variant |= locks[i];
            if (!out.contains(variant))
                out.append(variant);
        }
        return out;
    }

private:
    quint32 keysymAt(int keycode, int column) const
    {
        const int index = (keycode - m_minKeycode) * m_keys->keysyms_per_keycode + column;
        if (keycode < m_minKeycode || index >= xcb_get_keyboard_mapping_keysyms_length(m_keys.get()))
            return 0;
        return xcb_get_keyboard_mapping_keysyms(m_keys.get())[index];
    }

    int m_minKeycode = 0;
    int m_maxKeycode = 0;
    XcbReply<xcb_get_keyboard_mapping_reply_t> m_keys;
    XcbReply<xcb_get_modifier_mapping_reply_t> m_modifiers;
};

xcb_connection_t *qtConnection()
{
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app)
        return nullptr;
    auto *x11 = app->nativeInterface<QNativeInterface::QX11Application>();
    return x11 ? x11->connection() : nullptr;
}

// The root window of the screen $DISPLAY names (the first one otherwise).
xcb_window_t rootWindow(xcb_connection_t *connection)
{
    char *host = nullptr;
    int displayNumber = 0;
    int screenNumber = 0;
    const bool parsed = xcb_parse_display(nullptr, &host, &displayNumber, &screenNumber);
    const XcbString hostName(host); // only the screen number is wanted
    if (!parsed)
        screenNumber = 0;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(connection));
    xcb_window_t first = it.rem ? it.data->root : XCB_NONE;
    for (int i = 0; it.rem; xcb_screen_next(&it), ++i)
        if (i == screenNumber)
            return it.data->root;
    return first;
}

} // namespace

X11HotKeyBackend::X11HotKeyBackend()
{
    m_connection = qtConnection();
    if (!m_connection)
        return;
    m_root = rootWindow(m_connection);
    if (m_root == XCB_NONE) {
        m_connection = nullptr;
        return;
    }
    const QByteArray xkb("XKEYBOARD");
    const XcbReply<xcb_query_extension_reply_t> extension(xcb_query_extension_reply(
        m_connection, xcb_query_extension(m_connection, xkb.size(), xkb.constData()), nullptr));
    if (extension && extension->present)
        m_xkbEventBase = extension->first_event;
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeyBackend::~X11HotKeyBackend()
{
    // Hand the registrations back while this object can still ungrab them.
    detachFromController();
    for (auto &[reference, entry] : m_grabs)
        ungrab(entry);
    m_grabs.clear();
    if (m_connection) {
        xcb_flush(m_connection);
        if (QCoreApplication::instance())
            QCoreApplication::instance()->removeNativeEventFilter(this);
    }
}

bool X11HotKeyBackend::isAvailable() const
{
    return m_connection != nullptr;
}

quint16 X11HotKeyBackend::x11Modifiers(ModifierFlags modifiers)
{
    quint16 out = 0;
    if (modifiers & ModifierFlag::command)
        out |= XCB_MOD_MASK_4;
    if (modifiers & ModifierFlag::option)
        out |= XCB_MOD_MASK_1;
    if (modifiers & ModifierFlag::control)
        out |= XCB_MOD_MASK_CONTROL;
    if (modifiers & ModifierFlag::shift)
        out |= XCB_MOD_MASK_SHIFT;
    return out;
}

std::optional<HotKeyBackend::Reference> X11HotKeyBackend::registerHotKey(Key key, ModifierFlags modifiers,
                                                                         EventHotKeyID id)
{
    const std::optional<XkbKeysym> keysym = xkbKeysym(key);
    if (!m_connection || !keysym)
        return std::nullopt;
    Grab entry;
    entry.keysym = keysym->value;
    entry.modifiers = x11Modifiers(modifiers);
    entry.id = id;
    // One process holds a combination once, as the desktop's own service does.
    for (const auto &[reference, existing] : m_grabs)
        if (existing.keysym == entry.keysym && existing.modifiers == entry.modifiers)
            return std::nullopt;
    if (!grab(entry))
        return std::nullopt;
    const Reference reference = m_nextReference++;
    m_grabs[reference] = entry;
    return reference;
}

bool X11HotKeyBackend::grab(Grab &entry)
{
    const KeyboardMapping mapping(m_connection);
    const quint8 keycode = mapping.keycode(entry.keysym);
    if (!keycode)
        return false;
    entry.keycode = keycode;
    entry.variants = mapping.variants(entry.modifiers);
    // Checked requests: a refusal comes back here, not as a stray error in
    // the event queue.
    QList<xcb_void_cookie_t> cookies;
    for (const quint16 modifiers : std::as_const(entry.variants))
        cookies.append(xcb_grab_key_checked(m_connection, 0, m_root, modifiers, keycode, XCB_GRAB_MODE_ASYNC,
                                            XCB_GRAB_MODE_ASYNC));
    // BadAccess when another client holds a variant; any error refuses the
    // whole grab.
    bool refused = false;
    for (const auto &cookie : cookies) {
        if (const XcbError error{xcb_request_check(m_connection, cookie)})
            refused = true;
    }
    if (refused) {
        ungrab(entry);
        xcb_flush(m_connection);
        return false;
    }
    return true;
}

void X11HotKeyBackend::ungrab(Grab &entry)
{
    if (m_connection && entry.keycode)
        for (const quint16 modifiers : std::as_const(entry.variants))
            xcb_ungrab_key(m_connection, entry.keycode, m_root, modifiers);
    entry.keycode = 0;
    entry.variants.clear();
}

void X11HotKeyBackend::scheduleRegrab()
{
    if (m_regrabQueued)
        return;
    m_regrabQueued = true;
    QMetaObject::invokeMethod(
        &m_regrabContext,
        [this] {
            m_regrabQueued = false;
            regrab();
        },
        Qt::QueuedConnection);
}

void X11HotKeyBackend::regrab()
{
    // All old grabs go first: a key the new layout moved may now sit where
    // another registration's old grab is.
    for (auto &[reference, entry] : m_grabs)
        ungrab(entry);
    m_pressed.clear();
    for (auto &[reference, entry] : m_grabs)
        if (!grab(entry))
            qCDebug(lcX11, "keysym 0x%x is not grabbed in the new keyboard mapping", entry.keysym);
    xcb_flush(m_connection);
}

void X11HotKeyBackend::unregisterHotKey(Reference reference)
{
    const auto it = m_grabs.find(reference);
    if (it == m_grabs.end())
        return;
    ungrab(it->second);
    if (m_connection)
        xcb_flush(m_connection);
    std::erase_if(m_pressed, [reference](const auto &pressed) { return pressed.second == reference; });
    m_grabs.erase(it);
}

void X11HotKeyBackend::installEventHandler(EventHandler handler)
{
    m_handler = std::move(handler);
}

HotKeyStatus X11HotKeyBackend::deliver(const Grab &grab, quint32 kind)
{
    if (!m_handler)
        return kHotKeyEventNotHandled;
    HotKeyEvent event;
    event.kind = kind;
    event.hotKeyID = grab.id;
    // The handler may unregister this very grab; it is passed by copy.
    return m_handler(&event);
}

bool X11HotKeyBackend::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result)
{
    Q_UNUSED(result);
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    if (isMappingChange(message)) {
        // Qt reads the new mapping as well: the event is not consumed.
        scheduleRegrab();
        return false;
    }
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & ~0x80;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    const auto *key = static_cast<const xcb_key_press_event_t *>(message);
    if (key->event != m_root)
        return false;

    if (type == XCB_KEY_RELEASE) {
        const auto pressed = m_pressed.find(key->detail);
        if (pressed == m_pressed.end())
            return false;
        const Reference reference = pressed->second;
        m_pressed.erase(pressed);
        const auto grab = m_grabs.find(reference);
        if (grab == m_grabs.end())
            return false;
        return deliver(Grab(grab->second), HotKeyEvent::kReleased) == kHotKeyNoError;
    }

    const quint16 modifiers = key->state & kRelevantModifiers;
    for (const auto &[reference, grab] : m_grabs) {
        if (!grab.keycode || grab.keycode != key->detail || grab.modifiers != modifiers)
            continue;
        // Auto-repeat while the combination is held: one press only.
        if (m_pressed.contains(key->detail))
            return true;
        m_pressed[key->detail] = reference;
        return deliver(Grab(grab), HotKeyEvent::kPressed) == kHotKeyNoError;
    }
    return false;
}

bool X11HotKeyBackend::isMappingChange(const void *message) const
{
    const auto *event = static_cast<const xcb_generic_event_t *>(message);
    const quint8 type = event->response_type & ~0x80;
    if (type == XCB_MAPPING_NOTIFY) {
        const quint8 request = static_cast<const xcb_mapping_notify_event_t *>(message)->request;
        return request == XCB_MAPPING_MODIFIER || request == XCB_MAPPING_KEYBOARD;
    }
    // An XKEYBOARD event carries its own kind in the byte after the type.
    if (m_xkbEventBase && type == m_xkbEventBase)
        return event->pad0 == kXkbNewKeyboardNotify || event->pad0 == kXkbMapNotify;
    return false;
}

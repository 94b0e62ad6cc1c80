// SPDX-License-Identifier: MIT
#include "X11HotKeyBackend.h"
#include "XcbReply.h"

#include "Key.h"
#include "ModifierFlags.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QGuiApplication>

#include <cstdlib>
#include <memory>

#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>

namespace {

constexpr quint16 kRelevantModifiers =
    XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4;
constexpr int kModifierCount = 8;

struct NamedKeysym
{
    Key key;
    quint32 keysym;
};

// Keys whose keysym is not one of the contiguous runs below. The function key
// has no keysym of its own and is never grabbed.
constexpr NamedKeysym kNamedKeysyms[] = {
    {Key::period, XK_period},
    {Key::quote, XK_apostrophe},
    {Key::rightBracket, XK_bracketright},
    {Key::semicolon, XK_semicolon},
    {Key::slash, XK_slash},
    {Key::backslash, XK_backslash},
    {Key::comma, XK_comma},
    {Key::equal, XK_equal},
    {Key::grave, XK_grave},
    {Key::leftBracket, XK_bracketleft},
    {Key::minus, XK_minus},
    {Key::section, XK_section},
    {Key::space, XK_space},
    {Key::tab, XK_Tab},
    {Key::return_, XK_Return},
    {Key::command, XK_Super_L},
    {Key::rightCommand, XK_Super_R},
    {Key::option, XK_Alt_L},
    {Key::rightOption, XK_Alt_R},
    {Key::control, XK_Control_L},
    {Key::rightControl, XK_Control_R},
    {Key::shift, XK_Shift_L},
    {Key::rightShift, XK_Shift_R},
    {Key::capsLock, XK_Caps_Lock},
    {Key::pageUp, XK_Prior},
    {Key::pageDown, XK_Next},
    {Key::home, XK_Home},
    {Key::end, XK_End},
    {Key::upArrow, XK_Up},
    {Key::rightArrow, XK_Right},
    {Key::downArrow, XK_Down},
    {Key::leftArrow, XK_Left},
    {Key::keypadClear, XK_Clear},
    {Key::keypadDecimal, XK_KP_Decimal},
    {Key::keypadDivide, XK_KP_Divide},
    {Key::keypadEnter, XK_KP_Enter},
    {Key::keypadEquals, XK_KP_Equal},
    {Key::keypadMinus, XK_KP_Subtract},
    {Key::keypadMultiply, XK_KP_Multiply},
    {Key::keypadPlus, XK_KP_Add},
    {Key::escape, XK_Escape},
    {Key::delete_, XK_BackSpace},
    {Key::forwardDelete, XK_Delete},
    {Key::help, XK_Help},
    {Key::volumeUp, XF86XK_AudioRaiseVolume},
    {Key::volumeDown, XF86XK_AudioLowerVolume},
    {Key::mute, XF86XK_AudioMute},
};

struct KeyRun
{
    Key first;
    Key last;
    quint32 firstKeysym;
};

constexpr KeyRun kKeyRuns[] = {
    {Key::a, Key::z, XK_a},
    {Key::zero, Key::nine, XK_0},
    {Key::f1, Key::f20, XK_F1},
    {Key::keypad0, Key::keypad9, XK_KP_0},
};

quint32 keysymFor(Key key)
{
    const int k = static_cast<int>(key);
    for (const auto &run : kKeyRuns)
        if (k >= static_cast<int>(run.first) && k <= static_cast<int>(run.last))
            return run.firstKeysym + quint32(k - static_cast<int>(run.first));
    for (const auto &named : kNamedKeysyms)
        if (named.key == key)
            return named.keysym;
    return 0;
}

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
    QCoreApplication::instance()->installNativeEventFilter(this);
}

X11HotKeyBackend::~X11HotKeyBackend()
{
    // Hand the registrations back while this object can still ungrab them.
    detachFromController();
    for (const auto &[reference, grab] : m_grabs)
        ungrab(grab);
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

quint32 X11HotKeyBackend::keysymForCarbonKeyCode(quint32 carbonKeyCode)
{
    const auto key = keyFromCarbonKeyCode(carbonKeyCode);
    return key ? keysymFor(*key) : 0;
}

quint16 X11HotKeyBackend::x11Modifiers(quint32 carbonModifiers)
{
    quint16 out = 0;
    if (carbonModifiers & CarbonModifier::command)
        out |= XCB_MOD_MASK_4;
    if (carbonModifiers & CarbonModifier::option)
        out |= XCB_MOD_MASK_1;
    if (carbonModifiers & CarbonModifier::control)
        out |= XCB_MOD_MASK_CONTROL;
    if (carbonModifiers & CarbonModifier::shift)
        out |= XCB_MOD_MASK_SHIFT;
    return out;
}

quint8 X11HotKeyBackend::keycodeForKeysym(quint32 keysym) const
{
    // As XKeysymToKeycode: the first keycode carrying the keysym, searching
    // the unshifted column of every keycode first.
    const xcb_setup_t *setup = xcb_get_setup(m_connection);
    const xcb_keycode_t minKeycode = setup->min_keycode;
    const xcb_keycode_t maxKeycode = setup->max_keycode;
    XcbReply<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
        m_connection, xcb_get_keyboard_mapping(m_connection, minKeycode, maxKeycode - minKeycode + 1),
        nullptr));
    if (!reply)
        return 0;
    const xcb_keysym_t *keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int perKeycode = reply->keysyms_per_keycode;
    const int count = xcb_get_keyboard_mapping_keysyms_length(reply.get());
    for (int column = 0; column < perKeycode; ++column) {
        for (int keycode = minKeycode; keycode <= maxKeycode; ++keycode) {
            const int index = (keycode - minKeycode) * perKeycode + column;
            if (index < count && keysyms[index] == keysym)
                return quint8(keycode);
        }
    }
    return 0;
}

quint16 X11HotKeyBackend::numLockMask() const
{
    const quint8 numLock = keycodeForKeysym(XK_Num_Lock);
    if (!numLock)
        return 0;
    XcbReply<xcb_get_modifier_mapping_reply_t> reply(
        xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr));
    if (!reply)
        return 0;
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(reply.get());
    const int perModifier = reply->keycodes_per_modifier;
    for (int modifier = 0; modifier < kModifierCount; ++modifier)
        for (int i = 0; i < perModifier; ++i)
            if (keycodes[modifier * perModifier + i] == numLock)
                return quint16(1u << modifier);
    return 0;
}

QList<quint16> X11HotKeyBackend::variants(quint16 modifiers) const
{
    const quint16 numLock = numLockMask();
    QList<quint16> out;
    for (const quint16 extra :
         {quint16(0), quint16(XCB_MOD_MASK_LOCK), numLock, quint16(XCB_MOD_MASK_LOCK | numLock)})
        if (!out.contains(quint16(modifiers | extra)))
            out.append(quint16(modifiers | extra));
    return out;
}

std::optional<HotKeyBackend::Reference>
X11HotKeyBackend::registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers, EventHotKeyID id)
{
    if (!m_connection)
        return std::nullopt;
    const quint32 keysym = keysymForCarbonKeyCode(carbonKeyCode);
    const quint8 keycode = keysym ? keycodeForKeysym(keysym) : 0;
    if (!keycode)
        return std::nullopt;
    const Grab grab{keycode, x11Modifiers(carbonModifiers), id};
    // One process holds a combination once, as the desktop's own service does.
    for (const auto &[reference, existing] : m_grabs)
        if (existing.keycode == grab.keycode && existing.modifiers == grab.modifiers)
            return std::nullopt;

    // Checked requests: a refusal comes back here, not as a stray error in
    // the event queue.
    QList<xcb_void_cookie_t> cookies;
    for (const quint16 modifiers : variants(grab.modifiers))
        cookies.append(xcb_grab_key_checked(m_connection, 0, m_root, modifiers, keycode, XCB_GRAB_MODE_ASYNC,
                                            XCB_GRAB_MODE_ASYNC));
    // BadAccess when another client holds a variant; any error refuses the
    // whole registration.
    bool refused = false;
    for (const auto &cookie : cookies) {
        if (const XcbError error{xcb_request_check(m_connection, cookie)})
            refused = true;
    }
    if (refused) {
        ungrab(grab);
        xcb_flush(m_connection);
        return std::nullopt;
    }
    const Reference reference = m_nextReference++;
    m_grabs[reference] = grab;
    return reference;
}

void X11HotKeyBackend::ungrab(const Grab &grab)
{
    if (!m_connection)
        return;
    for (const quint16 modifiers : variants(grab.modifiers))
        xcb_ungrab_key(m_connection, grab.keycode, m_root, modifiers);
}

void X11HotKeyBackend::unregisterHotKey(Reference reference)
{
    const auto it = m_grabs.find(reference);
    if (it == m_grabs.end())
        return;
    ungrab(it->second);
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
        if (grab.keycode != key->detail || grab.modifiers != modifiers)
            continue;
        // Auto-repeat while the combination is held: one press only.
        if (m_pressed.contains(key->detail))
            return true;
        m_pressed[key->detail] = reference;
        return deliver(Grab(grab), HotKeyEvent::kPressed) == kHotKeyNoError;
    }
    return false;
}

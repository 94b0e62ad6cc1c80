// SPDX-License-Identifier: MIT
#pragma once

#include "EnumTable.h"

#include <QString>
#include <QStringView>

#include <optional>

// The keyboard keys a hot key can name, in their fixed order (the numbering
// is part of the interface). `return` and `delete` are C++ keywords, so those
// two cases carry a trailing underscore; their raw strings are "return" and
// "delete".
enum class Key {
    // clang-format off
    a, b, c, d, e, f, g, h, i, j, k, l, m, n, o, p, q, r, s, t, u, v, w, x, y, z,
    zero, one, two, three, four, five, six, seven, eight, nine,
    period, quote, rightBracket, semicolon, slash, backslash, comma, equal, grave, leftBracket, minus,
    section, space, tab, return_,
    command, rightCommand, option, rightOption, control, rightControl, shift, rightShift, function, capsLock,
    pageUp, pageDown, home, end, upArrow, rightArrow, downArrow, leftArrow,
    f1, f2, f3, f4, f5, f6, f7, f8, f9, f10, f11, f12, f13, f14, f15, f16, f17, f18, f19, f20,
    keypad0, keypad1, keypad2, keypad3, keypad4, keypad5, keypad6, keypad7, keypad8, keypad9,
    keypadClear, keypadDecimal, keypadDivide, keypadEnter, keypadEquals, keypadMinus, keypadMultiply, keypadPlus,
    escape, delete_, forwardDelete, help, volumeUp, volumeDown, mute
    // clang-format on
};

inline constexpr int kKeyCount = 114;
static_assert(static_cast<int>(Key::mute) + 1 == kKeyCount);

// rawValue() gives the key's name ("rightCommand"); description() and
// displayName() give its display glyph ("⌘").
template<> struct EnumTraits<Key>
{
    static std::span<const EnumRow<Key>> rows();
};

// The virtual key code of the key on an ANSI keyboard (a = 0 ... upArrow =
// 126): the numbering the stored key combos use, whatever the desktop.
quint32 virtualKeyCode(Key key);

// The key with that virtual key code, or nothing for codes no key has.
std::optional<Key> keyFromVirtualKeyCode(quint32 keyCode);

// The key in the desktop's own words: its XKB keysym, the number X11 grabs
// are looked up by, and the keysym's name, which the Wayland desktops' shortcut
// formats use ("a" 0x61, "Prior" 0xff55, "XF86AudioMute" 0x1008ff12).
struct XkbKeysym
{
    quint32 value = 0;
    const char *name = nullptr;
};

// Nothing for the function key, which no desktop reports as a key of its own.
std::optional<XkbKeysym> xkbKeysym(Key key);

// The key a piece of text names: the key's name in any letter case, or its
// character or glyph (see Key.cpp for which keys accept what). Anything else
// gives nothing.
std::optional<Key> keyFromString(QStringView text);

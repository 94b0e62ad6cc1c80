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

// The virtual key code of the key on an ANSI keyboard, in the Carbon
// numbering (kVK_ANSI_A = 0 ... kVK_UpArrow = 126) that the stored key combos
// use on every platform.
quint32 carbonKeyCode(Key key);

// The key with that virtual key code, or nothing for codes no key has.
std::optional<Key> keyFromCarbonKeyCode(quint32 carbonKeyCode);

// The key a piece of text names: the key's name in any letter case, or its
// character or glyph (see Key.cpp for which keys accept what). Anything else
// gives nothing.
std::optional<Key> keyFromString(QStringView text);

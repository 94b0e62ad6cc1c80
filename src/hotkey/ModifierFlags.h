// SPDX-License-Identifier: MIT
#pragma once

#include <QFlags>
#include <QtGlobal>

// The event modifier flags a parsed shortcut and KeyCombo::modifiers() are
// expressed in. The numbers are the desktop-independent values the system
// has always used (command 0x100000, option 0x80000, control 0x40000,
// shift 0x20000). On Linux command is the Super key and option is Alt.
enum class ModifierFlag : quint32 {
    shift = 0x20000,
    control = 0x40000,
    option = 0x80000,
    command = 0x100000,
};
Q_DECLARE_FLAGS(ModifierFlags, ModifierFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(ModifierFlags)

// The modifier mask that KeyCombo stores, the stored shortcuts' own numbering
// (command 0x100, shift 0x200, option 0x800, control 0x1000).
namespace ModifierMask {
inline constexpr quint32 command = 0x100;
inline constexpr quint32 shift = 0x200;
inline constexpr quint32 option = 0x800;
inline constexpr quint32 control = 0x1000;
} // namespace ModifierMask

// Bit-for-bit conversions between the two; bits the other side has no name
// for are dropped.
quint32 modifierMask(ModifierFlags flags);
ModifierFlags modifierFlags(quint32 modifierMask);

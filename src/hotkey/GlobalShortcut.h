// SPDX-License-Identifier: MIT
#pragma once

#include "HotKey.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The global shortcut as the user writes it in the settings ("⌃⌥⌘F",
// "cmd+shift+f", "Super+Shift+F", "Control-Option-Space"): modifiers named
// anywhere by glyph or word, and one key word.
struct ParsedShortcut
{
    std::optional<Key> key;
    ModifierFlags modifiers;
    bool operator==(const ParsedShortcut &) const = default;
};

// Modifiers are found by substring ("⌃"/"ctrl"/"control", "⌥"/"alt"/"option",
// "⌘"/"cmd"/"command"/"super"/"meta", "⇧"/"shift") in any letter case. The key is the last
// piece of the text, split at every character that is not a letter or digit,
// that names one of a-z, 0-9, space, return, tab, delete or backspace,
// escape or esc, f1-f12, left, right, up or down; otherwise there is no key.
ParsedShortcut parseShortcut(const QString &text);

// The shortcut as Linux users write it: the modifiers in the order Ctrl,
// Alt, Super, Shift, then the key's name, joined by "+" ("Ctrl+Alt+Super+F",
// "Super+Shift+F", "Ctrl+Alt+Space"). Empty without a key.
QString shortcutDisplayText(const ParsedShortcut &shortcut);

// What the settings show for a stored shortcut text: its display form when
// it names a key, otherwise the text itself (so that a text that names no
// key is shown as it is stored, to be corrected).
QString shortcutDisplayText(const QString &storedText);

// The text a recorded combination is stored as, in the form the stored
// shortcuts have always had: the modifier glyphs in the order ⌃⌥⇧⌘, then the
// key's word ("⌃⌥F", "⇧⌘F", "⌃⌥Space", "⌃⌥F5"). parseShortcut() reads it back
// as the same combination. Empty without a key.
QString shortcutStoredText(const ParsedShortcut &shortcut);

// The key a Qt key code stands for in a shortcut, among the keys the
// shortcut text has words for (letters, digits, Space, Return and Enter, Tab,
// Backspace, Esc, F1 to F12, the arrows); nothing for any other key.
std::optional<Key> shortcutKey(int qtKey);

// Whether the combination may be taken for the whole desktop: it holds
// Control, Alt or Super, or its key is a function key (F1 to F20). A plain
// letter or Esc (Shift alone counts as no modifier) would be taken from
// every other program.
bool isGlobalShortcutAllowed(const ParsedShortcut &shortcut);

// How registering a global shortcut went.
enum class ShortcutRegistration {
    registered,  // the desktop took it
    invalid,     // no key, or a combination isGlobalShortcutAllowed() refuses
    unavailable, // the session has no hot-key service
    refused,     // the desktop refused it (another program holds it)
};

// Registers `text` as the application's global shortcut with `controller`. Without a key, or
// for a combination isGlobalShortcutAllowed() refuses, the line "Invalid
// shortcut string: <text>" is logged and `hotKey` keeps what it held.
// Otherwise `hotKey` is replaced (the old one is unregistered) by a new hot
// key whose key-down handler queues `onKeyDown` on `owner`'s event loop, and
// only while `owner` exists. When the session has no hot-key service at all,
// nothing is made and "Failed to register global hotkey for: <text>" is
// logged. A combination the desktop refuses (another program holds it) keeps
// its hot key, which never fires, and reports `refused`.
ShortcutRegistration registerGlobalHotKey(HotKeysController &controller, const QString &text,
                                          std::unique_ptr<HotKey> &hotKey, QObject *owner,
                                          std::function<void()> onKeyDown);

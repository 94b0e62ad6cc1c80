#pragma once

#include "HotKey.h"

#include <QString>

#include <functional>
#include <memory>
#include <optional>

// The global shortcut as the user writes it in the settings ("⌃⌥⌘F",
// "cmd+shift+f", "Control-Option-Space"): modifiers named anywhere by glyph
// or word, and one key word.
struct ParsedShortcut
{
    std::optional<Key> key;
    ModifierFlags modifiers;
    bool operator==(const ParsedShortcut &) const = default;
};

// Modifiers are found by substring ("⌃"/"ctrl"/"control", "⌥"/"alt"/"option",
// "⌘"/"cmd"/"command", "⇧"/"shift") in any letter case. The key is the last
// piece of the text, split at every character that is not a letter or digit,
// that names one of a-z, 0-9, space, return, tab, delete, escape, f1-f12,
// left, right, up or down; otherwise there is no key.
ParsedShortcut parseShortcut(const QString &text);

// Whether the combination may be taken for the whole desktop: it holds
// Control, Alt or Super, or its key is a function key (F1 to F20). A plain
// letter or Esc (Shift alone counts as no modifier) would be taken from
// every other program.
bool isGlobalShortcutAllowed(const ParsedShortcut &shortcut);

// Registers `text` as the application's global shortcut with `controller`. Without a key, or
// for a combination isGlobalShortcutAllowed() refuses, the line "Invalid
// shortcut string: <text>" is logged and `hotKey` keeps what it held.
// Otherwise `hotKey` is replaced (the old one is unregistered) by a new hot
// key whose key-down handler queues `onKeyDown` on `owner`'s event loop, and
// only while `owner` exists. When the session has no hot-key service at all,
// nothing is made and "Failed to register global hotkey for: <text>" is
// logged. A combination the desktop refuses (another program holds it) is
// not detected: the hot key is made and never fires.
void registerGlobalHotKey(HotKeysController &controller, const QString &text, std::unique_ptr<HotKey> &hotKey,
                          QObject *owner, std::function<void()> onKeyDown);

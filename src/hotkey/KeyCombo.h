// SPDX-License-Identifier: MIT
#pragma once

#include "Key.h"
#include "ModifierFlags.h"

#include <QList>
#include <QVariantMap>

#include <functional>
#include <optional>

class QAction;

// A key and its modifiers, held as the virtual key code and the hot-key
// modifier mask: the stored and registered form of a shortcut. A plain
// value, compared field by field.
class KeyCombo
{
public:
    KeyCombo() = default;
    KeyCombo(quint32 keyCode, quint32 modifierMask);
    explicit KeyCombo(Key key, ModifierFlags modifiers = {});

    // Reads {"keyCode": integer, "modifiers": integer}; nothing when either
    // entry is missing, is not an integer or does not fit 32 unsigned bits.
    static std::optional<KeyCombo> fromDictionary(const QVariantMap &dictionary);

    // The stored form: the virtual key code (see virtualKeyCode()) and the
    // modifier mask (see ModifierMask).
    quint32 keyCode() const { return m_keyCode; }
    void setKeyCode(quint32 keyCode) { m_keyCode = keyCode; }
    quint32 modifierMask() const { return m_modifierMask; }
    void setModifierMask(quint32 modifierMask) { m_modifierMask = modifierMask; }

    // The key of the code, or nothing; setting nothing stores code 0.
    std::optional<Key> key() const;
    void setKey(std::optional<Key> key);
    ModifierFlags modifiers() const;
    void setModifiers(ModifierFlags modifiers);

    bool isValid() const { return true; }

    QVariantMap dictionary() const;
    // Modifier glyphs in the order ⌃⌥⇧⌘, then the key's glyph.
    QString description() const;

    bool operator==(const KeyCombo &) const = default;

    // Combinations that are already taken and a shortcut should avoid.
    // The desktop's own shortcuts: Linux desktops publish none in a common
    // form, so the list is empty.
    static QList<KeyCombo> systemKeyCombos();
    // The key equivalents of a main menu, depth-first in item order.
    // `submenuActions` gives the items of an action's submenu (empty when it
    // has none); menus are widgets, which this module does not link.
    using SubmenuActions = std::function<QList<QAction *>(const QAction *)>;
    static QList<KeyCombo> mainMenuKeyCombos(const QList<QAction *> &mainMenu,
                                             const SubmenuActions &submenuActions);
    // The usual application shortcuts (⌘, ⌘H ⌥⌘H ⌘Q ... ⇧⌘/), 46 of them.
    static QList<KeyCombo> standardKeyCombos();

private:
    quint32 m_keyCode = 0;
    quint32 m_modifierMask = 0;
};

// SPDX-License-Identifier: MIT
#include "KeyCombo.h"

#include <QAction>
#include <QKeySequence>

#include <limits>

namespace {

const QString kKeyCodeEntry = QStringLiteral("keyCode");
const QString kModifiersEntry = QStringLiteral("modifiers");

struct ModifierPair
{
    ModifierFlag flag;
    quint32 mask;
    const char *glyph;
};

// In display order: ⌃⌥⇧⌘.
constexpr ModifierPair kModifierPairs[] = {
    {ModifierFlag::control, ModifierMask::control, "\u2303"},
    {ModifierFlag::option, ModifierMask::option, "\u2325"},
    {ModifierFlag::shift, ModifierMask::shift, "\u21E7"},
    {ModifierFlag::command, ModifierMask::command, "\u2318"},
};

std::optional<quint32> unsignedInteger(const QVariant &value)
{
    bool ok = false;
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::SChar: {
        const qlonglong number = value.toLongLong(&ok);
        if (!ok || number < 0 || number > std::numeric_limits<quint32>::max())
            return std::nullopt;
        return static_cast<quint32>(number);
    }
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar: {
        const qulonglong number = value.toULongLong(&ok);
        if (!ok || number > std::numeric_limits<quint32>::max())
            return std::nullopt;
        return static_cast<quint32>(number);
    }
    default:
        return std::nullopt;
    }
}

// The text a menu item's key equivalent names, in the spelling keyFromString
// understands.
QString keyEquivalentText(Qt::Key key)
{
    switch (key) {
    case Qt::Key_Space:
        return QStringLiteral(" ");
    case Qt::Key_Return:
        return QStringLiteral("return");
    case Qt::Key_Enter:
        return QStringLiteral("keypadenter");
    case Qt::Key_Backspace:
        return QStringLiteral("delete");
    case Qt::Key_Delete:
        return QStringLiteral("forwarddelete");
    case Qt::Key_Escape:
        return QStringLiteral("escape");
    case Qt::Key_Left:
        return QStringLiteral("leftarrow");
    case Qt::Key_Right:
        return QStringLiteral("rightarrow");
    case Qt::Key_Up:
        return QStringLiteral("uparrow");
    case Qt::Key_Down:
        return QStringLiteral("downarrow");
    case Qt::Key_PageUp:
        return QStringLiteral("pageup");
    case Qt::Key_PageDown:
        return QStringLiteral("pagedown");
    case Qt::Key_VolumeUp:
        return QStringLiteral("volumeup");
    case Qt::Key_VolumeDown:
        return QStringLiteral("volumedown");
    case Qt::Key_VolumeMute:
        return QStringLiteral("mute");
    case Qt::Key_CapsLock:
        return QStringLiteral("capslock");
    case Qt::Key_QuoteDbl:
        return QStringLiteral("\"");
    default:
        return QKeySequence(key).toString(QKeySequence::PortableText);
    }
}

ModifierFlags modifierFlags(Qt::KeyboardModifiers modifiers)
{
    ModifierFlags out;
    if (modifiers & Qt::MetaModifier)
        out |= ModifierFlag::command;
    if (modifiers & Qt::AltModifier)
        out |= ModifierFlag::option;
    if (modifiers & Qt::ControlModifier)
        out |= ModifierFlag::control;
    if (modifiers & Qt::ShiftModifier)
        out |= ModifierFlag::shift;
    return out;
}

void appendMenuCombos(const QList<QAction *> &items, const KeyCombo::SubmenuActions &submenuActions,
                      QList<KeyCombo> &out)
{
    for (const QAction *item : items) {
        if (!item)
            continue;
        const QKeySequence shortcut = item->shortcut();
        if (!shortcut.isEmpty()) {
            const QKeyCombination combination = shortcut[0];
            if (const auto key = keyFromString(keyEquivalentText(combination.key())))
                out.append(KeyCombo(*key, modifierFlags(combination.keyboardModifiers())));
        }
        if (submenuActions)
            appendMenuCombos(submenuActions(item), submenuActions, out);
    }
}

} // namespace

quint32 modifierMask(ModifierFlags flags)
{
    quint32 out = 0;
    for (const auto &pair : kModifierPairs)
        if (flags.testFlag(pair.flag))
            out |= pair.mask;
    return out;
}

ModifierFlags modifierFlags(quint32 modifierMask)
{
    ModifierFlags out;
    for (const auto &pair : kModifierPairs)
        if (modifierMask & pair.mask)
            out |= pair.flag;
    return out;
}

KeyCombo::KeyCombo(quint32 keyCode, quint32 modifierMask) : m_keyCode(keyCode), m_modifierMask(modifierMask)
{}

KeyCombo::KeyCombo(Key key, ModifierFlags modifiers)
    : m_keyCode(virtualKeyCode(key)), m_modifierMask(::modifierMask(modifiers))
{}

std::optional<KeyCombo> KeyCombo::fromDictionary(const QVariantMap &dictionary)
{
    const auto code = unsignedInteger(dictionary.value(kKeyCodeEntry));
    const auto modifiers = unsignedInteger(dictionary.value(kModifiersEntry));
    if (!code || !modifiers)
        return std::nullopt;
    return KeyCombo(*code, *modifiers);
}

std::optional<Key> KeyCombo::key() const
{
    return keyFromVirtualKeyCode(m_keyCode);
}

void KeyCombo::setKey(std::optional<Key> key)
{
    m_keyCode = key ? virtualKeyCode(*key) : 0;
}

ModifierFlags KeyCombo::modifiers() const
{
    return modifierFlags(m_modifierMask);
}

void KeyCombo::setModifiers(ModifierFlags modifiers)
{
    m_modifierMask = ::modifierMask(modifiers);
}

QVariantMap KeyCombo::dictionary() const
{
    // Integers as the platform's "Int": 64-bit signed, which holds every
    // 32-bit unsigned value.
    return {{kKeyCodeEntry, qlonglong(m_keyCode)}, {kModifiersEntry, qlonglong(m_modifierMask)}};
}

QString KeyCombo::description() const
{
    QString out;
    for (const auto &pair : kModifierPairs)
        if (m_modifierMask & pair.mask)
            out += QString::fromUtf8(pair.glyph);
    if (const auto k = key())
        out += ::description(*k);
    return out;
}

QList<KeyCombo> KeyCombo::systemKeyCombos()
{
    return {};
}

QList<KeyCombo> KeyCombo::mainMenuKeyCombos(const QList<QAction *> &mainMenu,
                                            const SubmenuActions &submenuActions)
{
    QList<KeyCombo> out;
    appendMenuCombos(mainMenu, submenuActions, out);
    return out;
}

QList<KeyCombo> KeyCombo::standardKeyCombos()
{
    constexpr ModifierFlags cmd = ModifierFlag::command;
    constexpr ModifierFlags optCmd = ModifierFlag::option | ModifierFlag::command;
    constexpr ModifierFlags shiftCmd = ModifierFlag::shift | ModifierFlag::command;
    constexpr ModifierFlags ctrlCmd = ModifierFlag::control | ModifierFlag::command;
    constexpr ModifierFlags optShiftCmd = ModifierFlag::option | ModifierFlag::shift | ModifierFlag::command;
    return {
        KeyCombo(Key::comma, cmd),
        KeyCombo(Key::h, cmd),
        KeyCombo(Key::h, optCmd),
        KeyCombo(Key::q, cmd),
        KeyCombo(Key::n, cmd),
        KeyCombo(Key::o, cmd),
        KeyCombo(Key::w, cmd),
        KeyCombo(Key::s, cmd),
        KeyCombo(Key::s, shiftCmd),
        KeyCombo(Key::r, cmd),
        KeyCombo(Key::p, shiftCmd),
        KeyCombo(Key::p, cmd),
        KeyCombo(Key::z, cmd),
        KeyCombo(Key::z, shiftCmd),
        KeyCombo(Key::x, cmd),
        KeyCombo(Key::c, cmd),
        KeyCombo(Key::v, cmd),
        KeyCombo(Key::v, optShiftCmd),
        KeyCombo(Key::a, cmd),
        KeyCombo(Key::f, cmd),
        KeyCombo(Key::f, optCmd),
        KeyCombo(Key::g, cmd),
        KeyCombo(Key::g, shiftCmd),
        KeyCombo(Key::e, cmd),
        KeyCombo(Key::j, cmd),
        KeyCombo(Key::semicolon, shiftCmd),
        KeyCombo(Key::semicolon, cmd),
        KeyCombo(Key::t, cmd),
        KeyCombo(Key::b, cmd),
        KeyCombo(Key::i, cmd),
        KeyCombo(Key::u, cmd),
        KeyCombo(Key::equal, shiftCmd),
        KeyCombo(Key::minus, cmd),
        KeyCombo(Key::c, shiftCmd),
        KeyCombo(Key::c, optCmd),
        KeyCombo(Key::v, optCmd),
        KeyCombo(Key::leftBracket, shiftCmd),
        KeyCombo(Key::backslash, shiftCmd),
        KeyCombo(Key::rightBracket, shiftCmd),
        KeyCombo(Key::c, ctrlCmd),
        KeyCombo(Key::v, ctrlCmd),
        KeyCombo(Key::t, optCmd),
        KeyCombo(Key::s, ctrlCmd),
        KeyCombo(Key::f, ctrlCmd),
        KeyCombo(Key::m, cmd),
        KeyCombo(Key::slash, shiftCmd),
    };
}

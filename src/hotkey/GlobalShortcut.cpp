// SPDX-License-Identifier: MIT
#include "GlobalShortcut.h"

#include "HotKeysController.h"
#include "Logging.h"

#include <QHash>
#include <QPointer>

namespace {

struct ModifierWords
{
    ModifierFlag flag;
    std::initializer_list<const char *> words;
};

const ModifierWords kModifierWords[] = {
    {ModifierFlag::control, {"\u2303", "ctrl", "control"}},
    {ModifierFlag::option, {"\u2325", "alt", "option"}},
    {ModifierFlag::command, {"\u2318", "cmd", "command", "super", "meta"}},
    {ModifierFlag::shift, {"\u21E7", "shift"}},
};

// The key words of the shortcut text: the 57 it has always read, and the
// Linux names "backspace" and "esc" that the settings show.
const QHash<QString, Key> &keyWords()
{
    static const QHash<QString, Key> table = [] {
        QHash<QString, Key> out;
        for (int i = 0; i < 26; ++i)
            out.insert(QString(QChar(u'a' + i)), static_cast<Key>(static_cast<int>(Key::a) + i));
        for (int i = 0; i < 10; ++i)
            out.insert(QString(QChar(u'0' + i)), static_cast<Key>(static_cast<int>(Key::zero) + i));
        out.insert(QStringLiteral("space"), Key::space);
        out.insert(QStringLiteral("return"), Key::return_);
        out.insert(QStringLiteral("tab"), Key::tab);
        out.insert(QStringLiteral("delete"), Key::delete_);
        out.insert(QStringLiteral("escape"), Key::escape);
        out.insert(QStringLiteral("backspace"), Key::delete_);
        out.insert(QStringLiteral("esc"), Key::escape);
        for (int i = 0; i < 12; ++i)
            out.insert(QStringLiteral("f%1").arg(i + 1), static_cast<Key>(static_cast<int>(Key::f1) + i));
        out.insert(QStringLiteral("left"), Key::leftArrow);
        out.insert(QStringLiteral("right"), Key::rightArrow);
        out.insert(QStringLiteral("up"), Key::upArrow);
        out.insert(QStringLiteral("down"), Key::downArrow);
        return out;
    }();
    return table;
}

struct KeyName
{
    Key key;
    const char *display; // as Linux desktops name the key
    const char *word;    // the key word of the stored text
};

// The keys the shortcut text has words for, other than letters and digits.
constexpr KeyName kKeyNames[] = {
    {Key::space, "Space", "Space"},
    {Key::return_, "Return", "Return"},
    {Key::tab, "Tab", "Tab"},
    {Key::delete_, "Backspace", "Delete"},
    {Key::escape, "Esc", "Escape"},
    {Key::leftArrow, "Left", "Left"},
    {Key::rightArrow, "Right", "Right"},
    {Key::upArrow, "Up", "Up"},
    {Key::downArrow, "Down", "Down"},
};

bool isFunctionKey(Key key, int last)
{
    const int n = static_cast<int>(key) - static_cast<int>(Key::f1);
    return n >= 0 && n < last;
}

// The key's name for display or storage; empty for a key the shortcut text
// cannot name.
QString keyName(Key key, bool forDisplay)
{
    const int k = static_cast<int>(key);
    if (k >= static_cast<int>(Key::a) && k <= static_cast<int>(Key::z))
        return QString(QChar(u'A' + (k - static_cast<int>(Key::a))));
    if (k >= static_cast<int>(Key::zero) && k <= static_cast<int>(Key::nine))
        return QString(QChar(u'0' + (k - static_cast<int>(Key::zero))));
    if (isFunctionKey(key, 12))
        return QStringLiteral("F%1").arg(k - static_cast<int>(Key::f1) + 1);
    for (const auto &name : kKeyNames)
        if (name.key == key)
            return QString::fromLatin1(forDisplay ? name.display : name.word);
    return {};
}

} // namespace

ParsedShortcut parseShortcut(const QString &text)
{
    ParsedShortcut out;
    const QString lowered = text.toLower();
    for (const auto &modifier : kModifierWords) {
        for (const char *word : modifier.words) {
            if (lowered.contains(QString::fromUtf8(word))) {
                out.modifiers |= modifier.flag;
                break;
            }
        }
    }

    // Pieces of the text as written, split at every character that is not a
    // letter or digit; the last piece that is a key word wins.
    QStringList pieces;
    QString piece;
    for (const QChar c : text) {
        if (c.isLetterOrNumber()) {
            piece += c;
        } else {
            pieces.append(piece);
            piece.clear();
        }
    }
    pieces.append(piece);
    for (auto it = pieces.crbegin(); it != pieces.crend(); ++it) {
        const auto found = keyWords().constFind(it->toLower());
        if (found != keyWords().constEnd()) {
            out.key = *found;
            break;
        }
    }
    return out;
}

QString shortcutDisplayText(const ParsedShortcut &shortcut)
{
    if (!shortcut.key)
        return {};
    QStringList parts;
    if (shortcut.modifiers.testFlag(ModifierFlag::control))
        parts << QStringLiteral("Ctrl");
    if (shortcut.modifiers.testFlag(ModifierFlag::option))
        parts << QStringLiteral("Alt");
    if (shortcut.modifiers.testFlag(ModifierFlag::command))
        parts << QStringLiteral("Super");
    if (shortcut.modifiers.testFlag(ModifierFlag::shift))
        parts << QStringLiteral("Shift");
    parts << keyName(*shortcut.key, true);
    return parts.join(QLatin1Char('+'));
}

QString shortcutDisplayText(const QString &storedText)
{
    const ParsedShortcut parsed = parseShortcut(storedText);
    return parsed.key ? shortcutDisplayText(parsed) : storedText;
}

QString shortcutStoredText(const ParsedShortcut &shortcut)
{
    if (!shortcut.key)
        return {};
    const QString name = keyName(*shortcut.key, false);
    if (name.isEmpty())
        return {};
    QString out;
    if (shortcut.modifiers.testFlag(ModifierFlag::control))
        out += QChar(0x2303);
    if (shortcut.modifiers.testFlag(ModifierFlag::option))
        out += QChar(0x2325);
    if (shortcut.modifiers.testFlag(ModifierFlag::shift))
        out += QChar(0x21E7);
    if (shortcut.modifiers.testFlag(ModifierFlag::command))
        out += QChar(0x2318);
    return out + name;
}

std::optional<Key> shortcutKey(int qtKey)
{
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return static_cast<Key>(static_cast<int>(Key::a) + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return static_cast<Key>(static_cast<int>(Key::zero) + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12)
        return static_cast<Key>(static_cast<int>(Key::f1) + (qtKey - Qt::Key_F1));
    switch (qtKey) {
    case Qt::Key_Space:
        return Key::space;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return Key::return_;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return Key::tab;
    case Qt::Key_Backspace:
        return Key::delete_;
    case Qt::Key_Escape:
        return Key::escape;
    case Qt::Key_Left:
        return Key::leftArrow;
    case Qt::Key_Right:
        return Key::rightArrow;
    case Qt::Key_Up:
        return Key::upArrow;
    case Qt::Key_Down:
        return Key::downArrow;
    default:
        return std::nullopt;
    }
}

bool isGlobalShortcutAllowed(const ParsedShortcut &shortcut)
{
    if (!shortcut.key)
        return false;
    if (shortcut.modifiers.testAnyFlags(ModifierFlag::control | ModifierFlag::option | ModifierFlag::command))
        return true;
    const int key = static_cast<int>(*shortcut.key);
    return key >= static_cast<int>(Key::f1) && key <= static_cast<int>(Key::f20);
}

ShortcutRegistration registerGlobalHotKey(HotKeysController &controller, const QString &text,
                                          std::unique_ptr<HotKey> &hotKey, QObject *owner,
                                          std::function<void()> onKeyDown)
{
    const ParsedShortcut parsed = parseShortcut(text);
    if (!isGlobalShortcutAllowed(parsed)) {
        qCInfo(lcHotKey).noquote() << QStringLiteral("Invalid shortcut string: ") + text;
        return ShortcutRegistration::invalid;
    }
    const HotKeyBackend *backend = controller.backend();
    if (!backend || !backend->isAvailable()) {
        qCInfo(lcHotKey).noquote() << QStringLiteral("Failed to register global hotkey for: ") + text;
        return ShortcutRegistration::unavailable;
    }

    // Release the old registration first, so that re-registering the same
    // combination is not refused as taken.
    hotKey.reset();
    hotKey = std::make_unique<HotKey>(&controller, KeyCombo(*parsed.key, parsed.modifiers));
    hotKey->setKeyDownHandler([weakOwner = QPointer<QObject>(owner), onKeyDown = std::move(onKeyDown)] {
        if (!weakOwner || !onKeyDown)
            return;
        QMetaObject::invokeMethod(weakOwner.data(), onKeyDown, Qt::QueuedConnection);
    });
    return controller.isRegistered(hotKey.get()) ? ShortcutRegistration::registered
                                                 : ShortcutRegistration::refused;
}

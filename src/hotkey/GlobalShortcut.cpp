#include "GlobalShortcut.h"

#include "HotKeysController.h"

#include <QHash>
#include <QPointer>

#include <cstdio>

namespace {

struct ModifierWords
{
    ModifierFlag flag;
    std::initializer_list<const char *> words;
};

const ModifierWords kModifierWords[] = {
    {ModifierFlag::control, {"\u2303", "ctrl", "control"}},
    {ModifierFlag::option, {"\u2325", "alt", "option"}},
    {ModifierFlag::command, {"\u2318", "cmd", "command"}},
    {ModifierFlag::shift, {"\u21E7", "shift"}},
};

// The key words of the shortcut text (57 of them).
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

void logLine(const QString &line)
{
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
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

bool isGlobalShortcutAllowed(const ParsedShortcut &shortcut)
{
    if (!shortcut.key)
        return false;
    if (shortcut.modifiers.testAnyFlags(ModifierFlag::control | ModifierFlag::option | ModifierFlag::command))
        return true;
    const int key = static_cast<int>(*shortcut.key);
    return key >= static_cast<int>(Key::f1) && key <= static_cast<int>(Key::f20);
}

void registerGlobalHotKey(HotKeysController &controller, const QString &text, std::unique_ptr<HotKey> &hotKey,
                          QObject *owner, std::function<void()> onKeyDown)
{
    const ParsedShortcut parsed = parseShortcut(text);
    if (!isGlobalShortcutAllowed(parsed)) {
        logLine(QStringLiteral("Invalid shortcut string: ") + text);
        return;
    }
    const HotKeyBackend *backend = controller.backend();
    if (!backend || !backend->isAvailable()) {
        logLine(QStringLiteral("Failed to register global hotkey for: ") + text);
        return;
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
}

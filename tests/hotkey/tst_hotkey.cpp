// SPDX-License-Identifier: MIT
#include "FakeHotKeyBackend.h"
#include "GlobalShortcut.h"
#include "HotKey.h"
#include "HotKeysController.h"
#include "Key.h"
#include "KeyCombo.h"
#include "StdoutCapture.h"

#include <QAction>
#include <QHash>
#include <QSet>
#include <QTemporaryFile>
#include <QTest>

#include <cstdio>
#include <memory>
#include <unistd.h>

Q_DECLARE_METATYPE(std::optional<Key>)

namespace {

constexpr ModifierFlags kCmd = ModifierFlag::command;
constexpr ModifierFlags kCmdShift = ModifierFlag::command | ModifierFlag::shift;
constexpr ModifierFlags kCtrlOpt = ModifierFlag::control | ModifierFlag::option;
constexpr ModifierFlags kCtrlOptCmd = ModifierFlag::control | ModifierFlag::option | ModifierFlag::command;

} // namespace

class TestHotKey : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init()
    {
        m_backend = std::make_unique<FakeHotKeyBackend>();
        m_hotKeys = std::make_unique<HotKeysController>(m_backend.get());
    }
    void cleanup()
    {
        m_hotKeys.reset();
        m_backend.reset();
    }

    // Runs first, in a fresh process: numbering starts at 1 and moves on.
    void registrationNumbersStartAtOneAndAreNeverReused()
    {
        QVERIFY(m_hotKeys->hotKeys().isEmpty());
        HotKey first(m_hotKeys.get(), Key::f, kCmdShift);
        QCOMPARE(m_hotKeys->hotKeys().keys(), QList<quint32>{1});
        {
            HotKey second(m_hotKeys.get(), Key::g, kCmdShift);
            QCOMPARE(m_hotKeys->hotKeys().keys(), (QList<quint32>{1, 2}));
        }
        HotKey third(m_hotKeys.get(), Key::h, kCmdShift);
        QCOMPARE(m_hotKeys->hotKeys().keys(), (QList<quint32>{1, 3}));
        first.setPaused(true);
        first.setPaused(false);
        QCOMPARE(m_hotKeys->hotKeys().keys(), (QList<quint32>{3, 4}));
    }

    void keyCodes_data()
    {
        QTest::addColumn<Key>("key");
        QTest::addColumn<quint32>("code");
        const QList<std::pair<Key, quint32>> rows = {
            {Key::a, 0},
            {Key::s, 1},
            {Key::d, 2},
            {Key::f, 3},
            {Key::b, 11},
            {Key::q, 12},
            {Key::zero, 29},
            {Key::one, 18},
            {Key::equal, 24},
            {Key::minus, 27},
            {Key::quote, 39},
            {Key::section, 10},
            {Key::return_, 36},
            {Key::tab, 48},
            {Key::space, 49},
            {Key::grave, 50},
            {Key::delete_, 51},
            {Key::escape, 53},
            {Key::rightCommand, 54},
            {Key::command, 55},
            {Key::shift, 56},
            {Key::capsLock, 57},
            {Key::option, 58},
            {Key::control, 59},
            {Key::rightShift, 60},
            {Key::rightOption, 61},
            {Key::rightControl, 62},
            {Key::function, 63},
            {Key::f17, 64},
            {Key::keypadDecimal, 65},
            {Key::keypadMultiply, 67},
            {Key::keypadPlus, 69},
            {Key::keypadClear, 71},
            {Key::volumeUp, 72},
            {Key::volumeDown, 73},
            {Key::mute, 74},
            {Key::keypadDivide, 75},
            {Key::keypadEnter, 76},
            {Key::keypadMinus, 78},
            {Key::keypadEquals, 81},
            {Key::keypad0, 82},
            {Key::keypad7, 89},
            {Key::keypad8, 91},
            {Key::keypad9, 92},
            {Key::f5, 96},
            {Key::f3, 99},
            {Key::f10, 109},
            {Key::help, 114},
            {Key::home, 115},
            {Key::pageUp, 116},
            {Key::forwardDelete, 117},
            {Key::f4, 118},
            {Key::end, 119},
            {Key::f2, 120},
            {Key::pageDown, 121},
            {Key::f1, 122},
            {Key::leftArrow, 123},
            {Key::rightArrow, 124},
            {Key::downArrow, 125},
            {Key::upArrow, 126},
        };
        for (const auto &[key, code] : rows)
            QTest::newRow(qPrintable(rawValue(key))) << key << code;
    }
    void keyCodes()
    {
        QFETCH(Key, key);
        QFETCH(quint32, code);
        QCOMPARE(virtualKeyCode(key), code);
        QCOMPARE(keyFromVirtualKeyCode(code), std::optional<Key>(key));
    }

    // Every code from 0 to 126 belongs to exactly one key, except the gaps.
    void reverseLookupCoversEveryCodeButTheGaps()
    {
        const QSet<quint32> gaps = {52, 66, 68, 70, 77, 93, 94, 95, 102, 104, 108, 110, 112};
        QSet<quint32> seen;
        for (Key key : allCases<Key>()) {
            const quint32 code = virtualKeyCode(key);
            QVERIFY2(!seen.contains(code), qPrintable(rawValue(key)));
            seen.insert(code);
        }
        QCOMPARE(allCases<Key>().size(), kKeyCount);
        for (quint32 code = 0; code <= 126; ++code) {
            const auto key = keyFromVirtualKeyCode(code);
            QCOMPARE(key.has_value(), !gaps.contains(code));
            if (key)
                QCOMPARE(virtualKeyCode(*key), code);
        }
    }

    void reverseLookupGaps_data()
    {
        QTest::addColumn<quint32>("code");
        QTest::addColumn<std::optional<Key>>("key");
        QTest::newRow("52") << 52u << std::optional<Key>();
        QTest::newRow("112") << 112u << std::optional<Key>();
        QTest::newRow("127") << 127u << std::optional<Key>();
        QTest::newRow("128") << 128u << std::optional<Key>();
        QTest::newRow("max") << 0xFFFFFFFFu << std::optional<Key>();
        QTest::newRow("36") << 36u << std::optional<Key>(Key::return_);
        QTest::newRow("0") << 0u << std::optional<Key>(Key::a);
    }
    void reverseLookupGaps()
    {
        QFETCH(quint32, code);
        QFETCH(std::optional<Key>, key);
        QCOMPARE(keyFromVirtualKeyCode(code), key);
    }

    void keyFromString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<Key>>("key");
        const auto row = [](const char *name, const QString &text, std::optional<Key> key) {
            QTest::newRow(name) << text << key;
        };
        row("letter", "a", Key::a);
        row("upper-case letter", "Q", Key::q);
        row("rightcommand", "rightcommand", Key::rightCommand);
        row("RightCommand", "RightCommand", Key::rightCommand);
        row("keypadmultiply", "keypadmultiply", Key::keypadMultiply);
        row("forwarddelete", "forwarddelete", Key::forwardDelete);
        row("capslock", "capslock", Key::capsLock);
        row("pageup", "pageup", Key::pageUp);
        row("leftarrow", "leftarrow", Key::leftArrow);
        row("volumedown", "volumedown", Key::volumeDown);
        row("keypadenter", "keypadenter", Key::keypadEnter);
        row("digit name", "zero", Key::zero);
        row("digit", "0", Key::zero);
        row("bracket", "[", Key::leftBracket);
        row("double quote", "\"", Key::quote);
        row("apostrophe is nothing", "'", std::nullopt);
        row("backslash", "\\", Key::backslash);
        row("grave", "`", Key::grave);
        row("modifier letter grave", QStringLiteral("\u02CB"), Key::grave);
        row("fullwidth grave", QStringLiteral("\uFF40"), Key::grave);
        row("section", QStringLiteral("\u00A7"), Key::section);
        row("space character", " ", Key::space);
        row("space glyph", QStringLiteral("\u2423"), Key::space);
        row("tab character", "\t", Key::tab);
        row("carriage return", "\r", Key::return_);
        row("return glyph", QStringLiteral("\u21A9\uFE0E"), Key::return_);
        row("return symbol", QStringLiteral("\u23CE"), Key::return_);
        row("return arrow", QStringLiteral("\u2B90"), Key::return_);
        row("command glyph", QStringLiteral("\u2318"), Key::command);
        row("apple logo", QStringLiteral("\uF8FF"), Key::command);
        row("fn", "FN", Key::function);
        row("f1 glyph", QStringLiteral("\uF860F1"), Key::f1);
        row("f13 glyph", QStringLiteral("\uF861F13"), Key::f13);
        row("f20 name", "F20", Key::f20);
        row("keypad clear glyph", QStringLiteral("\u2327"), Key::keypadClear);
        row("help glyph", QStringLiteral("?\u20DD"), Key::help);
        row("loudspeaker", QStringLiteral("\U0001F50A"), Key::volumeUp);
        row("period is not the keypad", ".", Key::period);
        row("plus is nothing", "+", std::nullopt);
        row("multiply glyph is nothing", QStringLiteral("\U0001D5D1"), std::nullopt);
        row("keypad digit by name", "keypad5", Key::keypad5);
        row("return by name", "return", Key::return_);
        row("delete by name", "Delete", Key::delete_);
        row("empty", "", std::nullopt);
        row("enter", "enter", std::nullopt);
        row("left", "left", std::nullopt);
        row("two letters", "ab", std::nullopt);
        row("padded", " a", std::nullopt);
    }
    void keyFromString()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<Key>, key);
        QCOMPARE(::keyFromString(text), key);
    }

    // Every key is found by its name, and every key that is not found by name
    // only is found by its own glyph.
    void keyFromStringReadsNamesAndGlyphsBack()
    {
        const QSet<Key> nameOnly = {
            Key::rightCommand, Key::rightOption, Key::rightControl, Key::rightShift,  Key::keypad0,
            Key::keypad1,      Key::keypad2,     Key::keypad3,      Key::keypad4,     Key::keypad5,
            Key::keypad6,      Key::keypad7,     Key::keypad8,      Key::keypad9,     Key::keypadDecimal,
            Key::keypadDivide, Key::keypadEnter, Key::keypadEquals, Key::keypadMinus, Key::keypadMultiply,
            Key::keypadPlus};
        for (Key key : allCases<Key>()) {
            QCOMPARE(::keyFromString(rawValue(key)), std::optional<Key>(key));
            if (!nameOnly.contains(key))
                QCOMPARE(::keyFromString(description(key)), std::optional<Key>(key));
        }
    }

    void parseShortcut_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<Key>>("key");
        QTest::addColumn<ModifierFlags>("modifiers");
        const auto row = [](const QString &text, std::optional<Key> key, ModifierFlags modifiers) {
            QTest::newRow(qPrintable(text.isEmpty() ? QStringLiteral("(empty)") : text))
                << text << key << modifiers;
        };
        row(QString::fromUtf8("⌃⌥⌘F"), Key::f, kCtrlOptCmd);
        row(QString::fromUtf8("⌘⇧F"), Key::f, kCmdShift);
        row("cmd+shift+f", Key::f, kCmdShift);
        row("Command-Shift-D", Key::d, kCmdShift);
        row("Control-Option-Space", Key::space, kCtrlOpt);
        row("ctrl+alt+left", Key::leftArrow, kCtrlOpt);
        row("ctrl+alt+leftarrow", std::nullopt, kCtrlOpt);
        row("cmd+f13", std::nullopt, kCmd);
        row("cmd+f12", Key::f12, kCmd);
        row("cmd+shift", std::nullopt, kCmdShift);
        row("", std::nullopt, {});
        row("cmd+opt+d", Key::d, kCmd);
        row("F", Key::f, {});
        row("alt-Space", Key::space, ModifierFlag::option);
        row("a b", Key::b, {});
        row("CTRL+ALT+DELETE", Key::delete_, kCtrlOpt);
        row("ctrl+up", Key::upArrow, ModifierFlag::control);
        row("cmd+9", Key::nine, kCmd);
        row("shift+escape", Key::escape, ModifierFlag::shift);
        row("cmd + return", Key::return_, kCmd);
        row("cmd+f", Key::f, kCmd);
        row("controlf", std::nullopt, ModifierFlag::control);
        row("Super+Shift+F", Key::f, kCmdShift);
        row("Ctrl+Alt+Super+F", Key::f, kCtrlOptCmd);
        row("meta+k", Key::k, kCmd);
        row("Ctrl+Alt+Backspace", Key::delete_, kCtrlOpt);
        row("Shift+Esc", Key::escape, ModifierFlag::shift);
    }

    void shortcutTexts_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("default") << QString::fromUtf8("⌃⌥⌘F") << "Ctrl+Alt+Super+F";
        QTest::newRow("stored default") << QString::fromUtf8("⌘⇧F") << "Super+Shift+F";
        QTest::newRow("words") << "Control-Option-Space"
                               << "Ctrl+Alt+Space";
        QTest::newRow("backspace") << "ctrl+alt+delete"
                                   << "Ctrl+Alt+Backspace";
        QTest::newRow("escape") << "shift+escape"
                                << "Shift+Esc";
        QTest::newRow("arrow") << "cmd+left"
                               << "Super+Left";
        QTest::newRow("function key") << "F12"
                                      << "F12";
        QTest::newRow("no key: shown as stored") << QString::fromUtf8("⌃⌥") << QString::fromUtf8("⌃⌥");
        QTest::newRow("empty") << ""
                               << "";
    }
    void shortcutTexts()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(shortcutDisplayText(stored), shown);
    }

    // Every combination the recorder can make is stored as text the parser
    // reads back as that combination, and shown the same way.
    void recordedShortcutsReadBack()
    {
        QList<int> qtKeys;
        for (int k = Qt::Key_A; k <= Qt::Key_Z; ++k)
            qtKeys << k;
        for (int k = Qt::Key_0; k <= Qt::Key_9; ++k)
            qtKeys << k;
        for (int k = Qt::Key_F1; k <= Qt::Key_F12; ++k)
            qtKeys << k;
        qtKeys << Qt::Key_Space << Qt::Key_Return << Qt::Key_Enter << Qt::Key_Tab << Qt::Key_Backspace
               << Qt::Key_Escape << Qt::Key_Left << Qt::Key_Right << Qt::Key_Up << Qt::Key_Down;
        int combos = 0;
        for (const int qtKey : qtKeys) {
            const std::optional<Key> key = shortcutKey(qtKey);
            QVERIFY2(key, qPrintable(QString::number(qtKey, 16)));
            for (quint32 bits = 0; bits < 16; ++bits) {
                ModifierFlags modifiers;
                if (bits & 1)
                    modifiers |= ModifierFlag::control;
                if (bits & 2)
                    modifiers |= ModifierFlag::option;
                if (bits & 4)
                    modifiers |= ModifierFlag::command;
                if (bits & 8)
                    modifiers |= ModifierFlag::shift;
                const ParsedShortcut recorded{key, modifiers};
                const QString stored = shortcutStoredText(recorded);
                QCOMPARE(::parseShortcut(stored), recorded);
                QCOMPARE(shortcutDisplayText(stored), shortcutDisplayText(recorded));
                // What is shown, typed back in, is the same combination too.
                QCOMPARE(::parseShortcut(shortcutDisplayText(recorded)), recorded);
                ++combos;
            }
        }
        QCOMPARE(combos, 58 * 16);
        QCOMPARE(shortcutStoredText({Key::f, kCtrlOpt}), QString::fromUtf8("⌃⌥F"));
        QCOMPARE(shortcutStoredText({Key::f, kCmdShift}), QString::fromUtf8("⇧⌘F"));
        QCOMPARE(shortcutStoredText({Key::home, kCmd}), QString()); // no word for it
        QCOMPARE(shortcutKey(Qt::Key_Home), std::optional<Key>());
    }
    void parseShortcut()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<Key>, key);
        QFETCH(ModifierFlags, modifiers);
        const ParsedShortcut parsed = ::parseShortcut(text);
        QCOMPARE(parsed.key, key);
        QCOMPARE(parsed.modifiers, modifiers);
    }

    void modifierConversions_data()
    {
        QTest::addColumn<ModifierFlags>("flags");
        QTest::addColumn<quint32>("mask");
        QTest::newRow("none") << ModifierFlags() << 0u;
        QTest::newRow("command") << ModifierFlags(ModifierFlag::command) << 0x100u;
        QTest::newRow("shift") << ModifierFlags(ModifierFlag::shift) << 0x200u;
        QTest::newRow("option") << ModifierFlags(ModifierFlag::option) << 0x800u;
        QTest::newRow("control") << ModifierFlags(ModifierFlag::control) << 0x1000u;
        QTest::newRow("all") << (kCtrlOptCmd | ModifierFlag::shift) << 0x1B00u;
    }
    void modifierConversions()
    {
        QFETCH(ModifierFlags, flags);
        QFETCH(quint32, mask);
        KeyCombo combo(Key::k, flags);
        QCOMPARE(combo.modifierMask(), mask);
        QCOMPARE(combo.modifiers(), flags);
        QCOMPARE(KeyCombo(40, mask).modifiers(), flags);
    }

    void comboDropsUnknownModifierBits()
    {
        KeyCombo combo;
        // Caps lock (0x10000) and the function key (0x800000) have no bit in
        // the hot-key mask.
        combo.setModifiers(ModifierFlags::fromInt(0x10000 | 0x800000 | 0x100000));
        QCOMPARE(combo.modifierMask(), 0x100u);
        // alphaLock (0x400) and right-hand bits are not event flags.
        QCOMPARE(KeyCombo(3, 0x400 | 0x2000 | 0x200).modifiers(), ModifierFlags(ModifierFlag::shift));
    }

    void comboKey()
    {
        KeyCombo combo(Key::f, kCmd);
        QCOMPARE(combo.key(), std::optional<Key>(Key::f));
        combo.setKey(Key::escape);
        QCOMPARE(combo.keyCode(), 53u);
        combo.setKey(std::nullopt);
        QCOMPARE(combo.keyCode(), 0u);
        QCOMPARE(combo.key(), std::optional<Key>(Key::a));
        QCOMPARE(KeyCombo(52, 0).key(), std::optional<Key>());
        QVERIFY(KeyCombo(999, 0).isValid());
        QCOMPARE(KeyCombo(Key::f, kCmd), KeyCombo(3, 0x100));
        QVERIFY(KeyCombo(Key::f, kCmd) != KeyCombo(3, 0x200));
    }

    void comboDescription_data()
    {
        QTest::addColumn<KeyCombo>("combo");
        QTest::addColumn<QString>("text");
        QTest::newRow("all four") << KeyCombo(Key::k, kCtrlOptCmd | ModifierFlag::shift)
                                  << QString::fromUtf8("⌃⌥⇧⌘K");
        QTest::newRow("command shift") << KeyCombo(Key::f, kCmdShift) << QString::fromUtf8("⇧⌘F");
        QTest::newRow("plain key") << KeyCombo(Key::space, {}) << QString::fromUtf8("␣");
        QTest::newRow("function key") << KeyCombo(Key::f5, kCmd) << QStringLiteral("\u2318\uF860F5");
        QTest::newRow("code without key") << KeyCombo(52, 0x1000) << QString::fromUtf8("⌃");
        QTest::newRow("nothing") << KeyCombo(127, 0) << QString();
    }
    void comboDescription()
    {
        QFETCH(KeyCombo, combo);
        QFETCH(QString, text);
        QCOMPARE(combo.description(), text);
    }

    void comboDictionary_data()
    {
        QTest::addColumn<QVariantMap>("dictionary");
        QTest::addColumn<std::optional<KeyCombo>>("combo");
        const auto map = [](const QVariant &code, const QVariant &modifiers) {
            return QVariantMap{{"keyCode", code}, {"modifiers", modifiers}};
        };
        QTest::newRow("f with command") << map(3, 256) << std::optional<KeyCombo>(KeyCombo(Key::f, kCmd));
        QTest::newRow("64-bit integers")
            << map(qlonglong(49), qlonglong(0)) << std::optional<KeyCombo>(KeyCombo(Key::space, {}));
        QTest::newRow("unsigned integers")
            << map(49u, 0x1B00u) << std::optional<KeyCombo>(KeyCombo(49, 0x1B00));
        QTest::newRow("largest code")
            << map(qlonglong(0xFFFFFFFF), 0) << std::optional<KeyCombo>(KeyCombo(0xFFFFFFFF, 0));
        QTest::newRow("too large") << map(qlonglong(0x100000000), 0) << std::optional<KeyCombo>();
        QTest::newRow("negative") << map(-1, 0) << std::optional<KeyCombo>();
        QTest::newRow("text") << map("3", 256) << std::optional<KeyCombo>();
        QTest::newRow("floating point") << map(3.0, 256) << std::optional<KeyCombo>();
        QTest::newRow("boolean") << map(3, true) << std::optional<KeyCombo>();
        QTest::newRow("missing modifiers") << QVariantMap{{"keyCode", 3}} << std::optional<KeyCombo>();
        QTest::newRow("missing code") << QVariantMap{{"modifiers", 3}} << std::optional<KeyCombo>();
        QTest::newRow("empty") << QVariantMap() << std::optional<KeyCombo>();
    }
    void comboDictionary()
    {
        QFETCH(QVariantMap, dictionary);
        QFETCH(std::optional<KeyCombo>, combo);
        QCOMPARE(KeyCombo::fromDictionary(dictionary), combo);
        if (combo) {
            QCOMPARE(combo->dictionary().keys(), (QStringList{"keyCode", "modifiers"}));
            QCOMPARE(KeyCombo::fromDictionary(combo->dictionary()), combo);
        }
    }

    void standardKeyCombos()
    {
        const QList<KeyCombo> combos = KeyCombo::standardKeyCombos();
        QStringList texts;
        for (const KeyCombo &combo : combos)
            texts.append(combo.description());
        QCOMPARE(combos.size(), 46);
        QCOMPARE(texts.join(u' '),
                 QString::fromUtf8("⌘, ⌘H ⌥⌘H ⌘Q ⌘N ⌘O ⌘W ⌘S ⇧⌘S ⌘R ⇧⌘P ⌘P ⌘Z ⇧⌘Z ⌘X ⌘C ⌘V ⌥⇧⌘V ⌘A ⌘F ⌥⌘F "
                                   "⌘G ⇧⌘G ⌘E ⌘J ⇧⌘; ⌘; ⌘T ⌘B ⌘I ⌘U ⇧⌘= ⌘- ⇧⌘C ⌥⌘C ⌥⌘V ⇧⌘[ ⇧⌘\\ ⇧⌘] ⌃⌘C ⌃⌘V "
                                   "⌥⌘T ⌃⌘S ⌃⌘F ⌘M ⇧⌘/"));
        QVERIFY(KeyCombo::systemKeyCombos().isEmpty());
    }

    void mainMenuKeyCombos()
    {
        QObject owner;
        const auto action = [&owner](const char *shortcut) {
            auto *a = new QAction(&owner);
            a->setShortcut(
                QKeySequence::fromString(QString::fromLatin1(shortcut), QKeySequence::PortableText));
            return a;
        };
        QAction *file = action("");
        QAction *open = action("Meta+O");
        QAction *recent = action("");
        QAction *clear = action("Ctrl+Shift+Backspace");
        QAction *close = action("Meta+W");
        QAction *view = action("");
        QAction *left = action("Alt+Left");
        QAction *settings = action("Meta+,");
        const QHash<const QAction *, QList<QAction *>> submenus = {
            {file, {open, recent, close}},
            {recent, {clear}},
            {view, {left}},
        };
        const auto combos = KeyCombo::mainMenuKeyCombos(
            {file, view, settings}, [&submenus](const QAction *item) { return submenus.value(item); });
        QStringList texts;
        for (const KeyCombo &combo : combos)
            texts.append(combo.description());
        QCOMPARE(texts, QString::fromUtf8("⌘O ⌃⇧⌫ ⌘W ⌥← ⌘,").split(u' '));
        QVERIFY(KeyCombo::mainMenuKeyCombos({}, {}).isEmpty());
    }

    void registrationGoesToTheBackend()
    {
        QCOMPARE(m_backend->handlerInstalls, 0);
        HotKey hotKey(m_hotKeys.get(), Key::f, kCmdShift);
        QCOMPARE(m_backend->registrations.size(), size_t(1));
        const auto &[reference, registration] = *m_backend->registrations.begin();
        QCOMPARE(registration.key, Key::f);
        QCOMPARE(registration.modifiers, kCmdShift);
        QCOMPARE(registration.id.signature, HotKeysController::kSignature);

        const auto &boxes = m_hotKeys->hotKeys();
        QCOMPARE(boxes.size(), 1);
        const HotKeyBox &box = boxes.first();
        QCOMPARE(box.identifier, hotKey.identifier());
        QCOMPARE(box.hotKey.data(), &hotKey);
        QCOMPARE(box.registrationNumber, registration.id.id);
        QCOMPARE(box.backendReference, std::optional<HotKeyBackend::Reference>(reference));
        QCOMPARE(m_backend->handlerInstalls, 1);

        // The handler is installed once, and a repeated registration of the
        // same hot key changes nothing.
        HotKey other(m_hotKeys.get(), Key::g, kCmd);
        m_hotKeys->registerHotKey(&other);
        QCOMPARE(m_hotKeys->hotKeys().size(), 2);
        QCOMPARE(m_backend->handlerInstalls, 1);
        QVERIFY(!HotKey(m_hotKeys.get(), Key::f, kCmd).identifier().isNull());
        QVERIFY(hotKey.identifier() != other.identifier());
    }

    void pausingAndReleasingUnregister()
    {
        int presses = 0;
        auto hotKey = std::make_unique<HotKey>(m_hotKeys.get(), Key::f, kCmdShift, [&presses] { ++presses; });
        QCOMPARE(m_backend->deliver(Key::f, kCmdShift), kHotKeyNoError);
        QCOMPARE(presses, 1);

        const quint32 firstNumber = m_hotKeys->hotKeys().firstKey();
        hotKey->setPaused(true);
        QVERIFY(hotKey->isPaused());
        QVERIFY(m_hotKeys->hotKeys().isEmpty());
        QCOMPARE(m_backend->unregistered.size(), 1);
        QCOMPARE(m_backend->deliver(Key::f, kCmdShift), kHotKeyEventNotHandled);
        hotKey->setPaused(true);
        QCOMPARE(m_backend->unregistered.size(), 1);

        hotKey->setPaused(false);
        QVERIFY(m_hotKeys->hotKeys().firstKey() > firstNumber);
        QCOMPARE(m_backend->deliver(Key::f, kCmdShift), kHotKeyNoError);
        QCOMPARE(presses, 2);

        hotKey.reset();
        QVERIFY(m_hotKeys->hotKeys().isEmpty());
        QVERIFY(m_backend->registrations.empty());
        QCOMPARE(m_backend->deliver(Key::f, kCmdShift), kHotKeyEventNotHandled);
        QCOMPARE(presses, 2);
    }

    void refusedRegistrationKeepsItsBoxSilently()
    {
        HotKey holder(m_hotKeys.get(), Key::f, kCmdShift);
        StdoutCapture capture;
        HotKey refused(m_hotKeys.get(), Key::f, kCmdShift, [] { QFAIL("a refused hot key fired"); });
        QCOMPARE(m_hotKeys->hotKeys().size(), 2);
        QCOMPARE(m_hotKeys->hotKeys().last().backendReference, std::nullopt);
        QCOMPARE(capture.text(), QString());

        // Without a successful registration the handler is never installed.
        m_backend = std::make_unique<FakeHotKeyBackend>();
        m_backend->refuseAll = true;
        m_hotKeys->setBackend(m_backend.get());
        HotKey alone(m_hotKeys.get(), Key::g, kCmd);
        QCOMPARE(m_backend->handlerInstalls, 0);
        QVERIFY(!m_hotKeys->isEventHandlerInstalled());
    }

    void dispatchStatuses_data()
    {
        QTest::addColumn<bool>("missingEvent");
        QTest::addColumn<quint32>("kind");
        QTest::addColumn<bool>("foreignSignature");
        QTest::addColumn<bool>("unknownNumber");
        QTest::addColumn<qint32>("parameterStatus");
        QTest::addColumn<bool>("downHandler");
        QTest::addColumn<bool>("upHandler");
        QTest::addColumn<qint32>("status");
        QTest::addColumn<QString>("calls");
        QTest::newRow("pressed") << false << 5u << false << false << 0 << true << true << 0 << "down";
        QTest::newRow("released") << false << 6u << false << false << 0 << true << true << 0 << "up";
        QTest::newRow("pressed without handler")
            << false << 5u << false << false << 0 << false << true << -9874 << "";
        QTest::newRow("released without handler")
            << false << 6u << false << false << 0 << true << false << -9874 << "";
        QTest::newRow("other kind") << false << 7u << false << false << 0 << true << true << -9874 << "";
        QTest::newRow("missing event") << true << 5u << false << false << 0 << true << true << -9874 << "";
        QTest::newRow("unreadable identifier")
            << false << 5u << false << false << -9870 << true << true << -9870 << "";
        QTest::newRow("another program's signature")
            << false << 5u << true << false << 0 << true << true << -9874 << "";
        QTest::newRow("number not registered")
            << false << 5u << false << true << 0 << true << true << -9874 << "";
    }
    void dispatchStatuses()
    {
        QFETCH(bool, missingEvent);
        QFETCH(quint32, kind);
        QFETCH(bool, foreignSignature);
        QFETCH(bool, unknownNumber);
        QFETCH(qint32, parameterStatus);
        QFETCH(bool, downHandler);
        QFETCH(bool, upHandler);
        QFETCH(qint32, status);
        QFETCH(QString, calls);

        QString called;
        HotKey hotKey(m_hotKeys.get(), KeyCombo(Key::f, kCmd));
        if (downHandler)
            hotKey.setKeyDownHandler([&called] { called += QStringLiteral("down"); });
        if (upHandler)
            hotKey.setKeyUpHandler([&called] { called += QStringLiteral("up"); });

        HotKeyEvent event;
        event.kind = kind;
        event.hotKeyID = {HotKeysController::kSignature, m_hotKeys->hotKeys().firstKey()};
        event.parameterStatus = parameterStatus;
        if (foreignSignature)
            event.hotKeyID.signature = 0x41424344; // 'ABCD'
        if (unknownNumber)
            event.hotKeyID.id += 1000;
        QCOMPARE(m_hotKeys->handleEvent(missingEvent ? nullptr : &event), status);
        QCOMPARE(called, calls);
    }

    void handlerMayReleaseItsOwnHotKey()
    {
        int presses = 0;
        std::unique_ptr<HotKey> hotKey;
        hotKey = std::make_unique<HotKey>(m_hotKeys.get(), Key::q, kCmd, [&] {
            ++presses;
            hotKey.reset();
        });
        QCOMPARE(m_backend->deliver(Key::q, kCmd), kHotKeyNoError);
        QCOMPARE(presses, 1);
        QVERIFY(!hotKey);
        QVERIFY(m_hotKeys->hotKeys().isEmpty());
    }

    void changingTheBackendDropsItsRegistrations()
    {
        HotKey hotKey(m_hotKeys.get(), Key::f, kCmd, [] {});
        FakeHotKeyBackend other;
        m_hotKeys->setBackend(&other);
        QVERIFY(m_backend->registrations.empty());
        QCOMPARE(m_hotKeys->hotKeys().size(), 1);
        QCOMPARE(m_hotKeys->hotKeys().first().backendReference, std::nullopt);

        // A destroyed backend detaches itself; registering then fails quietly.
        HotKey second(m_hotKeys.get(), Key::g, kCmd, [] {});
        QCOMPARE(other.registrations.size(), size_t(1));
        m_hotKeys->setBackend(m_backend.get());
        m_hotKeys->setBackend(&other);
        m_backend.reset();
        QCOMPARE(m_hotKeys->backend(), &other);
    }

    void backendDestroyedFirst()
    {
        auto hotKey = std::make_unique<HotKey>(m_hotKeys.get(), Key::f, kCmd, [] {});
        m_backend.reset();
        QCOMPARE(m_hotKeys->backend(), nullptr);
        QCOMPARE(m_hotKeys->hotKeys().first().backendReference, std::nullopt);
        hotKey.reset();
        QVERIFY(m_hotKeys->hotKeys().isEmpty());
        HotKey later(m_hotKeys.get(), Key::g, kCmd);
        QCOMPARE(m_hotKeys->hotKeys().size(), 1);
    }

    void registerGlobalHotKey_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("serviceAvailable");
        QTest::addColumn<QString>("log");
        QTest::addColumn<quint32>("code");
        QTest::addColumn<quint32>("modifiers");
        QTest::newRow("default") << QString::fromUtf8("⌃⌥⌘F") << true << QString() << 3u << 0x1900u;
        // A combination without Control, Alt or Super would take the key from
        // every program; only the function keys may stand alone.
        QTest::newRow("plain letter refused") << "F" << true << "Invalid shortcut string: F\n" << 0u << 0u;
        QTest::newRow("lower-case letter refused") << "f" << true << "Invalid shortcut string: f\n"
                                                   << 0u << 0u;
        QTest::newRow("escape refused") << "Escape" << true << "Invalid shortcut string: Escape\n"
                                        << 0u << 0u;
        QTest::newRow("shift is no modifier here")
            << "shift+space" << true << "Invalid shortcut string: shift+space\n"
            << 0u << 0u;
        QTest::newRow("control and alt") << "ctrl+alt+f" << true << QString() << 3u << 0x1800u;
        QTest::newRow("super alone") << "cmd+escape" << true << QString() << 53u << 0x100u;
        QTest::newRow("function key alone") << "F12" << true << QString() << 111u << 0u;
        QTest::newRow("function key with shift") << "shift+f1" << true << QString() << 122u << 0x200u;
        QTest::newRow("no key") << "ctrl+alt+leftarrow" << true
                                << "Invalid shortcut string: ctrl+alt+leftarrow\n"
                                << 0u << 0u;
        QTest::newRow("empty") << "" << true << "Invalid shortcut string: \n" << 0u << 0u;
        QTest::newRow("typed control characters shown escaped")
            << "ctrl+\x1b[2J" << true << "Invalid shortcut string: ctrl+\\x1b[2J\n"
            << 0u << 0u;
        QTest::newRow("beyond f12") << "cmd+f13" << true << "Invalid shortcut string: cmd+f13\n" << 0u << 0u;
        QTest::newRow("no hot-key service")
            << "cmd+shift+f" << false << "Failed to register global hotkey for: cmd+shift+f\n"
            << 0u << 0u;
    }
    void registerGlobalHotKey()
    {
        QFETCH(QString, text);
        QFETCH(bool, serviceAvailable);
        QFETCH(QString, log);
        QFETCH(quint32, code);
        QFETCH(quint32, modifiers);

        QObject owner;
        int shown = 0;
        std::unique_ptr<HotKey> hotKey = std::make_unique<HotKey>(m_hotKeys.get(), Key::p, kCmd);
        const QUuid previous = hotKey->identifier();
        m_backend->available = serviceAvailable;

        StdoutCapture capture;
        const ShortcutRegistration result =
            ::registerGlobalHotKey(*m_hotKeys, text, hotKey, &owner, [&shown] { ++shown; });
        QCOMPARE(capture.text(), log);
        QCOMPARE(result, log.isEmpty()                ? ShortcutRegistration::registered
                         : log.startsWith(u"Invalid") ? ShortcutRegistration::invalid
                                                      : ShortcutRegistration::unavailable);

        if (!log.isEmpty()) {
            // The previous hot key stays as it was.
            QCOMPARE(hotKey->identifier(), previous);
            QVERIFY(m_backend->find(Key::p, kCmd));
            return;
        }
        QVERIFY(hotKey->identifier() != previous);
        QVERIFY(!m_backend->find(Key::p, kCmd));
        const KeyCombo combo(code, modifiers);
        QCOMPARE(hotKey->keyCombo(), combo);
        QVERIFY(!hotKey->keyUpHandler());

        // The press is answered at once; the work runs on the next turn of
        // the event loop.
        QCOMPARE(m_backend->deliver(*combo.key(), combo.modifiers()), kHotKeyNoError);
        QCOMPARE(shown, 0);
        QTRY_COMPARE(shown, 1);
        QCOMPARE(m_backend->deliver(*combo.key(), combo.modifiers(), HotKeyEvent::kReleased),
                 kHotKeyEventNotHandled);
    }

    void reRegisteringTheSameShortcutKeepsItWorking()
    {
        QObject owner;
        int shown = 0;
        std::unique_ptr<HotKey> hotKey;
        ::registerGlobalHotKey(*m_hotKeys, QStringLiteral("cmd+shift+f"), hotKey, &owner,
                               [&shown] { ++shown; });
        ::registerGlobalHotKey(*m_hotKeys, QStringLiteral("Command-Shift-F"), hotKey, &owner,
                               [&shown] { ++shown; });
        QCOMPARE(m_hotKeys->hotKeys().size(), 1);
        QVERIFY(m_hotKeys->hotKeys().first().backendReference.has_value());
        QCOMPARE(m_backend->deliver(Key::f, kCmdShift), kHotKeyNoError);
        QTRY_COMPARE(shown, 1);
    }

    // A combination the desktop refuses is reported as refused (its hot key
    // never fires); the next one taken is registered.
    void refusedShortcutIsReported()
    {
        QObject owner;
        std::unique_ptr<HotKey> hotKey;
        m_backend->refuseAll = true;
        QCOMPARE(::registerGlobalHotKey(*m_hotKeys, QStringLiteral("ctrl+alt+f"), hotKey, &owner, [] {}),
                 ShortcutRegistration::refused);
        QVERIFY(!m_hotKeys->isRegistered(hotKey.get()));
        m_backend->refuseAll = false;
        QCOMPARE(::registerGlobalHotKey(*m_hotKeys, QStringLiteral("ctrl+alt+g"), hotKey, &owner, [] {}),
                 ShortcutRegistration::registered);
        QVERIFY(m_hotKeys->isRegistered(hotKey.get()));
        QCOMPARE(m_hotKeys->hotKeys().size(), 1);
    }

    void pressAfterOwnerIsGoneDoesNothing()
    {
        int shown = 0;
        std::unique_ptr<HotKey> hotKey;
        {
            QObject owner;
            ::registerGlobalHotKey(*m_hotKeys, QStringLiteral("cmd+shift+f"), hotKey, &owner,
                                   [&shown] { ++shown; });
            // Queued, then the owner goes before the queue runs.
            QCOMPARE(m_backend->deliver(Key::f, kCmdShift), kHotKeyNoError);
        }
        QCoreApplication::processEvents();
        QCOMPARE(m_backend->deliver(Key::f, kCmdShift), kHotKeyNoError);
        QCoreApplication::processEvents();
        QCOMPARE(shown, 0);
    }

private:
    std::unique_ptr<FakeHotKeyBackend> m_backend;
    std::unique_ptr<HotKeysController> m_hotKeys;
};

QTEST_MAIN(TestHotKey)
#include "tst_hotkey.moc"

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

// One of the 16 combinations of the four modifiers.
ModifierFlags modifiersFromBits(quint32 bits)
{
    ModifierFlags out;
    const ModifierFlag flags[] = {ModifierFlag::control, ModifierFlag::option, ModifierFlag::command,
                                  ModifierFlag::shift};
    for (int i = 0; i < 4; ++i)
        if (bits & (1u << i))
            out |= flags[i];
    return out;
}

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

    // Every code from 0 to 126 belongs to exactly one key, except the gaps;
    // nothing above it belongs to any.
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
        for (const quint32 code : {127u, 128u, 0xFFFFFFFFu})
            QCOMPARE(keyFromVirtualKeyCode(code), std::optional<Key>());
    }

    // Names and glyphs are read back by keyFromStringReadsNamesAndGlyphsBack;
    // these are the other spellings and what must not be read as a key.
    void keyFromString_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<std::optional<Key>>("key");
        const auto row = [](const char *name, const QString &text, std::optional<Key> key) {
            QTest::newRow(name) << text << key;
        };
        row("upper-case letter", "Q", Key::q);
        row("name in lower case", "rightcommand", Key::rightCommand);
        row("name in mixed case", "RightCommand", Key::rightCommand);
        row("glyph in upper case", "FN", Key::function);
        row("apostrophe is nothing", "'", std::nullopt);
        row("modifier letter grave", QStringLiteral("\u02CB"), Key::grave);
        row("fullwidth grave", QStringLiteral("\uFF40"), Key::grave);
        row("space character", " ", Key::space);
        row("tab character", "\t", Key::tab);
        row("carriage return", "\r", Key::return_);
        row("return symbol", QStringLiteral("\u23CE"), Key::return_);
        row("return arrow", QStringLiteral("\u2B90"), Key::return_);
        row("apple logo", QStringLiteral("\uF8FF"), Key::command);
        row("digit is not the keypad", "0", Key::zero);
        row("period is not the keypad", ".", Key::period);
        row("plus is nothing", "+", std::nullopt);
        row("multiply glyph is nothing", QStringLiteral("\U0001D5D1"), std::nullopt);
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

    void parseShortcut()
    {
        QFETCH(QString, text);
        QFETCH(std::optional<Key>, key);
        QFETCH(ModifierFlags, modifiers);
        const ParsedShortcut parsed = ::parseShortcut(text);
        QCOMPARE(parsed.key, key);
        QCOMPARE(parsed.modifiers, modifiers);
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
                const ParsedShortcut recorded{key, modifiersFromBits(bits)};
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

    // Flags and the hot-key mask convert both ways for every combination,
    // each to its own mask; bits either side has no place for are dropped.
    void comboModifiers()
    {
        QCOMPARE(KeyCombo(Key::k, kCtrlOptCmd | ModifierFlag::shift).modifierMask(), 0x1B00u);
        QSet<quint32> masks;
        for (quint32 bits = 0; bits < 16; ++bits) {
            const ModifierFlags flags = modifiersFromBits(bits);
            const KeyCombo combo(Key::k, flags);
            QCOMPARE(combo.modifiers(), flags);
            QCOMPARE(KeyCombo(40, combo.modifierMask()).modifiers(), flags);
            masks.insert(combo.modifierMask());
        }
        QCOMPARE(masks.size(), 16);
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
        combo.setKey(std::nullopt);
        QCOMPARE(combo.keyCode(), 0u);
        QCOMPARE(KeyCombo(52, 0).key(), std::optional<Key>()); // a gap
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

    // The handler is installed with the first registration and only then,
    // and a repeated registration of the same hot key changes nothing.
    void registrationGoesToTheBackend()
    {
        QCOMPARE(m_backend->handlerInstalls, 0);
        HotKey hotKey(m_hotKeys.get(), Key::f, kCmdShift);
        QCOMPARE(m_backend->registrations.size(), size_t(1));
        const auto &registration = m_backend->registrations.begin()->second;
        QCOMPARE(registration.key, Key::f);
        QCOMPARE(registration.modifiers, kCmdShift);
        QCOMPARE(registration.id.signature, HotKeysController::kSignature);
        QCOMPARE(m_hotKeys->hotKeys().first().registrationNumber, registration.id.id);
        QCOMPARE(m_backend->handlerInstalls, 1);

        HotKey other(m_hotKeys.get(), Key::g, kCmd);
        m_hotKeys->registerHotKey(&other);
        QCOMPARE(m_hotKeys->hotKeys().size(), 2);
        QCOMPARE(m_backend->registrations.size(), size_t(2));
        QCOMPARE(m_backend->handlerInstalls, 1);
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
        const auto registered = [](const char *name, const QString &text, quint32 code, quint32 modifiers) {
            QTest::newRow(name) << text << true << QString() << code << modifiers;
        };
        const auto invalid = [](const char *name, const QString &text, const QString &shown = {}) {
            const QString log =
                QStringLiteral("Invalid shortcut string: %1\n").arg(shown.isNull() ? text : shown);
            QTest::newRow(name) << text << true << log << 0u << 0u;
        };
        registered("default", QString::fromUtf8("⌃⌥⌘F"), 3, 0x1900);
        // A combination without Control, Alt or Super would take the key from
        // every program; only the function keys may stand alone.
        invalid("plain letter refused", "F");
        invalid("escape refused", "Escape");
        invalid("shift is no modifier here", "shift+space");
        registered("control and alt", "ctrl+alt+f", 3, 0x1800);
        registered("super alone", "cmd+escape", 53, 0x100);
        registered("function key alone", "F12", 111, 0);
        registered("function key with shift", "shift+f1", 122, 0x200);
        invalid("no key", "ctrl+alt+leftarrow");
        invalid("empty", "");
        invalid("typed control characters shown escaped", "ctrl+\x1b[2J", "ctrl+\\x1b[2J");
        invalid("beyond f12", "cmd+f13");
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

// SPDX-License-Identifier: MIT
// Small platform services that need no display: the autostart entry, the
// boot time, the portal's colour-scheme values, the shortcut portal's
// trigger text and the tray item's pixmaps.
#include "BootTime.h"
#include "DesktopEntries.h"
#include "GlobalShortcut.h"
#include "KeyCombo.h"
#include "LoginItem.h"
#include "PortalColorScheme.h"
#include "PortalHotKeyBackend.h"
#include "StatusNotifierItem.h"
#include "XdgAppOpener.h"

#include <QDBusVariant>
#include <QDir>

#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>

class TestPlatform : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The entry starts this program with the login mark (which tells a start
    // by the session from a manual one), however the path must be quoted.
    void autostartEntry_data()
    {
        QTest::addColumn<QString>("program");
        QTest::newRow("plain") << "/usr/bin/lumora";
        QTest::newRow("space") << "/opt/my apps/lumora";
        QTest::newRow("quote and dollar") << "/tmp/a\"b$c/lumora";
        QTest::newRow("backslash") << "/tmp/a\\b/lumora";
    }
    void autostartEntry()
    {
        QFETCH(QString, program);
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        XdgAutostartLoginItem item(program);
        const QStringList started{program, QStringLiteral("--login")};
        QVERIFY(!item.isRegistered());
        QString error;
        QVERIFY(item.unregisterItem(&error)); // nothing to remove is fine
        QVERIFY2(item.registerItem(&error), qPrintable(error));
        QVERIFY(item.isRegistered());
        // As the session reads it.
        const QString path = XdgAutostartLoginItem::autostartFilePath();
        QVERIFY(path.startsWith(config.path()));
        QCOMPARE(DesktopEntries::execArguments(*DesktopEntries::find(path)), started);

        // An entry of an older version (no mark) is brought up to date.
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(QStringLiteral("[Desktop Entry]\nType=Application\nName=Lumora\nExec=%1\n")
                       .arg(program)
                       .toUtf8());
        file.close();
        QVERIFY(item.registerItem(&error)); // again: replaced, not duplicated
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()).count(QLatin1String("Exec=")), 1);
        file.close();
        QCOMPARE(DesktopEntries::execArguments(*DesktopEntries::find(path)), started);
        QVERIFY(item.unregisterItem(&error));
        QVERIFY(!item.isRegistered());
    }

    void autostartFailureIsReadable()
    {
        QTemporaryDir config;
        // A file where the autostart folder should be.
        QFile blocker(config.filePath(QStringLiteral("autostart")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        XdgAutostartLoginItem item(QStringLiteral("/usr/bin/lumora"));
        QString error;
        QVERIFY(!item.registerItem(&error));
        QVERIFY(!error.isEmpty());
    }

    // The entry's Exec line is run as it stands, with no shell between: shell
    // syntax in an argument reaches the program literally.
    void openApplicationFromDesktopEntry()
    {
        QTemporaryDir data;
        QTemporaryDir out;
        qputenv("XDG_DATA_HOME", data.path().toUtf8());
        qputenv("XDG_DATA_DIRS", data.filePath(QStringLiteral("none")).toUtf8());
        QDir().mkpath(data.filePath(QStringLiteral("applications")));
        const QString target = out.filePath(QStringLiteral("opened;$(id)"));
        QFile entry(data.filePath(QStringLiteral("applications/lumora-opener-test.desktop")));
        QVERIFY(entry.open(QIODevice::WriteOnly));
        entry.write("[Desktop Entry]\nType=Application\nName=Opener test\nExec=/usr/bin/touch \"" +
                    target.toUtf8() + "\" %U\n");
        entry.close();

        QCOMPARE(XdgAppOpener::commandFor(QStringLiteral("lumora-opener-test")),
                 (QStringList{QStringLiteral("/usr/bin/touch"), target}));
        QVERIFY(XdgAppOpener::commandFor(QStringLiteral("no-such-app")).isEmpty());
        QVERIFY(XdgAppOpener::commandFor(QString()).isEmpty());
        XdgAppOpener opener;
        opener.openApplication(QStringLiteral("no-such-app")); // nothing happens
        opener.openApplication(QStringLiteral("lumora-opener-test"));
        QTRY_VERIFY(QFileInfo::exists(target));
        QCOMPARE(QDir(out.path()).entryList(QDir::Files).size(), 1);
        qunsetenv("XDG_DATA_DIRS");
    }

    // What the portal's color-scheme values mean, however they are wrapped;
    // anything else leaves the palette to decide.
    void colorSchemeValues_data()
    {
        using Preference = DesktopColorScheme::Preference;
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<Preference>("preference");
        const auto wrapped = [](const QVariant &v) { return QVariant::fromValue(QDBusVariant(v)); };
        QTest::newRow("no preference") << QVariant(0u) << Preference::none;
        QTest::newRow("prefer dark") << QVariant(1u) << Preference::dark;
        QTest::newRow("prefer light") << QVariant(2u) << Preference::light;
        QTest::newRow("dark, once wrapped") << wrapped(1u) << Preference::dark;
        QTest::newRow("light, twice wrapped") << wrapped(wrapped(2u)) << Preference::light;
        QTest::newRow("unknown number") << QVariant(7u) << Preference::none;
        QTest::newRow("a string") << QVariant(QStringLiteral("1")) << Preference::none;
        QTest::newRow("a double") << QVariant(1.0) << Preference::none;
        QTest::newRow("nothing") << QVariant() << Preference::none;
    }
    void colorSchemeValues()
    {
        QFETCH(QVariant, value);
        QFETCH(DesktopColorScheme::Preference, preference);
        QCOMPARE(PortalColorScheme::fromValue(value), preference);
    }

    // A stored shortcut as the preferred trigger of the shortcut portal:
    // modifiers CTRL, ALT, SHIFT, LOGO in that order, the key by its XKB
    // keysym name.
    void portalTrigger_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("the default") << QStringLiteral("\u2303\u2325\u2318F")
                                     << QStringLiteral("CTRL+ALT+LOGO+f");
        QTest::newRow("all four, in order")
            << QStringLiteral("Shift+Super+Alt+Ctrl+K") << QStringLiteral("CTRL+ALT+SHIFT+LOGO+k");
        QTest::newRow("space") << QStringLiteral("\u2303\u2325Space") << QStringLiteral("CTRL+ALT+space");
        QTest::newRow("return") << QStringLiteral("Super+Return") << QStringLiteral("LOGO+Return");
        QTest::newRow("backspace") << QStringLiteral("Ctrl+Backspace") << QStringLiteral("CTRL+BackSpace");
        QTest::newRow("escape") << QStringLiteral("Alt+Esc") << QStringLiteral("ALT+Escape");
        QTest::newRow("digit") << QStringLiteral("\u2303\u23251") << QStringLiteral("CTRL+ALT+1");
        QTest::newRow("arrow") << QStringLiteral("Ctrl+Alt+Left") << QStringLiteral("CTRL+ALT+Left");
        QTest::newRow("function key alone") << QStringLiteral("F12") << QStringLiteral("F12");
        QTest::newRow("function key") << QStringLiteral("\u2303\u2325F5") << QStringLiteral("CTRL+ALT+F5");
    }
    void portalTrigger()
    {
        QFETCH(QString, stored);
        QFETCH(QString, trigger);
        const ParsedShortcut parsed = parseShortcut(stored);
        QVERIFY(parsed.key);
        QCOMPARE(PortalHotKeyBackend::preferredTrigger(*parsed.key, parsed.modifiers), trigger);
    }
    // The function key has no keysym and so no trigger: it is not registered
    // with the portal.
    void portalTriggerWithoutKeysym()
    {
        QCOMPARE(PortalHotKeyBackend::preferredTrigger(Key::function, ModifierFlag::control), QString());
    }

    // The item's pixmaps are ARGB32 in network byte order, one per size.
    void trayPixmaps()
    {
        QImage image(2, 1, QImage::Format_ARGB32);
        image.setPixel(0, 0, qRgba(0x11, 0x22, 0x33, 0xFF));
        image.setPixel(1, 0, qRgba(0xAA, 0xBB, 0xCC, 0xFF));
        QIcon icon;
        icon.addPixmap(QPixmap::fromImage(image));
        const auto pixmaps = StatusNotifierItem::pixmapsOf(icon);
        QCOMPARE(pixmaps.size(), 1);
        QCOMPARE(pixmaps.first().width, 2);
        QCOMPARE(pixmaps.first().height, 1);
        QCOMPARE(pixmaps.first().bytes, QByteArray::fromHex("ff112233"
                                                            "ffaabbcc"));
        QVERIFY(StatusNotifierItem::pixmapsOf(QIcon()).isEmpty());
    }

    void bootTime_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("expected"); // -1: absent
        QTest::newRow("typical") << QByteArray("cpu  1 2 3\nintr 5\nctxt 9\nbtime 1765000000\nprocesses 3\n")
                                 << qint64(1765000000);
        QTest::newRow("missing") << QByteArray("cpu 1 2\n") << qint64(-1);
        QTest::newRow("garbage") << QByteArray("btime soon\n") << qint64(-1);
        QTest::newRow("empty") << QByteArray() << qint64(-1);
        QTest::newRow("btimex is another key") << QByteArray("btimex 5\n") << qint64(-1);
    }
    void bootTime()
    {
        QFETCH(QByteArray, text);
        QFETCH(qint64, expected);
        const auto parsed = BootTime::parse(text);
        QCOMPARE(parsed.has_value(), expected >= 0);
        if (parsed)
            QCOMPARE(parsed->toSecsSinceEpoch(), expected);
    }

    void bootTimeOfThisMachine()
    {
        const auto boot = BootTime::read();
        QVERIFY(boot.has_value());
        QVERIFY(*boot < QDateTime::currentDateTimeUtc());
        QVERIFY(!BootTime::read(QStringLiteral("/nonexistent/stat")).has_value());
    }
};

QTEST_MAIN(TestPlatform)
#include "tst_platform.moc"

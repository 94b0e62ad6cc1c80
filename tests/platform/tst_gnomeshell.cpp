// SPDX-License-Identifier: MIT
// The forms the GNOME Shell backend turns values into: the key combination
// GNOME binds, the countdown the top bar shows, GNOME's list of enabled
// extensions as gsettings prints and takes it.
#include "GnomeShellHotKeyBackend.h"
#include "GnomeShellIndicator.h"
#include "GnomeShellSetup.h"

#include <QTest>

class TestGnomeShell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void acceleratorFromTrigger_data()
    {
        QTest::addColumn<QString>("trigger");
        QTest::addColumn<QString>("accelerator");
        QTest::newRow("all four") << QStringLiteral("CTRL+ALT+SHIFT+LOGO+f")
                                  << QStringLiteral("<Control><Alt><Shift><Super>f");
        QTest::newRow("one") << QStringLiteral("LOGO+Return") << QStringLiteral("<Super>Return");
        QTest::newRow("bare key") << QStringLiteral("F12") << QStringLiteral("F12");
        QTest::newRow("unknown modifier") << QStringLiteral("HYPER+f") << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void acceleratorFromTrigger()
    {
        QFETCH(QString, trigger);
        QFETCH(QString, accelerator);
        QCOMPARE(GnomeShellHotKeyBackend::accelerator(trigger), accelerator);
    }

    void countdownOfTitle_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("countdown");
        QTest::newRow("minutes") << QStringLiteral("24:59") << QStringLiteral("24:59");
        QTest::newRow("long") << QStringLiteral("120:00") << QStringLiteral("120:00");
        QTest::newRow("spaces") << QStringLiteral(" 5:07 ") << QStringLiteral("5:07");
        QTest::newRow("name") << QStringLiteral("Lumora") << QString();
        QTest::newRow("bad seconds") << QStringLiteral("5:61") << QString();
        QTest::newRow("markup") << QStringLiteral("<b>5:00</b>") << QString();
        QTest::newRow("empty") << QString() << QString();
    }
    void countdownOfTitle()
    {
        QFETCH(QString, title);
        QFETCH(QString, countdown);
        QCOMPARE(GnomeShellIndicator::countdownOf(title), countdown);
    }

    void enabledExtensionsList_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QStringList>("items");
        QTest::newRow("empty typed") << QStringLiteral("@as []") << true << QStringList{};
        QTest::newRow("empty") << QStringLiteral("[]") << true << QStringList{};
        QTest::newRow("one") << QStringLiteral("['lumora@lumora.github.io']") << true
                             << QStringList{QStringLiteral("lumora@lumora.github.io")};
        QTest::newRow("two") << QStringLiteral("['a@b', 'c@d']") << true
                             << QStringList{QStringLiteral("a@b"), QStringLiteral("c@d")};
        QTest::newRow("not a list") << QStringLiteral("'a@b'") << false << QStringList{};
        QTest::newRow("escaped quote") << QStringLiteral(R"(['a\'b'])") << false << QStringList{};
        QTest::newRow("garbage") << QStringLiteral("No such schema") << false << QStringList{};
    }
    void enabledExtensionsList()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(QStringList, items);
        const auto parsed = GnomeShellSetup::parseStringArray(text);
        QCOMPARE(parsed.has_value(), valid);
        if (!valid)
            return;
        QCOMPARE(*parsed, items);
        // What is written back reads the same.
        QCOMPARE(GnomeShellSetup::parseStringArray(GnomeShellSetup::formatStringArray(items)), parsed);
    }
};

QTEST_GUILESS_MAIN(TestGnomeShell)
#include "tst_gnomeshell.moc"

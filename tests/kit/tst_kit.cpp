#include "ItemTitle.h"
#include "TerminalText.h"

#include <QTest>

class TestKit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void clean_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QString() << QStringLiteral("New Item");
        QTest::newRow("only spaces") << QStringLiteral("   ") << QStringLiteral("New Item");
        QTest::newRow("tabs and newlines") << QStringLiteral("\t\n\r ") << QStringLiteral("New Item");
        QTest::newRow("runs collapse") << QStringLiteral("  Buy   milk ") << QStringLiteral("Buy milk");
        QTest::newRow("line break inside") << QStringLiteral("Deep\nWork") << QStringLiteral("Deep Work");
        QTest::newRow("no-break space") << QStringLiteral("a\u00A0\u00A0b") << QStringLiteral("a b");
        QTest::newRow("ideographic space") << QStringLiteral("\u3000a\u3000") << QStringLiteral("a");
        QTest::newRow("next line U+0085") << QStringLiteral("a\u0085b") << QStringLiteral("a b");
        QTest::newRow("zero width space is not white space")
            << QStringLiteral("a\u200Bb") << QStringLiteral("a\u200Bb");
        QTest::newRow("astral letters kept")
            << QStringLiteral(" \U0001F600  x ") << QStringLiteral("\U0001F600 x");
        QTest::newRow("unchanged") << QStringLiteral("Read") << QStringLiteral("Read");
    }
    void clean()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(ItemTitle::clean(input), expected);
    }

    // Names printed to a terminal cannot drive it.
    void terminalEscapes_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QStringLiteral("Deep Work") << QStringLiteral("Deep Work");
        QTest::newRow("escape sequence")
            << QStringLiteral("a\x1b]0;pwned") + QChar(0x07) + u'b' << QStringLiteral("a\\x1b]0;pwned\\x07b");
        QTest::newRow("line breaks and tabs")
            << QStringLiteral("a\nb\r\t") << QStringLiteral("a\\x0ab\\x0d\\x09");
        QTest::newRow("delete and C1 CSI")
            << QStringLiteral("\x7f\u009b2J") << QStringLiteral("\\x7f\\u009b2J");
        QTest::newRow("backslash stays readable") << QStringLiteral("C:\\x1b") << QStringLiteral("C:\\\\x1b");
        QTest::newRow("letters of any script kept") << QStringLiteral("Fokus \u00e9t\u00e9 \U0001F600")
                                                    << QStringLiteral("Fokus \u00e9t\u00e9 \U0001F600");
    }
    void terminalEscapes()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(TerminalText::escaped(input), expected);
    }
};

QTEST_APPLESS_MAIN(TestKit)
#include "tst_kit.moc"

#include "ItemTitle.h"

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
        QTest::newRow("astral letters kept") << QStringLiteral(" \U0001F600  x ") << QStringLiteral("\U0001F600 x");
        QTest::newRow("unchanged") << QStringLiteral("Read") << QStringLiteral("Read");
    }
    void clean()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(ItemTitle::clean(input), expected);
    }
};

QTEST_APPLESS_MAIN(TestKit)
#include "tst_kit.moc"

#include "DurationFormat.h"
#include "ItemTitle.h"
#include "TerminalText.h"

#include <QTest>

#include <cmath>
#include <limits>

// One of the duration formats.
using DurationText = QString (*)(double);

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

    // Every duration text of the program, by format.
    void durationFormats_data()
    {
        QTest::addColumn<DurationText>("format");
        QTest::addColumn<double>("seconds");
        QTest::addColumn<QString>("text");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        const auto countdown = &DurationFormat::countdown;
        QTest::newRow("countdown 5") << countdown << 5.0 << "00:05";
        QTest::newRow("countdown truncates") << countdown << 3599.9 << "59:59";
        QTest::newRow("countdown has no hour field") << countdown << 4500.0 << "75:00";
        QTest::newRow("countdown a hundred hours") << countdown << 360000.0 << "6000:00";
        QTest::newRow("countdown below a second") << countdown << 0.999 << "00:00";
        QTest::newRow("countdown past zero while fading") << countdown << -0.5 << "00:00";
        QTest::newRow("countdown ran past zero") << countdown << -61.0 << "00:00";
        QTest::newRow("countdown not a number") << countdown << nan << "00:00";
        QTest::newRow("countdown minus infinity") << countdown << -inf << "00:00";
        QTest::newRow("countdown infinity is held") << countdown << inf << "16666666666666:40";
        QTest::newRow("countdown huge is held") << countdown << 9.3e18 << "16666666666666:40";
        const auto screen = &DurationFormat::screenLength;
        QTest::newRow("screen zero") << screen << 0.0 << "0 min";
        QTest::newRow("screen 59 min 59 s") << screen << 3599.0 << "59 min";
        QTest::newRow("screen one hour") << screen << 3600.0 << "1h";
        QTest::newRow("screen 125 minutes") << screen << 7500.0 << "2h 5m";
        QTest::newRow("screen not a number") << screen << nan << "0 min";
        QTest::newRow("screen infinite") << screen << inf << "0 min";
        const auto compact = &DurationFormat::compactLength;
        QTest::newRow("compact 59 s") << compact << 59.0 << "0m";
        QTest::newRow("compact 10 min") << compact << 600.0 << "10m";
        QTest::newRow("compact one hour") << compact << 3600.0 << "1h";
        QTest::newRow("compact 121 min") << compact << 7260.0 << "2h 1m";
        const auto session = &DurationFormat::sessionLength;
        QTest::newRow("session 59.9 s") << session << 59.9 << "59s";
        QTest::newRow("session 60 s") << session << 60.0 << "1m";
        QTest::newRow("session 24 min 5 s") << session << 1445.0 << "24m 5s";
        QTest::newRow("session 90 min stays in minutes") << session << 5400.0 << "90m";
        QTest::newRow("session ended before it began") << session << -5.0 << "-5s";
        QTest::newRow("session not a number") << session << nan << "0s";
        const auto total = &DurationFormat::focusTotal;
        QTest::newRow("total 59.9 s") << total << 59.9 << "0m";
        QTest::newRow("total 3599 s") << total << 3599.0 << "59m";
        QTest::newRow("total one hour keeps its minutes") << total << 3600.0 << "1h 0m";
        QTest::newRow("total has no days") << total << 90000.0 << "25h 0m";
        QTest::newRow("total infinite") << total << inf << "0m";
    }
    void durationFormats()
    {
        QFETCH(DurationText, format);
        QFETCH(double, seconds);
        QFETCH(QString, text);
        QCOMPARE(format(seconds), text);
    }
};

QTEST_APPLESS_MAIN(TestKit)
#include "tst_kit.moc"

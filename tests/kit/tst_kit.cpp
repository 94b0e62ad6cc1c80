// SPDX-License-Identifier: MIT
#include "DisplayText.h"
#include "DurationFormat.h"
#include "HomePath.h"
#include "ItemTitle.h"
#include "Logging.h"
#include "NativeMessaging.h"
#include "StdoutCapture.h"
#include "TerminalText.h"
#include "WebsiteDomain.h"

#include <QDir>
#include <QJsonObject>
#include <QTest>

#include <cmath>
#include <cstring>
#include <limits>

// One of the duration formats.
using DurationText = QString (*)(double);

class TestKit : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Paths shown and stored with "~" for the home folder, and read back.
    void homePath_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("written");
        const QString home = QDir::homePath();
        QTest::newRow("store under home") << home + QStringLiteral("/.local/share/Lumora/Lumora.store")
                                          << "~/.local/share/Lumora/Lumora.store";
        QTest::newRow("home itself") << home << "~";
        QTest::newRow("elsewhere") << "/tmp/x.store"
                                   << "/tmp/x.store";
        QTest::newRow("a sibling of home")
            << home + QStringLiteral("2/x.store") << home + QStringLiteral("2/x.store");
    }
    void homePath()
    {
        QFETCH(QString, path);
        QFETCH(QString, written);
        QCOMPARE(HomePath::abbreviate(path), written);
        if (written != u'~')
            QCOMPARE(HomePath::expand(written), path);
    }

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

    // What the browser is told for each entry of an allowed-websites list.
    void websiteDomains_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QString>("domain"); // empty: names no domain
        struct Row
        {
            const char *name, *entry, *domain;
        };
        const Row rows[] = {
            {"plain", "github.com", "github.com"},
            {"trimmed, lower case", "  GitHub.COM\t", "github.com"},
            {"scheme and path", "https://github.com/lumora/issues?q=1#top", "github.com"},
            {"www dropped", "www.example.org", "example.org"},
            {"scheme, www and port", "http://WWW.Example.org:8080/", "example.org"},
            {"wildcard", "*.wikipedia.org", "wikipedia.org"},
            {"user", "https://me@gitlab.com/x", "gitlab.com"},
            {"trailing dot", "developer.mozilla.org.", "developer.mozilla.org"},
            {"subdomain kept", "gist.github.com", "gist.github.com"},
            {"single label", "localhost", "localhost"},
            {"www alone", "www", "www"},
            {"address", "127.0.0.1:3000", "127.0.0.1"},
            {"international", "B\u00fccher.de", "xn--bcher-kva.de"},
            {"empty", "", ""},
            {"blank", "   ", ""},
            {"space inside", "git hub.com", ""},
            {"underscore", "my_site.com", ""},
            {"empty label", "github..com", ""},
            {"leading hyphen", "-github.com", ""},
            {"scheme only", "https://", ""},
            {"bad port", "github.com:http", ""},
            {"bracketed address", "[::1]", ""},
            {"control character", "git\x01hub.com", ""},
        };
        for (const Row &row : rows)
            QTest::newRow(row.name) << QString::fromUtf8(row.entry) << QString::fromUtf8(row.domain);
        QTest::newRow("label too long") << QString(64, u'a') + ".com" << QString();
        QTest::newRow("domain too long") << (QString(63, u'a') + u'.').repeated(4) + "com" << QString();
    }
    void websiteDomains()
    {
        QFETCH(QString, entry);
        QFETCH(QString, domain);
        QCOMPARE(WebsiteDomain::normalized(entry).value_or(QString()), domain);
        QCOMPARE(WebsiteDomain::invalidEntries({entry}).isEmpty(), !domain.isEmpty());
    }

    // A list gives each domain once, in order, without the entries that name none.
    void websiteDomainList()
    {
        const QStringList entries{"https://www.github.com/x", "not a domain", "GITHUB.com", "gitlab.com", ""};
        QCOMPARE(WebsiteDomain::domains(entries), QStringList({"github.com", "gitlab.com"}));
        QCOMPARE(WebsiteDomain::invalidEntries(entries), QStringList({"not a domain", ""}));
    }

    // The browser's side of the native-messaging pipe, good and bad: every
    // frame is read whole or skipped with an error, and a cut-off frame is
    // told when the pipe closes. Fed at once and byte by byte.
    void nativeMessagingFrames_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("items"); // "type" of each message, or "error: <start of text>"
        QTest::addColumn<QString>("atEnd");     // start of the error at the end, or empty
        const auto framed = [](const QByteArray &body) {
            const quint32 n = quint32(body.size());
            return QByteArray(reinterpret_cast<const char *>(&n), 4) + body;
        };
        const auto prefix = [](quint32 n) { return QByteArray(reinterpret_cast<const char *>(&n), 4); };
        const QByteArray hello = framed("{\"type\":\"hello\",\"browser\":\"Chromium\"}");
        QTest::newRow("one message") << hello << QStringList{"hello"} << "";
        QTest::newRow("two in one read")
            << hello + framed("{\"type\":\"ping\"}") << QStringList{"hello", "ping"} << "";
        QTest::newRow("not JSON, then a good one")
            << framed("hello there") + hello
            << QStringList{"error: a message of 11 bytes is not JSON", "hello"} << "";
        QTest::newRow("an array") << framed("[1,2]") << QStringList{"error: a message is not a JSON object"}
                                  << "";
        QTest::newRow("empty frame") << prefix(0) + hello
                                     << QStringList{"error: a message of 0 bytes is not JSON", "hello"} << "";
        QByteArray big = "{\"type\":\"big\",\"pad\":\"" + QByteArray(1024 * 1024, 'x') + "\"}";
        QTest::newRow("1 MB, skipped, then a good one")
            << framed(big) + hello
            << QStringList{"error: a message of 1048599 bytes is longer than the 65536", "hello"} << "";
        QTest::newRow("length in the wrong byte order")
            << QByteArray("\0\0\0\x25", 4) + hello.mid(4)
            << QStringList{"error: a message of 620756992 bytes is longer"}
            << "the pipe closed 620756955 bytes before the end";
        QTest::newRow("length longer than what comes")
            << prefix(500) + hello.mid(4) << QStringList{}
            << "the pipe closed in the middle of a message (37 of 500";
        QTest::newRow("length shorter than the message")
            << prefix(10) + hello.mid(4)
            << QStringList{"error: a message of 10 bytes is not JSON", "error: a message of"}
            << "the pipe closed";
        QTest::newRow("half a prefix") << hello + QByteArray("\x05\0", 2) << QStringList{"hello"}
                                       << "the pipe closed in the middle of a length prefix (2 of 4";
        QTest::newRow("nothing") << QByteArray() << QStringList{} << "";
    }
    void nativeMessagingFrames()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, items);
        QFETCH(QString, atEnd);
        const auto read = [](const QList<NativeMessaging::Reader::Item> &got) {
            QStringList out;
            for (const auto &item : got)
                out << (item.error.isEmpty() ? item.message.value(QStringLiteral("type")).toString()
                                             : QStringLiteral("error: ") + item.error);
            return out;
        };
        const auto matches = [](const QStringList &got, const QStringList &expected) {
            if (got.size() != expected.size())
                return false;
            for (qsizetype i = 0; i < got.size(); ++i) {
                if (!got[i].startsWith(expected[i]))
                    return false;
            }
            return true;
        };
        NativeMessaging::Reader whole;
        const QStringList all = read(whole.feed(bytes));
        QVERIFY2(matches(all, items), qPrintable(all.join(QStringLiteral(" | "))));
        QVERIFY2(atEnd.isEmpty() ? whole.errorAtEnd().isEmpty() : whole.errorAtEnd().startsWith(atEnd),
                 qPrintable(whole.errorAtEnd()));
        if (bytes.size() > 100000)
            return; // byte by byte would only take long
        NativeMessaging::Reader bytewise;
        QStringList pieces;
        for (char c : bytes)
            pieces += read(bytewise.feed(QByteArrayView(&c, 1)));
        QCOMPARE(pieces, all);
        QCOMPARE(bytewise.errorAtEnd(), whole.errorAtEnd());
    }

    // What the host sends: a length in the machine's byte order and compact
    // JSON; nothing above 1 MB.
    void nativeMessagingOutgoing()
    {
        const QByteArray framed = NativeMessaging::frame({{QStringLiteral("type"), QStringLiteral("none")}});
        quint32 length = 0;
        std::memcpy(&length, framed.constData(), 4);
        QCOMPARE(length, quint32(framed.size() - 4));
        QCOMPARE(framed.mid(4), QByteArray("{\"type\":\"none\"}"));
        NativeMessaging::Reader reader;
        QCOMPARE(reader.feed(framed).value(0).message.value(QStringLiteral("type")).toString(),
                 QStringLiteral("none"));
        const QJsonObject huge{{QStringLiteral("pad"), QString(NativeMessaging::kMaxOutgoing, u'x')}};
        QVERIFY(NativeMessaging::frame(huge).isEmpty());
    }

    // Data cut for display keeps its start, never half a character, and says
    // it was cut.
    void displayTextCapped_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("maxChars");
        QTest::addColumn<QString>("expected");
        QTest::newRow("short") << QStringLiteral("Deep Work") << 20 << QStringLiteral("Deep Work");
        QTest::newRow("exactly the length") << QStringLiteral("abcde") << 5 << QStringLiteral("abcde");
        QTest::newRow("one longer") << QStringLiteral("abcdef") << 5 << QStringLiteral("abcd\u2026");
        QTest::newRow("emoji not split")
            << QStringLiteral("abc\U0001F600x") << 5 << QStringLiteral("abc\u2026");
        QTest::newRow("a hundred thousand") << QString(100000, u'n') << int(DisplayText::kMaxChars)
                                            << QString(DisplayText::kMaxChars - 1, u'n') + QChar(0x2026);
    }
    void displayTextCapped()
    {
        QFETCH(QString, input);
        QFETCH(int, maxChars);
        QFETCH(QString, expected);
        QCOMPARE(DisplayText::capped(input, maxChars), expected);
    }

    // Markup readers get the text escaped; tooltips always get markup, so
    // they never guess; buttons show every ampersand.
    void displayTextForMarkupReaders()
    {
        const QString name = QStringLiteral("<b>R&D</b> \"x\"\nnext");
        QCOMPARE(DisplayText::markupEscaped(name),
                 QStringLiteral("&lt;b&gt;R&amp;D&lt;/b&gt; &quot;x&quot;\nnext"));
        QCOMPARE(DisplayText::asRichText(name),
                 QStringLiteral("<qt>&lt;b&gt;R&amp;D&lt;/b&gt; &quot;x&quot;<br>next</qt>"));
        QCOMPARE(DisplayText::asRichText(QStringLiteral("R&D")), QStringLiteral("<qt>R&amp;D</qt>"));
        QCOMPARE(DisplayText::asRichText(QString(100000, u'n')).size(),
                 qsizetype(DisplayText::kMaxChars + 9));
        QCOMPARE(DisplayText::withoutMnemonics(QStringLiteral("R&D && Co")), QStringLiteral("R&&D &&&& Co"));
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
        QTest::newRow("right-to-left override")
            << QStringLiteral("Work\u202Etxt.exe") << QStringLiteral("Work\\u202etxt.exe");
        QTest::newRow("embeddings, isolates and marks")
            << QStringLiteral("\u202A\u202B\u202C\u202D\u2066\u2067\u2068\u2069\u200E\u200F\u061C")
            << QStringLiteral(
                   "\\u202a\\u202b\\u202c\\u202d\\u2066\\u2067\\u2068\\u2069\\u200e\\u200f\\u061c");
        QTest::newRow("NUL keeps what follows")
            << QStringView(u"a\0b", 3).toString() << QStringLiteral("a\\x00b");
        QTest::newRow("Arabic and Hebrew letters kept")
            << QStringLiteral("\u0639\u0645\u0644 \u05e2\u05d1\u05d5\u05d3\u05d4")
            << QStringLiteral("\u0639\u0645\u0644 \u05e2\u05d1\u05d5\u05d3\u05d4");
    }
    void terminalEscapes()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        QCOMPARE(TerminalText::escaped(input), expected);
    }

    // Lumora's lines come out exactly as written (the log on standard
    // output, warnings on standard error), made safe for the terminal; Qt's
    // own messages keep the handler they had.
    void logLines_data()
    {
        QTest::addColumn<bool>("warning");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("info on standard output") << false << "Invalid shortcut string: F"
                                                 << "Invalid shortcut string: F\n"
                                                 << QString();
        QTest::newRow("warning on standard error")
            << true << "Lumora: Notifications are not held back: no server" << QString()
            << "Lumora: Notifications are not held back: no server\n";
        QTest::newRow("typed text escaped") << false << "Invalid shortcut string: ctrl+\x1b[2J\u202e"
                                            << "Invalid shortcut string: ctrl+\\x1b[2J\\u202e\n"
                                            << QString();
    }
    void logLines()
    {
        QFETCH(bool, warning);
        QFETCH(QString, message);
        QFETCH(QString, out);
        QFETCH(QString, err);
        static QStringList othersSaw;
        othersSaw.clear();
        const QtMessageHandler runner = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext &, const QString &text) { othersSaw.append(text); });
        StdoutCapture standardError(stderr);
        StdoutCapture standardOutput;
        if (warning)
            qCWarning(lcSession).noquote() << message;
        else
            qCInfo(lcHotKey).noquote() << message;
        qWarning("Qt's own");
        const QString printed = standardOutput.text();
        const QString printedError = standardError.text();
        qInstallMessageHandler(runner);
        QCOMPARE(printed, out);
        QCOMPARE(printedError, err);
        QCOMPARE(othersSaw, QStringList{QStringLiteral("Qt's own")});
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

// SPDX-License-Identifier: MIT
// The scripts given to KWin and the reading of their answers: the window
// listing's answer with bad and odd entries, and what reaches a script's
// text from outside (window ids, captions).
#include "KWinScripts.h"

#include <QtTest>

namespace {

const QString idA = QStringLiteral("{8d99518b-aa4b-4371-a5a7-4a64723ab670}");
const QString idB = QStringLiteral("{6A21E24F-1DAD-4C6E-B2FE-C221167F152C}");

// JSON written with ' for " (kept readable in C++ literals).
QString j(const char *text)
{
    return QString::fromUtf8(text).replace(QLatin1Char('\''), QLatin1Char('"'));
}

KWinScripts::Window window(const QString &id, std::optional<qint32> pid, const char *appClass,
                           bool minimized = false)
{
    KWinScripts::Window w;
    w.id = id;
    w.pid = pid;
    w.resourceClass = QString::fromUtf8(appClass);
    w.minimized = minimized;
    return w;
}

} // namespace

using Windows = QList<KWinScripts::Window>;

class TestKWinScripts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsListings_data()
    {
        QTest::addColumn<QString>("answer");
        QTest::addColumn<std::optional<Windows>>("expected");

        KWinScripts::Window full = window(idA, 4242, "org.kde.dolphin", true);
        full.resourceName = QStringLiteral("dolphin");
        full.desktopFileName = QStringLiteral("org.kde.dolphin");
        full.caption = QStringLiteral("Home — Dolphin");
        QTest::newRow("every field")
            << j("{'windows':[{'id':'{8d99518b-aa4b-4371-a5a7-4a64723ab670}',"
                 "'pid':4242,'resourceClass':'org.kde.dolphin','resourceName':'dolphin',"
                 "'desktopFileName':'org.kde.dolphin','caption':'Home — Dolphin',"
                 "'minimized':true}]}")
            << std::optional(Windows{full});
        QTest::newRow("no windows") << j("{'windows':[]}") << std::optional(Windows{});
        QTest::newRow("KWin's order kept")
            << j("{'windows':[{'id':'" + idB.toUtf8() + "','pid':2,'resourceClass':'b'},{'id':'" +
                 idA.toUtf8() + "','pid':1,'resourceClass':'a'}]}")
            << std::optional(Windows{window(idB, 2, "b"), window(idA, 1, "a")});
        QTest::newRow("missing fields are empty") << j("{'windows':[{'id':'" + idA.toUtf8() + "'}]}")
                                                  << std::optional(Windows{window(idA, {}, "")});
        QTest::newRow("pid zero, negative, fractional, too big or text is unknown")
            << j("{'windows':[{'id':'" + idA.toUtf8() + "','pid':0},{'id':'" + idB.toUtf8() +
                 "','pid':-5},{'id':'{00000000-0000-0000-0000-000000000001}','pid':1.5},"
                 "{'id':'{00000000-0000-0000-0000-000000000002}','pid':4294967296},"
                 "{'id':'{00000000-0000-0000-0000-000000000003}','pid':'77'}]}")
            << std::optional(
                   Windows{window(idA, {}, ""), window(idB, {}, ""),
                           window(QStringLiteral("{00000000-0000-0000-0000-000000000001}"), {}, ""),
                           window(QStringLiteral("{00000000-0000-0000-0000-000000000002}"), {}, ""),
                           window(QStringLiteral("{00000000-0000-0000-0000-000000000003}"), {}, "")});
        QTest::newRow("minimized that is no boolean is false")
            << j("{'windows':[{'id':'" + idA.toUtf8() + "','pid':3,'resourceClass':'x','minimized':'yes'}]}")
            << std::optional(Windows{window(idA, 3, "x")});
        QTest::newRow("entries without a valid id left out")
            << j("{'windows':[{'pid':1},{'id':'','pid':2},{'id':'8d99518b-aa4b-4371-a5a7-4a64723ab670','pid':"
                 "3},"
                 "{'id':42,'pid':4},'text',null,{'id':'" +
                 idA.toUtf8() + "','pid':5,'resourceClass':'ok'}]}")
            << std::optional(Windows{window(idA, 5, "ok")});
        QTest::newRow("a repeated id counts once, the first")
            << j("{'windows':[{'id':'" + idA.toUtf8() + "','pid':1,'resourceClass':'first'},{'id':'" +
                 idA.toUtf8() + "','pid':2,'resourceClass':'second'}]}")
            << std::optional(Windows{window(idA, 1, "first")});
        QTest::newRow("not JSON") << QStringLiteral("[object Object]") << std::optional<Windows>();
        QTest::newRow("empty") << QString() << std::optional<Windows>();
        QTest::newRow("cut short") << j("{'windows':[{'id':'" + idA.toUtf8() + "'")
                                   << std::optional<Windows>();
        QTest::newRow("a bare list") << j("[{'id':'" + idA.toUtf8() + "'}]") << std::optional<Windows>();
        QTest::newRow("windows is no list")
            << j("{'windows':{'id':'" + idA.toUtf8() + "'}}") << std::optional<Windows>();
        QTest::newRow("another answer") << j("{'changed':true}") << std::optional<Windows>();
    }

    void readsListings()
    {
        QFETCH(QString, answer);
        QFETCH(std::optional<Windows>, expected);
        QCOMPARE(KWinScripts::parseWindows(answer), expected);
    }

    void windowIds_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("isId");
        QTest::newRow("lower case") << idA << true;
        QTest::newRow("upper case") << idB << true;
        QTest::newRow("no braces") << idA.mid(1, idA.size() - 2) << false;
        QTest::newRow("short group") << QStringLiteral("{8d99518b-aa4b-4371-a5a7-4a64723ab67}") << false;
        QTest::newRow("not hex") << QStringLiteral("{8d99518b-aa4b-4371-a5a7-4a64723ab67g}") << false;
        QTest::newRow("trailing text")
            << idA + QStringLiteral("\"]; workspace.activeWindow = null; [\"") << false;
        QTest::newRow("empty") << QString() << false;
    }

    void windowIds()
    {
        QFETCH(QString, text);
        QFETCH(bool, isId);
        QCOMPARE(KWinScripts::isWindowId(text), isId);
    }

    // Only window ids reach the listing's text, each once; anything else is dropped.
    void listingTakesOnlyWindowIds()
    {
        const QString hostile = idA + QStringLiteral("\"]; workspace.activeWindow = null; [\"");
        const QString script = KWinScripts::listing({idA, hostile, idA, QStringLiteral("x")}, {idB});
        QVERIFY2(script.contains(QStringLiteral("var minimize = [\"%1\"];").arg(idA)), qPrintable(script));
        QVERIFY2(script.contains(QStringLiteral("var unminimize = [\"%1\"];").arg(idB)), qPrintable(script));
        QVERIFY(!script.contains(QStringLiteral("activeWindow")));
        QVERIFY(KWinScripts::listing().contains(QStringLiteral("var minimize = [];")));
    }

    // Captions are the program's own, yet quotes and backslashes stay inside their strings.
    void keepAboveQuotesCaptions()
    {
        const QString script = KWinScripts::keepAbove(1234, {QStringLiteral("Lumora \"Focus\" \\ </script>")},
                                                      {QStringLiteral("Emergency Exit")});
        QVERIFY(script.contains(QStringLiteral("var pid = 1234;")));
        QVERIFY2(script.contains(QStringLiteral("var covering = [\"Lumora \\\"Focus\\\" \\\\ </script>\"];")),
                 qPrintable(script));
        QVERIFY(script.contains(QStringLiteral("var above = [\"Emergency Exit\"];")));
        // Nothing else above the overlays unless asked for.
        QVERIFY(script.contains(QStringLiteral("var othersAbove = false;")));
        QVERIFY(KWinScripts::keepAbove(1, {QStringLiteral("x")}, {}, true)
                    .contains(QStringLiteral("var othersAbove = true;")));
        const QString takeDown = KWinScripts::takeDown(1234, {QStringLiteral("Lumora \"Focus\"")});
        QVERIFY(takeDown.contains(QStringLiteral("var pid = 1234;")));
        QVERIFY2(takeDown.contains(QStringLiteral("var covering = [\"Lumora \\\"Focus\\\"\"];")),
                 qPrintable(takeDown));
    }
};

QTEST_GUILESS_MAIN(TestKWinScripts)
#include "tst_kwinscripts.moc"

// SPDX-License-Identifier: MIT
// The browser's native-messaging host: every session reaches the browser
// as one message the browser accepts, whatever its names and domains.
#include "BrowserHost.h"
#include "NativeMessaging.h"
#include "RemoteControl.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryFile>
#include <QTest>

#include <cstring>
#include <unistd.h>

namespace {

class Remote : public RemoteControl
{
public:
    bool serve() override { return false; }
    Reply send(Request, const QString &) override { return {}; }
    bool followWebsiteSession(const QString &) override { return true; }
};

} // namespace

class TestBrowserHost : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everySessionIsSent_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QStringList>("domains");
        QTest::addColumn<QString>("shownScreen");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("ordinary") << QStringLiteral("Deep Work") << QStringList{QStringLiteral("github.com")}
                                  << QStringLiteral("Deep Work") << false;
        QTest::newRow("domains refused, not allowed")
            << QStringLiteral("Deep Work")
            << QStringList{QStringLiteral("youtube.com"), QStringLiteral("reddit.com")}
            << QStringLiteral("Deep Work") << true;
        const QString huge(600000, QChar(0xe9));
        QTest::newRow("a name of 1.2 MB")
            << huge << QStringList{QStringLiteral("github.com")} << huge.left(200) + QChar(0x2026) << false;
        // A cut never splits a character outside the basic plane.
        const QString emoji = QString(199, u'a') + QString::fromUtf8("\xF0\x9F\x98\x80") + QString(10, u'b');
        QTest::newRow("a cut before a surrogate pair")
            << emoji << QStringList{QStringLiteral("github.com")} << emoji.left(199) + QChar(0x2026) << false;
        QStringList many;
        for (int i = 0; i < 200000; ++i)
            many << QStringLiteral("d%1.example.test").arg(i);
        QTest::newRow("too many domains")
            << QStringLiteral("Deep Work") << many << QStringLiteral("Deep Work") << true;
    }
    void everySessionIsSent()
    {
        QFETCH(QString, screen);
        QFETCH(QStringList, domains);
        QFETCH(QString, shownScreen);
        QFETCH(bool, blocked);
        QTemporaryFile output;
        QVERIFY(output.open());
        int input[2];
        QVERIFY(::pipe(input) == 0);
        Remote remote;
        {
            BrowserHost host(remote, QStringLiteral("Chromium"), input[0], output.handle());
            host.start();
            remote.setWebsiteSession(WebsiteSession{
                screen, QDateTime::fromMSecsSinceEpoch(1700000000000, Qt::UTC), domains, blocked});
        }
        ::close(input[0]);
        ::close(input[1]);

        // The messages as the browser reads them; the last is the session.
        output.seek(0);
        const QByteArray bytes = output.readAll();
        QJsonObject last;
        for (qsizetype at = 0; at < bytes.size();) {
            quint32 length = 0;
            std::memcpy(&length, bytes.constData() + at, sizeof length);
            QVERIFY(length <= NativeMessaging::kMaxOutgoing);
            last = QJsonDocument::fromJson(bytes.mid(at + 4, length)).object();
            at += 4 + length;
        }
        QCOMPARE(last.value(QStringLiteral("type")).toString(), QStringLiteral("session"));
        QCOMPARE(last.value(QStringLiteral("screen")).toString(), shownScreen);
        // Only a session of refused domains says so; the extension reads a
        // missing flag as allowed domains.
        QCOMPARE(last.contains(QStringLiteral("blocked")), blocked);
        QCOMPARE(last.value(QStringLiteral("blocked")).toBool(), blocked);
        const QStringList sent = last.value(QStringLiteral("domains")).toVariant().toStringList();
        QVERIFY(!sent.isEmpty());
        // Fewer websites allowed when they do not fit, never others.
        QCOMPARE(sent, domains.first(sent.size()));
        if (domains.size() < 1000)
            QCOMPARE(sent, domains);
    }
};

QTEST_GUILESS_MAIN(TestBrowserHost)
#include "tst_browserhost.moc"

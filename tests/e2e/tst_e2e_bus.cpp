// SPDX-License-Identifier: MIT
// The remote control's service on a real (private) session bus, called by
// other connections as any program on the desktop may: browsers' hosts that
// leave before or after they are answered leave nothing behind on Lumora's
// connection, the number of hosts followed is bounded and long strings are
// refused.
#include "DBusRemoteControl.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QTest>

namespace {

constexpr int kSettleMs = 30000;
const QString kService = QStringLiteral("io.github.lumora.LumoraBusTest");

QDBusMessage call(const QString &method, const QVariantList &arguments = {})
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(kService, QLatin1String(DBusRemoteControl::kPath),
                                       QLatin1String(DBusRemoteControl::kInterface), method);
    message.setArguments(arguments);
    return message;
}

// A connection of its own, as another program has.
class Caller
{
public:
    Caller() : m_name(QStringLiteral("caller-%1").arg(++s_count))
    {
        m_bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, m_name));
    }
    ~Caller()
    {
        m_bus.reset();
        QDBusConnection::disconnectFromBus(m_name);
    }
    QDBusConnection &bus() { return *m_bus; }

    // Sends without waiting for the answer; once this returns the bus has
    // passed the call on (a later round trip to the bus came back).
    void post(const QDBusMessage &message)
    {
        m_bus->send(message);
        m_bus->interface()->isServiceRegistered(kService);
    }
    // Calls and waits for the answer (the service runs in this thread).
    QDBusMessage ask(const QDBusMessage &message)
    {
        return m_bus->call(message, QDBus::BlockWithGui, kSettleMs);
    }

private:
    static inline int s_count = 0;
    QString m_name;
    std::unique_ptr<QDBusConnection> m_bus;
};

} // namespace

class TestE2eBus : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<DBusRemoteControl> m_remote;
    QString m_startedWith;

    // The match rules the bus keeps for the service's connection; -1 when
    // this bus does not tell.
    static int matchRules()
    {
        QDBusMessage ask = QDBusMessage::createMethodCall(
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus.Debug.Stats"), QStringLiteral("GetConnectionStats"));
        ask << QDBusConnection::sessionBus().baseService();
        const QDBusReply<QVariantMap> reply = QDBusConnection::sessionBus().call(ask);
        if (!reply.isValid() || !reply.value().contains(QStringLiteral("MatchRules")))
            return -1;
        return reply.value().value(QStringLiteral("MatchRules")).toInt();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(),
                 "no session bus; run through desktop-session.sh");
        m_remote = std::make_unique<DBusRemoteControl>(kService);
        QVERIFY(m_remote->serve());
        m_remote->startHandler = [this](const QString &name, const RemoteControl::StartDone &done) {
            m_startedWith = name;
            done({});
        };
    }

    // Hosts that connect, call and leave before Lumora has answered: every
    // watch on them goes again.
    void vanishedCallersLeaveNothing()
    {
        const int rulesBefore = matchRules();
        constexpr int kCallers = 10000;
        constexpr int kBatch = 50;
        {
            // Stays connected: its answered call tells that every earlier
            // call has been handled.
            Caller marker;
            for (int done = 0; done < kCallers; done += kBatch) {
                for (int i = 0; i < kBatch; ++i) {
                    Caller caller;
                    caller.post(call(QStringLiteral("BrowserConnected"), {QStringLiteral("Chromium 120")}));
                }
                const QDBusMessage reply =
                    marker.ask(call(QStringLiteral("BrowserConnected"), {QStringLiteral("Marker")}));
                QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
                QTRY_COMPARE_WITH_TIMEOUT(m_remote->watchedFollowers(), 1, kSettleMs);
                QCOMPARE(m_remote->connectedBrowsers(), QStringList{QStringLiteral("Marker")});
            }
            if (rulesBefore >= 0)
                QTRY_COMPARE_WITH_TIMEOUT(matchRules(), rulesBefore + 1, kSettleMs);
        }
        // The marker leaves after it was answered.
        QTRY_VERIFY_WITH_TIMEOUT(m_remote->connectedBrowsers().isEmpty(), kSettleMs);
        QCOMPARE(m_remote->watchedFollowers(), 0);
        if (rulesBefore >= 0)
            QTRY_COMPARE_WITH_TIMEOUT(matchRules(), rulesBefore, kSettleMs);
        else
            qInfo("this bus does not tell its match rules; the watches were counted instead");
    }

    // More hosts than any desktop runs are refused until some leave.
    void followersAreBounded()
    {
        std::vector<std::unique_ptr<Caller>> hosts;
        int refused = 0;
        for (int i = 0; i < 70; ++i) {
            hosts.push_back(std::make_unique<Caller>());
            const QDBusMessage reply = hosts.back()->ask(
                call(QStringLiteral("BrowserConnected"), {QStringLiteral("Chromium %1").arg(i)}));
            if (reply.type() == QDBusMessage::ErrorMessage) {
                QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.LimitsExceeded"));
                ++refused;
            }
        }
        QCOMPARE(refused, 6);
        QCOMPARE(m_remote->connectedBrowsers().size(), 64);
        hosts.erase(hosts.begin(), hosts.begin() + 10);
        QTRY_COMPARE_WITH_TIMEOUT(m_remote->connectedBrowsers().size(), 54, kSettleMs);
        Caller late;
        QCOMPARE(late.ask(call(QStringLiteral("BrowserConnected"), {QStringLiteral("Late")})).type(),
                 QDBusMessage::ReplyMessage);
        QVERIFY(m_remote->connectedBrowsers().contains(QStringLiteral("Late")));
        hosts.clear();
    }

    void longStringsAreRefused_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("length");
        QTest::addColumn<bool>("refused");
        QTest::newRow("a browser's name") << QStringLiteral("BrowserConnected") << 256 << false;
        QTest::newRow("a browser's name too long") << QStringLiteral("BrowserConnected") << 257 << true;
        QTest::newRow("a browser's name of 10 MB")
            << QStringLiteral("BrowserConnected") << 10'000'000 << true;
        QTest::newRow("a screen's name") << QStringLiteral("StartFocusScreen") << 4096 << false;
        QTest::newRow("a screen's name too long") << QStringLiteral("StartFocusScreen") << 4097 << true;
        QTest::newRow("a screen's name of 10 MB") << QStringLiteral("StartFocusScreen") << 10'000'000 << true;
    }
    void longStringsAreRefused()
    {
        QFETCH(QString, method);
        QFETCH(int, length);
        QFETCH(bool, refused);
        QTRY_VERIFY_WITH_TIMEOUT(m_remote->connectedBrowsers().isEmpty(), kSettleMs);
        m_startedWith.clear();
        const QString text(length, u'x');
        Caller caller;
        const QDBusMessage reply = caller.ask(call(method, {text}));
        if (!refused) {
            QCOMPARE(reply.type(), QDBusMessage::ReplyMessage);
            return;
        }
        QCOMPARE(reply.type(), QDBusMessage::ErrorMessage);
        QCOMPARE(reply.errorName(), QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
        QVERIFY(m_startedWith.isEmpty());
        QVERIFY(m_remote->connectedBrowsers().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestE2eBus)
#include "tst_e2e_bus.moc"

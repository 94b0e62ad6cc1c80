// SPDX-License-Identifier: MIT
// Notifications as a notification server receives them on the session bus:
// the body is read as markup by many servers, so names and error details
// arrive escaped and shown as written; the summary is plain by definition.
#include "DBusUserNotifications.h"
#include "NotificationServer.h"

#include <QCoreApplication>
#include <QTest>
#include <QTextDocument>

class TestE2eNotifications : public QObject
{
    Q_OBJECT
private:
    NotificationServer m_server;

private Q_SLOTS:
    void initTestCase()
    {
        const QString error = m_server.start();
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void bodyArrivesEscaped_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<QString>("sent");
        QTest::newRow("plain") << QStringLiteral("Great job! You've finished your session: Deep Work")
                               << QStringLiteral("Great job! You've finished your session: Deep Work");
        QTest::newRow("bold and an ampersand")
            << QStringLiteral("Great job! You've finished your session: <b>R&D</b> <notes>")
            << QStringLiteral(
                   "Great job! You've finished your session: &lt;b&gt;R&amp;D&lt;/b&gt; &lt;notes&gt;");
        QTest::newRow("image and quotes") << QStringLiteral("<img src=\"/dev/zero\">")
                                          << QStringLiteral("&lt;img src=&quot;/dev/zero&quot;&gt;");
        QTest::newRow("an entity stays text") << QStringLiteral("&amp;") << QStringLiteral("&amp;amp;");
        QTest::newRow("very long, cut")
            << QString(100000, u'x')
            << QString(DBusUserNotifications::kMaxBodyChars - 1, u'x') + QChar(0x2026);
    }

    void bodyArrivesEscaped()
    {
        QFETCH(QString, body);
        QFETCH(QString, sent);
        const auto before = m_server.received().size();
        DBusUserNotifications notifications;
        notifications.post(QStringLiteral("id"), QStringLiteral("<b>Title</b> & more"), body, false);
        QTRY_COMPARE_WITH_TIMEOUT(m_server.received().size(), before + 1, 10000);
        const auto received = m_server.received().last();
        QCOMPARE(received.body, sent);
        // The summary is never markup: it goes as it is.
        QCOMPARE(received.summary, QStringLiteral("<b>Title</b> & more"));
        // A server that reads the body as markup shows the text that was meant.
        QTextDocument shown;
        shown.setHtml(received.body);
        QCOMPARE(shown.toPlainText(), body.size() > DBusUserNotifications::kMaxBodyChars ? sent : body);
    }
};

QTEST_MAIN(TestE2eNotifications)
#include "tst_e2e_notifications.moc"

// SPDX-License-Identifier: MIT
// The allowed websites of a focus screen in a real browser: headless
// Chromium with Lumora's extension, its native-messaging host being the
// real program, and every host name sent to a web server of the test's own.
// During a session only the allowed domains (and their subdomains) load, in
// tabs, frames, <object> and <embed>; a tab on any other web page shows
// Lumora's page with the screen's name and the time left, and Back does not
// lead to the refused page; browser pages and local files stay reachable.
// Ending the session, killing Lumora or the session's end passing while
// Lumora is silent frees the browser; web pages cannot reach the
// extension's files.
#include "AppLockProfile.h"
#include "AppSettings.h"
#include "DBusRemoteControl.h"
#include "DesktopProbe.h"
#include "FocusScreen.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "ScratchStore.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Starting headless Chromium, loading a page, a rule change reaching the
// browser: each well within this on a busy machine.
constexpr int kBrowserMs = 30000;
constexpr int kRequestMs = 10000;
constexpr int kSettleMs = 15000;

const QString kScreen = QStringLiteral("Websites Minute");
// A screen that uses a lock profile: the profile's websites are refused.
const QString kProfileScreen = QStringLiteral("Blocked Minute");
// The extension's id, fixed by the key in its manifest.
const QString kExtensionId = QStringLiteral("cmepddnafagflcolaoelcigfpgmdkipk");

// Answers every request with a page titled after the host it was asked
// for; /frames holds two frames, one of other.test and one of a subdomain.
class PageServer : public QTcpServer
{
public:
    PageServer()
    {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection()) {
                connect(socket, &QTcpSocket::readyRead, socket, [this, socket] { answer(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    QStringList requests; // "host/path", in order

private:
    void answer(QTcpSocket *socket)
    {
        QByteArray &buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        const QList<QByteArray> lines = buffer.split('\n');
        const QByteArray path = lines.value(0).split(' ').value(1);
        QByteArray host;
        for (const QByteArray &line : lines) {
            if (line.toLower().startsWith("host:"))
                host = line.mid(5).trimmed().split(':').value(0);
        }
        m_buffers.remove(socket);
        requests << QString::fromLatin1(host + path);
        const QByteArray port = QByteArray::number(serverPort());
        const QByteArray other = "http://other.test:" + port;
        const QByteArray sub = "http://sub.allowed.test:" + port;
        QByteArray body = "<!DOCTYPE html><html><head><title>" + host + " page</title></head><body>" + host;
        if (path == "/frames")
            body += "<iframe src=\"" + other + "/framed\"></iframe><iframe src=\"" + sub +
                    "/framed\"></iframe>"
                    "<script>addEventListener('load', () => { document.title = 'frames done'; });</script>";
        // Documents in <object> and <embed>; the title tells when all have
        // loaded or failed.
        if (path == "/objects")
            body += "<object type=\"text/html\" data=\"" + other +
                    "/objected\"></object>"
                    "<embed type=\"text/html\" src=\"" +
                    other +
                    "/embedded\">"
                    "<object type=\"text/html\" data=\"" +
                    sub +
                    "/objected\"></object>"
                    "<script>addEventListener('load', () => { document.title = 'objects done'; });</script>";
        // A page that looks for the extension: its files, and its page as a
        // way to another site.
        if (path == "/probe")
            body += "<script>const base = 'chrome-extension://" + kExtensionId.toLatin1() +
                    "/';"
                    "const load = (file) => new Promise((done) => { const l = document.createElement('link');"
                    " l.rel = 'stylesheet'; l.href = base + file; l.onload = () => done(file + ' loaded');"
                    " l.onerror = () => done(''); document.head.append(l); });"
                    "Promise.all([load('blocked.css'), load('manifest.json'),"
                    " fetch(base + 'blocked.js').then(() => 'blocked.js fetched', () => '')])"
                    ".then((seen) => { document.title = 'probed:' + seen.filter(Boolean).join(','); });"
                    "</script>";
        if (path == "/escape")
            body += "<script>location.href = 'chrome-extension://" + kExtensionId.toLatin1() +
                    "/blocked.html#http://evil.test:" + port + "/';</script>";
        body += "</body></html>";
        // Pages may be kept by the browser (its caches, Back); frames and
        // probes are asked for every time.
        const bool cached = path == "/before" || path == "/open";
        socket->write("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\nCache-Control: " +
                      QByteArray(cached ? "max-age=600" : "no-store") +
                      "\r\nConnection: close\r\nContent-Length: " + QByteArray::number(body.size()) +
                      "\r\n\r\n" + body);
        socket->disconnectFromHost();
    }

    QHash<QTcpSocket *, QByteArray> m_buffers;
};

// One page's DevTools protocol over its WebSocket (the few frames the
// protocol needs: masked text out, unmasked text in).
class DevToolsPage
{
public:
    QString open(const QString &webSocketUrl)
    {
        const QUrl url(webSocketUrl);
        m_socket.connectToHost(url.host(), quint16(url.port()));
        if (!m_socket.waitForConnected(kRequestMs))
            return m_socket.errorString();
        m_socket.write("GET " + url.path().toLatin1() + " HTTP/1.1\r\nHost: " + url.host().toLatin1() + ":" +
                       QByteArray::number(url.port()) +
                       "\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
                       "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
        while (!m_buffer.contains("\r\n\r\n")) {
            if (!m_socket.waitForReadyRead(kRequestMs))
                return QStringLiteral("no answer to the WebSocket handshake");
            m_buffer += m_socket.readAll();
        }
        if (!m_buffer.startsWith("HTTP/1.1 101"))
            return QString::fromLatin1(m_buffer.left(m_buffer.indexOf('\r')));
        m_buffer.remove(0, m_buffer.indexOf("\r\n\r\n") + 4);
        return {};
    }

    // Calls a method and returns its result (empty on error or time-out).
    QJsonObject call(const QString &method, const QJsonObject &params = {})
    {
        const int id = ++m_lastId;
        sendText(QJsonDocument(QJsonObject{{"id", id}, {"method", method}, {"params", params}})
                     .toJson(QJsonDocument::Compact));
        for (;;) {
            const std::optional<QByteArray> text = readText();
            if (!text)
                return {};
            const QJsonObject message = QJsonDocument::fromJson(*text).object();
            if (message.value(QStringLiteral("id")).toInt() == id)
                return message.value(QStringLiteral("result")).toObject();
        }
    }

private:
    void sendText(const QByteArray &payload)
    {
        QByteArray frame;
        frame.append(char(0x81));
        if (payload.size() < 126) {
            frame.append(char(0x80 | payload.size()));
        } else {
            frame.append(char(0x80 | 126));
            frame.append(char((payload.size() >> 8) & 0xff));
            frame.append(char(payload.size() & 0xff));
        }
        const QByteArray mask("\x12\x34\x56\x78", 4);
        frame.append(mask);
        for (qsizetype i = 0; i < payload.size(); ++i)
            frame.append(char(payload.at(i) ^ mask.at(i % 4)));
        m_socket.write(frame);
        m_socket.flush();
    }
    // Waits with the event loop running: an answer such as Page.navigate's
    // comes only once the page server, which lives in this thread too, has
    // answered the browser.
    bool fill(qsizetype size)
    {
        while (m_buffer.size() < size) {
            if (!QTest::qWaitFor([this] { return m_socket.bytesAvailable() > 0; }, kSettleMs))
                return false;
            m_buffer += m_socket.readAll();
        }
        return true;
    }
    std::optional<QByteArray> readText()
    {
        if (!fill(2))
            return std::nullopt;
        quint64 length = quint8(m_buffer.at(1)) & 0x7f;
        qsizetype header = 2;
        if (length == 126 || length == 127) {
            const int bytes = length == 126 ? 2 : 8;
            if (!fill(2 + bytes))
                return std::nullopt;
            length = 0;
            for (int i = 0; i < bytes; ++i)
                length = (length << 8) | quint8(m_buffer.at(2 + i));
            header += bytes;
        }
        if (!fill(header + qsizetype(length)))
            return std::nullopt;
        const QByteArray payload = m_buffer.mid(header, qsizetype(length));
        m_buffer.remove(0, header + qsizetype(length));
        return payload;
    }

    QTcpSocket m_socket;
    QByteArray m_buffer;
    int m_lastId = 0;
};

// Headless Chromium on a profile of its own, looked at and driven through
// the DevTools HTTP endpoints and, for one page, its protocol.
class Browser
{
public:
    ~Browser()
    {
        m_process.kill();
        m_process.waitForFinished(kRequestMs);
    }

    QString start(const QString &program, const QString &extension, const QProcessEnvironment &environment)
    {
        if (!m_profile.isValid())
            return QStringLiteral("no temporary folder");
        // The host manifest where Chromium looks in its profile.
        QDir(m_profile.path()).mkpath(QStringLiteral("NativeMessagingHosts"));
        QFile manifest(
            m_profile.filePath(QStringLiteral("NativeMessagingHosts/io.github.lumora.lumora.json")));
        if (!manifest.open(QIODevice::WriteOnly))
            return manifest.errorString();
        manifest.write(
            QJsonDocument(QJsonObject{
                              {"name", "io.github.lumora.lumora"},
                              {"description", "Lumora"},
                              {"path", LumoraProcess::program()},
                              {"type", "stdio"},
                              {"allowed_origins", QJsonArray{"chrome-extension://" + kExtensionId + "/"}},
                          })
                .toJson());
        manifest.close();
        m_process.setProcessEnvironment(environment);
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.setStandardOutputFile(QProcess::nullDevice());
        m_process.start(program, {QStringLiteral("--headless=new"), QStringLiteral("--no-sandbox"),
                                  QStringLiteral("--no-first-run"), QStringLiteral("--disable-gpu"),
                                  QStringLiteral("--disable-background-networking"),
                                  QStringLiteral("--disable-component-update"),
                                  QStringLiteral("--user-data-dir=") + m_profile.path(),
                                  QStringLiteral("--load-extension=") + extension,
                                  QStringLiteral("--disable-extensions-except=") + extension,
                                  QStringLiteral("--remote-debugging-port=0"),
                                  QStringLiteral("--host-resolver-rules=MAP * 127.0.0.1"),
                                  QStringLiteral("about:blank")});
        if (!m_process.waitForStarted())
            return m_process.errorString();
        // Chromium writes the port it took into the profile.
        QFile portFile(m_profile.filePath(QStringLiteral("DevToolsActivePort")));
        if (!QTest::qWaitFor(
                [&] {
                    if (!portFile.open(QIODevice::ReadOnly))
                        return false;
                    m_port = portFile.readLine().trimmed().toInt();
                    portFile.close();
                    return m_port > 0;
                },
                kBrowserMs))
            return QStringLiteral("Chromium did not open its DevTools port");
        // The extension is up when its service worker is.
        if (!QTest::qWaitFor([&] { return !targets(QStringLiteral("service_worker")).isEmpty(); },
                             kBrowserMs))
            return QStringLiteral("the extension's service worker did not start");
        return {};
    }

    // The targets of a type ("page", "iframe", ...).
    QList<QJsonObject> targets(const QString &type)
    {
        QList<QJsonObject> out;
        const QJsonArray all = QJsonDocument::fromJson(request("GET", QStringLiteral("/json/list"))).array();
        for (const QJsonValue &value : all) {
            if (value.toObject().value(QStringLiteral("type")).toString() == type)
                out << value.toObject();
        }
        return out;
    }
    QJsonObject target(const QString &id)
    {
        for (const QJsonObject &t : targets(QStringLiteral("page"))) {
            if (t.value(QStringLiteral("id")).toString() == id)
                return t;
        }
        return {};
    }

    // Opens a tab on url; its target id.
    QString open(const QString &url)
    {
        return QJsonDocument::fromJson(request("PUT", QStringLiteral("/json/new?") + url))
            .object()
            .value(QStringLiteral("id"))
            .toString();
    }
    void close(const QString &id) { request("GET", QStringLiteral("/json/close/") + id); }
    // The DevTools protocol of a tab; nothing when it cannot be reached.
    std::unique_ptr<DevToolsPage> devTools(const QString &id)
    {
        auto page = std::make_unique<DevToolsPage>();
        const QString error = page->open(target(id).value(QStringLiteral("webSocketDebuggerUrl")).toString());
        if (!error.isEmpty()) {
            qWarning("DevTools: %s", qPrintable(error));
            return nullptr;
        }
        return page;
    }

private:
    QByteArray request(const QByteArray &verb, const QString &path)
    {
        QNetworkRequest req(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path)));
        QNetworkReply *reply = m_network.sendCustomRequest(req, verb);
        QEventLoop loop;
        QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(kRequestMs, &loop, &QEventLoop::quit);
        loop.exec();
        const QByteArray body = reply->isFinished() ? reply->readAll() : QByteArray();
        reply->abort();
        reply->deleteLater();
        return body;
    }

    QTemporaryDir m_profile;
    QProcess m_process;
    QNetworkAccessManager m_network;
    int m_port = 0;
};

} // namespace

class TestE2eWebsites : public QObject
{
    Q_OBJECT
private:
    DesktopProbe m_probe;
    PageServer m_server;
    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<LumoraProcess> m_lumora;
    std::unique_ptr<Browser> m_browser;
    QTemporaryDir m_files;
    // A tab on other.test opened before the session starts, its history
    // /before, /open.
    QString m_openTab;
    std::unique_ptr<DevToolsPage> m_openTabTools;
    // What the block page's title starts with.
    QString m_screen = kScreen;

    QString url(const QString &host, const QString &path = QStringLiteral("/")) const
    {
        return QStringLiteral("http://%1:%2%3").arg(host).arg(m_server.serverPort()).arg(path);
    }
    static bool isBlockPage(const QJsonObject &target)
    {
        return target.value(QStringLiteral("url"))
            .toString()
            .startsWith(QStringLiteral("chrome-extension://%1/blocked.html").arg(kExtensionId));
    }

    // What a new tab on url shows once it has settled: "blocked" (Lumora's
    // page, its title checked), "loaded" (the page asked for, by its title
    // `title`) or what it shows after the ceiling.
    QString visit(const QString &address, const QString &title)
    {
        const QString id = m_browser->open(address);
        QString seen;
        [[maybe_unused]] const bool settled = QTest::qWaitFor(
            [&] {
                const QJsonObject tab = m_browser->target(id);
                const QString tabTitle = tab.value(QStringLiteral("title")).toString();
                if (isBlockPage(tab) && tabTitle.startsWith(m_screen))
                    seen = QStringLiteral("blocked");
                else if (tabTitle == title)
                    seen = QStringLiteral("loaded");
                else
                    seen =
                        tab.value(QStringLiteral("url")).toString() + QStringLiteral(" \"") + tabTitle + u'"';
                return seen == QLatin1String("blocked") || seen == QLatin1String("loaded");
            },
            kSettleMs);
        m_browser->close(id);
        return seen;
    }
    QString visitHost(const QString &host) { return visit(url(host), host + QStringLiteral(" page")); }

    // Opens a tab on an allowed page and waits for its title to start
    // with `prefix`; the title.
    QString titleOf(const QString &path, const QString &prefix)
    {
        const QString id = m_browser->open(url(QStringLiteral("allowed.test"), path));
        QString title;
        [[maybe_unused]] const bool settled = QTest::qWaitFor(
            [&] {
                title = m_browser->target(id).value(QStringLiteral("title")).toString();
                return title.startsWith(prefix);
            },
            kSettleMs);
        m_browser->close(id);
        return title;
    }

    // The open tab's current history entry.
    QJsonObject currentEntry()
    {
        const QJsonObject history = m_openTabTools->call(QStringLiteral("Page.getNavigationHistory"));
        return history.value(QStringLiteral("entries"))
            .toArray()
            .at(history.value(QStringLiteral("currentIndex")).toInt())
            .toObject();
    }

    void startSession()
    {
        const QString error = m_lumora->startScreen(kScreen);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        // Rules reach the browser a moment after the start.
        QTRY_COMPARE_WITH_TIMEOUT(visitHost(QStringLiteral("other.test")), QStringLiteral("blocked"),
                                  kSettleMs);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_probe.isOpen(), "no X display; run through desktop-session.sh");
        const QString chromium = QStandardPaths::findExecutable(QStringLiteral("chromium"));
        if (chromium.isEmpty())
            QSKIP("chromium is not installed (scripts/dev.sh test installs it)");
        QVERIFY(m_server.listen(QHostAddress::LocalHost));

        m_store = std::make_unique<ScratchStore>();
        QVERIFY(m_store->isValid());
        const QString fillError = m_store->fill([&](ModelContext *context) {
            // Typed as users type them: normalised before the browser hears them.
            context->insert(std::make_unique<FocusScreen>(
                kScreen, 600.0, QStringList{},
                QStringList{QStringLiteral("https://www.Allowed.test/x"), QStringLiteral("not a domain")},
                LockMode::overlay, false, 0));
            auto *profile = context->insert(std::make_unique<AppLockProfile>(
                QStringLiteral("Distractions"), QStringList{},
                QStringList{QStringLiteral("blocked.test"), QStringLiteral("https://www.Social.test/feed"),
                            QStringLiteral("not a domain")},
                LockMode::overlay));
            // Its own allowed list is not used while it uses the profile.
            auto *blocking = context->insert(std::make_unique<FocusScreen>(
                kProfileScreen, 600.0, QStringList{}, QStringList{QStringLiteral("allowed.test")},
                LockMode::overlay, false, 1));
            blocking->setLockProfileID(profile->uuid());
            context->insert(std::make_unique<AppSettings>());
        });
        QVERIFY2(fillError.isEmpty(), qPrintable(fillError));
        m_lumora = std::make_unique<LumoraProcess>(*m_store);
        QVERIFY(m_lumora->start());
        QVERIFY2(m_lumora->waitUntilReady(m_probe), "Lumora's icon did not appear in the tray");

        // The host the browser starts finds this Lumora by its store.
        m_browser = std::make_unique<Browser>();
        const QString error = m_browser->start(
            chromium, QString::fromLocal8Bit(qgetenv("LUMORA_EXTENSION_DIR")), m_lumora->environment());
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void cleanupTestCase()
    {
        m_openTabTools.reset();
        m_browser.reset();
        m_lumora.reset();
    }

    void freeWithoutSession()
    {
        QCOMPARE(visitHost(QStringLiteral("other.test")), QStringLiteral("loaded"));
        m_openTab = m_browser->open(url(QStringLiteral("other.test"), QStringLiteral("/before")));
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->target(m_openTab).value(QStringLiteral("title")).toString(),
                                  QStringLiteral("other.test page"), kSettleMs);
        m_openTabTools = m_browser->devTools(m_openTab);
        QVERIFY(m_openTabTools);
        m_openTabTools->call(QStringLiteral("Page.navigate"),
                             {{"url", url(QStringLiteral("other.test"), QStringLiteral("/open"))}});
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->target(m_openTab).value(QStringLiteral("url")).toString(),
                                  url(QStringLiteral("other.test"), QStringLiteral("/open")), kSettleMs);
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->target(m_openTab).value(QStringLiteral("title")).toString(),
                                  QStringLiteral("other.test page"), kSettleMs);
    }

    // Without a session the block page, opened with an address after the
    // "#" (a link from anywhere), goes nowhere.
    void blockPageIsNoRedirect()
    {
        m_server.requests.clear();
        const QString id = m_browser->open(QStringLiteral("chrome-extension://%1/blocked.html#%2")
                                               .arg(kExtensionId, url(QStringLiteral("evil.test"))));
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->target(id).value(QStringLiteral("title")).toString(),
                                  QStringLiteral("Lumora – no focus session"), kSettleMs);
        QVERIFY(isBlockPage(m_browser->target(id)));
        m_browser->close(id);
        // A web page cannot open it at all, nor load the extension's files.
        const QString escape =
            m_browser->open(url(QStringLiteral("allowed.test"), QStringLiteral("/escape")));
        QCOMPARE(titleOf(QStringLiteral("/probe"), QStringLiteral("probed:")), QStringLiteral("probed:"));
        m_browser->close(escape);
        QVERIFY2(!m_server.requests.join(u' ').contains(QStringLiteral("evil.test")),
                 qPrintable(m_server.requests.join(u' ')));
    }

    void sessionBlocksOtherSites()
    {
        startSession();
        // The page open before the start is blocked too.
        QTRY_VERIFY_WITH_TIMEOUT(isBlockPage(m_browser->target(m_openTab)), kSettleMs);
        // The block page counts down the time left.
        const QString title = m_browser->target(m_openTab).value(QStringLiteral("title")).toString();
        QVERIFY2(QRegularExpression(QStringLiteral("^Websites Minute – (09|10):\\d\\d left$"))
                     .match(title)
                     .hasMatch(),
                 qPrintable(title));
    }

    // Back from the block page does not show the refused pages the tab
    // had, not even from the browser's caches; their server is not asked.
    void backLeadsNotToRefusedPages()
    {
        m_server.requests.clear();
        for (int back = 0; back < 2; ++back) {
            const QJsonObject history = m_openTabTools->call(QStringLiteral("Page.getNavigationHistory"));
            const int index = history.value(QStringLiteral("currentIndex")).toInt();
            const QJsonArray entries = history.value(QStringLiteral("entries")).toArray();
            QVERIFY2(index >= 1, qPrintable(QJsonDocument(history).toJson()));
            const int blockEntry = entries.at(index).toObject().value(QStringLiteral("id")).toInt();
            // As far back as the history goes.
            const int to = back == 0 ? index - 1 : 0;
            m_openTabTools->call(QStringLiteral("Page.navigateToHistoryEntry"),
                                 {{"entryId", entries.at(to).toObject().value(QStringLiteral("id"))}});
            QTRY_VERIFY_WITH_TIMEOUT(currentEntry().value(QStringLiteral("id")).toInt() != blockEntry &&
                                         isBlockPage(m_browser->target(m_openTab)) &&
                                         m_browser->target(m_openTab)
                                             .value(QStringLiteral("title"))
                                             .toString()
                                             .startsWith(kScreen),
                                     kSettleMs);
        }
        QVERIFY2(!m_server.requests.join(u' ').contains(QStringLiteral("other.test")),
                 qPrintable(m_server.requests.join(u' ')));
    }

    void duringSession_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("title"); // of the page when it loads
        QTest::addColumn<bool>("blocked");
        const auto row = [this](const char *name, const QString &host, bool blocked) {
            QTest::newRow(name) << url(host) << host + QStringLiteral(" page") << blocked;
        };
        row("the allowed domain", QStringLiteral("allowed.test"), false);
        row("a subdomain", QStringLiteral("sub.allowed.test"), false);
        row("a subdomain's subdomain", QStringLiteral("a.b.allowed.test"), false);
        row("another domain", QStringLiteral("other.test"), true);
        row("a name ending like it", QStringLiteral("notallowed.test"), true);
        row("the domain inside another", QStringLiteral("allowed.test.other.test"), true);
        row("the www the entry had", QStringLiteral("www.allowed.test"), false);
        QTest::newRow("a browser page")
            << QStringLiteral("chrome://version/") << QStringLiteral("About Version") << false;
        QFile file(m_files.filePath(QStringLiteral("local.html")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("<!DOCTYPE html><title>local file</title>");
        file.close();
        QTest::newRow("a local file")
            << QUrl::fromLocalFile(file.fileName()).toString() << QStringLiteral("local file") << false;
    }
    void duringSession()
    {
        QFETCH(QString, address);
        QFETCH(QString, title);
        QFETCH(bool, blocked);
        QCOMPARE(visit(address, title), blocked ? QStringLiteral("blocked") : QStringLiteral("loaded"));
    }

    // A frame of another domain inside an allowed page is blocked too; a
    // frame of a subdomain loads.
    void framesAreKeptToo()
    {
        m_server.requests.clear();
        QCOMPARE(titleOf(QStringLiteral("/frames"), QStringLiteral("frames done")),
                 QStringLiteral("frames done"));
        QVERIFY2(m_server.requests.contains(QStringLiteral("sub.allowed.test/framed")),
                 qPrintable(m_server.requests.join(u' ')));
        QVERIFY2(!m_server.requests.contains(QStringLiteral("other.test/framed")),
                 qPrintable(m_server.requests.join(u' ')));
    }

    // Documents in <object> and <embed> are kept like frames.
    void objectsAreKeptToo()
    {
        m_server.requests.clear();
        QCOMPARE(titleOf(QStringLiteral("/objects"), QStringLiteral("objects done")),
                 QStringLiteral("objects done"));
        QVERIFY2(m_server.requests.contains(QStringLiteral("sub.allowed.test/objected")),
                 qPrintable(m_server.requests.join(u' ')));
        QVERIFY2(!m_server.requests.contains(QStringLiteral("other.test/objected")) &&
                     !m_server.requests.contains(QStringLiteral("other.test/embedded")),
                 qPrintable(m_server.requests.join(u' ')));
        // Web pages cannot reach the extension during a session either.
        QCOMPARE(titleOf(QStringLiteral("/probe"), QStringLiteral("probed:")), QStringLiteral("probed:"));
    }

    void endedSessionFreesTheBrowser()
    {
        QVERIFY2(LumoraProcess::exitSessionEarly(m_probe).isEmpty(), "the session could not be ended");
        QTRY_COMPARE_WITH_TIMEOUT(visitHost(QStringLiteral("other.test")), QStringLiteral("loaded"),
                                  kSettleMs);
        // The blocked tab goes back to the page it was last refused.
        QTRY_COMPARE_WITH_TIMEOUT(m_browser->target(m_openTab).value(QStringLiteral("url")).toString(),
                                  url(QStringLiteral("other.test"), QStringLiteral("/before")), kSettleMs);
    }

    // A screen that uses a lock profile refuses exactly the profile's
    // domains (and their subdomains); everything else loads.
    void profileSessionRefusesItsDomains_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<bool>("blocked");
        QTest::newRow("a blocked domain") << QStringLiteral("blocked.test") << true;
        QTest::newRow("its subdomain") << QStringLiteral("sub.blocked.test") << true;
        QTest::newRow("the entry typed with scheme and www") << QStringLiteral("social.test") << true;
        QTest::newRow("its www") << QStringLiteral("www.social.test") << true;
        QTest::newRow("another domain") << QStringLiteral("other.test") << false;
        QTest::newRow("the screen's allowed domain") << QStringLiteral("allowed.test") << false;
        QTest::newRow("a name ending like a blocked one") << QStringLiteral("notblocked.test") << false;
        QTest::newRow("a blocked domain inside another")
            << QStringLiteral("blocked.test.other.test") << false;
    }
    void profileSessionRefusesItsDomains()
    {
        QFETCH(QString, host);
        QFETCH(bool, blocked);
        if (m_screen != kProfileScreen) {
            m_screen = kProfileScreen;
            const QString error = m_lumora->startScreen(kProfileScreen);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QTRY_COMPARE_WITH_TIMEOUT(visitHost(QStringLiteral("blocked.test")), QStringLiteral("blocked"),
                                      kSettleMs);
        }
        QCOMPARE(visitHost(host), blocked ? QStringLiteral("blocked") : QStringLiteral("loaded"));
    }

    void endedProfileSessionFreesTheBrowser()
    {
        QVERIFY2(LumoraProcess::exitSessionEarly(m_probe).isEmpty(), "the session could not be ended");
        QTRY_COMPARE_WITH_TIMEOUT(visitHost(QStringLiteral("blocked.test")), QStringLiteral("loaded"),
                                  kSettleMs);
        m_screen = kScreen;
    }

    void killedLumoraFreesTheBrowser()
    {
        startSession();
        m_lumora->kill();
        QTRY_COMPARE_WITH_TIMEOUT(visitHost(QStringLiteral("other.test")), QStringLiteral("loaded"),
                                  kSettleMs);
    }

    // A Lumora that holds its bus name (here a stand-in for it) sends a
    // session and then nothing more: a screen name of 1.2 MB still
    // restricts the browser, and the end it gave frees it.
    void silentLumoraPastTheEnd()
    {
        DBusRemoteControl lumora(m_store->serviceName());
        QVERIFY(lumora.serve());
        const QString hugeName(600000, QChar(0xe9));
        m_screen = hugeName.left(100);
        lumora.setWebsiteSession(WebsiteSession{
            hugeName, QDateTime::currentDateTimeUtc().addSecs(600), {QStringLiteral("allowed.test")}});
        QTRY_COMPARE_WITH_TIMEOUT(visitHost(QStringLiteral("other.test")), QStringLiteral("blocked"),
                                  kSettleMs);
        QCOMPARE(visitHost(QStringLiteral("allowed.test")), QStringLiteral("loaded"));

        constexpr int kLeftS = 30;
        m_screen = kScreen;
        lumora.setWebsiteSession(WebsiteSession{
            kScreen, QDateTime::currentDateTimeUtc().addSecs(kLeftS), {QStringLiteral("allowed.test")}});
        QTRY_COMPARE_WITH_TIMEOUT(visitHost(QStringLiteral("other.test")), QStringLiteral("blocked"),
                                  kSettleMs);
        QTRY_COMPARE_WITH_TIMEOUT(visitHost(QStringLiteral("other.test")), QStringLiteral("loaded"),
                                  kLeftS * 1000 + kSettleMs);
        QVERIFY(lumora.websiteSession().has_value());
    }
};

QTEST_MAIN(TestE2eWebsites)
#include "tst_e2e_websites.moc"

// SPDX-License-Identifier: MIT
// The real program on a KWin Wayland desktop (KWin without hardware with two
// outputs, see kwin-session.sh): a session covers both outputs with a
// full-screen overlay each, minimises the windows that are not allowed (and
// those started during a preventLaunch session), leaves the allowed one
// alone and shows again exactly what it minimised; an overlay-mode session
// keeps its overlays above a window started during it; what a killed run
// left minimised comes back at the next start. What KWin shows is read
// through a script of the test's own.
#include "FocusScreen.h"
#include "KWinScripting.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "ScratchStore.h"
#include "WaylandClient.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRect>
#include <QTest>

#include <memory>

#include <csignal>

namespace {

constexpr int settleMs = 8000;
// The countdown and the save of a three-second session, with room for a busy machine.
constexpr int threeSecondSessionEndsWithinMs = 15000;

const QString threeSeconds = QStringLiteral("Three Seconds");
const QString preventOneMinute = QStringLiteral("Prevent One Minute");
const QString overlayOneMinute = QStringLiteral("Overlay One Minute");
const QString blockedId = QStringLiteral("lumora-test-blocked");
const QString allowedId = QStringLiteral("lumora-test-allowed");
const QString lateId = QStringLiteral("lumora-test-late");
const QString overlayTitle = QString::fromLatin1(LumoraProcess::kOverlayTitle);

// The guard's time-out after the last heartbeat, and room for a busy machine.
constexpr int stoppedOverlaysGoneWithinMs = 14000;

// The outputs of the test desktop, left to right.
const QList<QRect> outputs{QRect(0, 0, 1280, 800), QRect(1280, 0, 1280, 800)};

// One window as KWin has it.
struct KWinWindow
{
    QString id;
    qint64 pid = 0;
    QString appId;
    QString caption;
    bool minimized = false;
    bool keepAbove = false;
    bool keepBelow = false;
    bool skipTaskbar = false;
    bool skipSwitcher = false;
    bool onAllDesktops = false;
    bool fullScreen = false;
    int layer = 0;
    int stackingOrder = 0;
    QRect geometry;

    // Shown above the other window: a higher layer, or later in the same one.
    bool isAbove(const KWinWindow &other) const
    {
        return layer > other.layer || (layer == other.layer && stackingOrder > other.stackingOrder);
    }
};

// The test's own way into KWin, made and taken down by the test case.
std::unique_ptr<KWinScripting> g_kwin;

KWinScripting &kwin()
{
    return *g_kwin;
}

QList<KWinWindow> kwinWindows()
{
    const auto answer = kwin().run(QStringLiteral(R"(var out = [];
var all = windows();
for (var i = 0; i < all.length; ++i) {
    var w = all[i];
    var g = w.frameGeometry;
    out.push({id: String(w.internalId), pid: w.pid, appId: String(w.resourceClass), caption: String(w.caption),
              minimized: w.minimized, keepAbove: w.keepAbove, keepBelow: w.keepBelow,
              skipTaskbar: w.skipTaskbar, skipSwitcher: w.skipSwitcher, onAllDesktops: w.onAllDesktops,
              fullScreen: w.fullScreen, layer: w.layer, stackingOrder: w.stackingOrder,
              x: g.x, y: g.y, width: g.width, height: g.height});
}
reply(JSON.stringify(out));
)"));
    QList<KWinWindow> out;
    if (!answer)
        return out;
    for (const auto &value : QJsonDocument::fromJson(answer->toUtf8()).array()) {
        const QJsonObject o = value.toObject();
        KWinWindow w;
        w.id = o.value(QLatin1String("id")).toString();
        w.pid = o.value(QLatin1String("pid")).toInteger();
        w.appId = o.value(QLatin1String("appId")).toString();
        w.caption = o.value(QLatin1String("caption")).toString();
        w.minimized = o.value(QLatin1String("minimized")).toBool();
        w.keepAbove = o.value(QLatin1String("keepAbove")).toBool();
        w.keepBelow = o.value(QLatin1String("keepBelow")).toBool();
        w.skipTaskbar = o.value(QLatin1String("skipTaskbar")).toBool();
        w.skipSwitcher = o.value(QLatin1String("skipSwitcher")).toBool();
        w.onAllDesktops = o.value(QLatin1String("onAllDesktops")).toBool();
        w.fullScreen = o.value(QLatin1String("fullScreen")).toBool();
        w.layer = o.value(QLatin1String("layer")).toInt();
        w.stackingOrder = o.value(QLatin1String("stackingOrder")).toInt();
        w.geometry = QRect(qRound(o.value(QLatin1String("x")).toDouble()),
                           qRound(o.value(QLatin1String("y")).toDouble()),
                           qRound(o.value(QLatin1String("width")).toDouble()),
                           qRound(o.value(QLatin1String("height")).toDouble()));
        out.append(w);
    }
    return out;
}

std::optional<KWinWindow> kwinWindow(const QString &appId)
{
    for (const auto &window : kwinWindows())
        if (window.appId == appId)
            return window;
    return std::nullopt;
}

QList<KWinWindow> overlays()
{
    QList<KWinWindow> out;
    for (const auto &window : kwinWindows())
        if (window.caption == overlayTitle)
            out.append(window);
    return out;
}

// Each output has exactly one overlay, full screen over all of it.
bool overlaysCoverBothOutputs()
{
    const auto shown = overlays();
    if (shown.size() != outputs.size())
        return false;
    for (const auto &output : outputs) {
        const auto count = std::count_if(shown.cbegin(), shown.cend(), [&](const KWinWindow &w) {
            return w.fullScreen && !w.minimized && w.geometry == output;
        });
        if (count != 1)
            return false;
    }
    return true;
}

// Every overlay is above the window (or, with the window given as below,
// under it).
bool overlaysAbove(const QString &appId, bool above = true)
{
    const auto window = kwinWindow(appId);
    const auto shown = overlays();
    if (!window || shown.size() != outputs.size())
        return false;
    return std::all_of(shown.cbegin(), shown.cend(),
                       [&](const KWinWindow &overlay) { return overlay.isAbove(*window) == above; });
}

// The overlays are what a user switching windows or desktops cannot get
// around: on every desktop, off taskbars and switchers.
bool overlaysStayOutOfTheWay()
{
    const auto shown = overlays();
    return !shown.isEmpty() && std::all_of(shown.cbegin(), shown.cend(), [](const KWinWindow &overlay) {
        return overlay.skipTaskbar && overlay.skipSwitcher && overlay.onAllDesktops;
    });
}

// Runs a line of script in KWin (the test's own).
void inKWin(const QString &statement)
{
    QVERIFY(kwin().run(statement + QStringLiteral("\nreply(\"done\");")) == QStringLiteral("done"));
}

// Makes the window of that application the active one.
void activate(const QString &appId)
{
    inKWin(QStringLiteral(R"(var all = windows();
for (var i = 0; i < all.length; ++i)
    if (String(all[i].resourceClass) === "%1") {
        if (workspace.activeWindow !== undefined) workspace.activeWindow = all[i];
        else workspace.activeClient = all[i];
    })")
               .arg(appId));
}

bool isScriptLoaded(const QString &plugin)
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.kde.KWin"), QStringLiteral("/Scripting"),
        QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("isScriptLoaded"));
    call << plugin;
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call);
    return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
}

bool isMinimized(const QString &appId)
{
    const auto window = kwinWindow(appId);
    return window && window->minimized;
}

bool isShown(const QString &appId)
{
    const auto window = kwinWindow(appId);
    return window && !window->minimized;
}

// A plain Wayland window with a chosen application id, closed with the test.
class AppWindow
{
public:
    explicit AppWindow(const QString &appId, const QStringList &options = {})
        : m_appId(appId), m_client(WaylandClient::appWindow(appId, options))
    {}
    bool waitUntilMapped() const
    {
        return QTest::qWaitFor([this] { return isShown(m_appId); }, settleMs);
    }

private:
    QString m_appId;
    WaylandClient m_client;
};

} // namespace

class TestE2eKWin : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<AppWindow> m_blocked;
    std::unique_ptr<AppWindow> m_allowed;
    std::unique_ptr<ScratchStore> m_store;
    std::unique_ptr<LumoraProcess> m_lumora;

    void startLumora()
    {
        m_lumora = std::make_unique<LumoraProcess>(*m_store);
        QVERIFY(m_lumora->start());
        QVERIFY2(m_lumora->waitUntilIdle(), "Lumora did not answer --status");
    }
    void startSession(const QString &screen)
    {
        const QString error = m_lumora->startScreen(screen);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_VERIFY_WITH_TIMEOUT(overlaysCoverBothOutputs(), settleMs);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && KWinScripting::isKWinRunning(),
                 "no KWin session; run through kwin-session.sh");
        g_kwin = std::make_unique<KWinScripting>();
        QVERIFY2(kwin().run(QStringLiteral("reply(\"ready\");")) == QStringLiteral("ready"),
                 "KWin does not run the test's scripts");

        m_blocked = std::make_unique<AppWindow>(blockedId);
        QVERIFY(m_blocked->waitUntilMapped());
        m_allowed = std::make_unique<AppWindow>(allowedId);
        QVERIFY(m_allowed->waitUntilMapped());

        m_store = std::make_unique<ScratchStore>();
        QVERIFY(m_store->isValid());
        const QString fillError = m_store->fill([&](ModelContext *context) {
            context->insert(std::make_unique<FocusScreen>(threeSeconds, 3.0, QStringList{allowedId},
                                                          QStringList{}, LockMode::hideApps, false, 0));
            context->insert(std::make_unique<FocusScreen>(preventOneMinute, 60.0, QStringList{allowedId},
                                                          QStringList{}, LockMode::preventLaunch, false, 1));
            context->insert(std::make_unique<FocusScreen>(overlayOneMinute, 60.0, QStringList{},
                                                          QStringList{}, LockMode::overlay, false, 2));
        });
        QVERIFY2(fillError.isEmpty(), qPrintable(fillError));
        startLumora();
    }

    void cleanupTestCase()
    {
        m_lumora.reset();
        m_blocked.reset();
        m_allowed.reset();
        g_kwin.reset();
    }

    void completedSessionMinimisesTheBlockedWindow()
    {
        startSession(threeSeconds);
        QTRY_VERIFY_WITH_TIMEOUT(isMinimized(blockedId), settleMs);
        QVERIFY(isShown(allowedId));
        // The overlays are on every desktop and off taskbars and switchers;
        // the allowed window stands above them, usable.
        QTRY_VERIFY_WITH_TIMEOUT(overlaysStayOutOfTheWay(), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(overlaysAbove(allowedId, false), settleMs);

        QTRY_VERIFY_WITH_TIMEOUT(overlays().isEmpty(), threeSecondSessionEndsWithinMs);
        QTRY_VERIFY_WITH_TIMEOUT(isShown(blockedId), settleMs);
        QVERIFY(isShown(allowedId));
        QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSession() && m_store->lastSession()->endTime.has_value(),
                                 settleMs);
        QVERIFY(m_store->lastSession()->completed);
        QCOMPARE(m_store->lastSession()->screenName, threeSeconds);
    }

    // A window started during an overlay-mode session opens (it is not
    // minimised) but under the overlays; nothing is hidden afterwards.
    void overlayStaysAboveAWindowStartedDuringIt()
    {
        startSession(overlayOneMinute);
        AppWindow late(lateId);
        QVERIFY(late.waitUntilMapped());
        const auto window = kwinWindow(lateId);
        QVERIFY(window);
        const auto shown = overlays();
        QCOMPARE(shown.size(), outputs.size());
        for (const auto &overlay : shown)
            QVERIFY2(overlay.isAbove(*window),
                     qPrintable(QStringLiteral("overlay layer %1 order %2, window layer %3 order %4")
                                    .arg(overlay.layer)
                                    .arg(overlay.stackingOrder)
                                    .arg(window->layer)
                                    .arg(window->stackingOrder)));
        QVERIFY(isShown(blockedId));

        m_lumora->stop();
        QVERIFY(!m_lumora->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(overlays().isEmpty(), settleMs);
        QVERIFY(isShown(lateId));
        startLumora();
    }

    // Ended by SIGTERM (a logout): everything minimised comes back, the
    // window started during the session included.
    void preventLaunchMinimisesWindowsStartedDuringIt()
    {
        startSession(preventOneMinute);
        QTRY_VERIFY_WITH_TIMEOUT(isMinimized(blockedId), settleMs);
        AppWindow late(lateId);
        QTRY_VERIFY_WITH_TIMEOUT(isMinimized(lateId), settleMs);
        QVERIFY(isShown(allowedId));

        m_lumora->stop();
        QVERIFY(!m_lumora->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(overlays().isEmpty(), settleMs);
        QVERIFY(isShown(blockedId));
        QVERIFY(isShown(lateId));
        startLumora();
    }

    // A killed run leaves its windows minimised and its scripts loaded in
    // KWin; the next start shows the windows again (KWin took the overlays
    // down with it), and its first session hides and keeps its overlays in
    // place all the same.
    void windowsLeftByAKilledRunComeBack()
    {
        startSession(preventOneMinute);
        QTRY_VERIFY_WITH_TIMEOUT(isMinimized(blockedId), settleMs);
        QVERIFY(isScriptLoaded(QStringLiteral("lumora-keep-above")));
        QVERIFY(isScriptLoaded(QStringLiteral("lumora-watch")));
        m_lumora->kill();
        QTRY_VERIFY_WITH_TIMEOUT(overlays().isEmpty(), settleMs);
        QVERIFY(isMinimized(blockedId));
        // What the killed run left loaded.
        QVERIFY(isScriptLoaded(QStringLiteral("lumora-watch")));

        startLumora();
        QTRY_VERIFY_WITH_TIMEOUT(isShown(blockedId), settleMs);
        QVERIFY(isShown(allowedId));

        startSession(threeSeconds);
        QTRY_VERIFY_WITH_TIMEOUT(isMinimized(blockedId), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(overlaysStayOutOfTheWay(), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(overlaysAbove(allowedId, false), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(overlays().isEmpty(), threeSecondSessionEndsWithinMs);
        QTRY_VERIFY_WITH_TIMEOUT(isShown(blockedId), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(m_store->lastSession() && m_store->lastSession()->endTime.has_value(),
                                 settleMs);
        QVERIFY(m_store->lastSession()->completed);
    }

    // In overlay mode nothing stands above the overlays: not a full-screen
    // window started during the session, not when it is made the active
    // one, and not on another desktop.
    void overlayStaysAboveFullScreenWindowsOnEveryDesktop()
    {
        inKWin(QStringLiteral("workspace.desktops = 2;"));
        startSession(overlayOneMinute);
        AppWindow late(lateId, {QStringLiteral("--fullscreen")});
        QVERIFY(late.waitUntilMapped());
        QTRY_VERIFY_WITH_TIMEOUT(kwinWindow(lateId) && kwinWindow(lateId)->fullScreen, settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(overlaysAbove(lateId), settleMs);
        activate(lateId);
        QTRY_VERIFY_WITH_TIMEOUT(overlaysAbove(lateId), settleMs);
        QVERIFY(overlaysCoverBothOutputs());

        inKWin(QStringLiteral("workspace.currentDesktop = 2;"));
        QTRY_VERIFY_WITH_TIMEOUT(overlaysStayOutOfTheWay(), settleMs);
        QVERIFY(overlaysCoverBothOutputs());
        // The full-screen window follows the user to the other desktop.
        inKWin(QStringLiteral(R"(var all = windows();
for (var i = 0; i < all.length; ++i)
    if (String(all[i].resourceClass) === "%1") all[i].onAllDesktops = true;)")
                   .arg(lateId));
        activate(lateId);
        QTRY_VERIFY_WITH_TIMEOUT(overlaysAbove(lateId), settleMs);
        inKWin(QStringLiteral("workspace.currentDesktop = 1;"));

        m_lumora->stop();
        QTRY_VERIFY_WITH_TIMEOUT(overlays().isEmpty(), settleMs);
        // Its full screen was the window's own and stays.
        QVERIFY(kwinWindow(lateId) && kwinWindow(lateId)->fullScreen);
        startLumora();
    }

    // A stopped Lumora (SIGSTOP) loses its overlays within the guard's
    // time-out: the guard has KWin minimise them, and the window under them
    // shows. Once Lumora runs again they are up and above again; the second
    // stop is guarded as the first.
    void stoppedProgramLosesItsOverlays()
    {
        startSession(overlayOneMinute);
        QTRY_VERIFY_WITH_TIMEOUT(overlaysAbove(allowedId), settleMs);
        const auto pid = pid_t(m_lumora->pid());
        const auto allMinimized = [] {
            const auto shown = overlays();
            return !shown.isEmpty() &&
                   std::all_of(shown.cbegin(), shown.cend(), [](const KWinWindow &w) { return w.minimized; });
        };
        for (int stop = 0; stop < 2; ++stop) {
            QVERIFY(::kill(pid, SIGSTOP) == 0);
            QElapsedTimer stopped;
            stopped.start();
            QTRY_VERIFY_WITH_TIMEOUT(allMinimized(), stoppedOverlaysGoneWithinMs);
            QVERIFY2(stopped.elapsed() >= 8000, qPrintable(QString::number(stopped.elapsed())));
            QVERIFY(::kill(pid, SIGCONT) == 0);
            QTRY_VERIFY_WITH_TIMEOUT(overlaysCoverBothOutputs() && overlaysAbove(allowedId), settleMs);
        }
        m_lumora->stop();
        QTRY_VERIFY_WITH_TIMEOUT(overlays().isEmpty(), settleMs);
        startLumora();
    }
};

QTEST_GUILESS_MAIN(TestE2eKWin)
#include "tst_e2e_kwin.moc"

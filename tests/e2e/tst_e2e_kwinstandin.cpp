// SPDX-License-Identifier: MIT
// The KWin workspace against a stand-in for KWin's scripting interface on
// the private bus: it minimises and shows again exactly its own windows,
// restores only the very windows a record names, follows new windows while
// watched, and where KWin refuses (loading refused, no answer) it reports
// itself unavailable with the reason and touches nothing, until KWin answers
// again; a script a killed run left loaded is unloaded before its
// replacement loads.
//
// The stand-in owns org.kde.KWin on a connection and thread of its own. It
// keeps a table of windows and "runs" a loaded script the way KWin would for
// the scripts this program sends: a listing applies its minimise and show
// lists to the table and answers with the table; the watcher is answered
// when the test changes the table. As KWin does, it drops an unloaded script
// from its list only a moment later (here: two calls later), and refuses to
// load a script under a name still in its list.
#include "KWinScripting.h"
#include "KWinScripts.h"
#include "KWinWorkspace.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <mutex>

namespace {

const QString idMail1 = QStringLiteral("{00000000-0000-0000-0000-00000000000a}");
const QString idMail2 = QStringLiteral("{00000000-0000-0000-0000-00000000000b}");
const QString idEditor = QStringLiteral("{00000000-0000-0000-0000-00000000000c}");
const QString idOwn = QStringLiteral("{00000000-0000-0000-0000-00000000000d}");
const QString idLate = QStringLiteral("{00000000-0000-0000-0000-00000000000e}");
const qint32 mailPid = 0x7ffffff0; // no process of this machine
const qint32 editorPid = 0x7ffffff1;
const qint32 latePid = 0x7ffffff2;

qint32 ownPid()
{
    return qint32(QCoreApplication::applicationPid());
}

KWinScripts::Window window(const QString &id, qint32 pid, const QString &appId, bool minimized = false)
{
    KWinScripts::Window w;
    w.id = id;
    w.pid = pid;
    w.resourceClass = appId;
    w.desktopFileName = appId;
    w.caption = appId;
    w.minimized = minimized;
    return w;
}

class StandInKWin : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.kwin.Scripting")
public:
    enum class Mode { answers, refusesLoading, refusesNumber, silent };
    Q_ENUM(Mode)

    void setMode(Mode mode)
    {
        std::lock_guard lock(m_mutex);
        m_mode = mode;
    }
    void setWindows(const QList<KWinScripts::Window> &windows)
    {
        std::lock_guard lock(m_mutex);
        m_windows = windows;
    }
    QList<KWinScripts::Window> windows() const
    {
        std::lock_guard lock(m_mutex);
        return m_windows;
    }
    std::optional<KWinScripts::Window> windowById(const QString &id) const
    {
        for (const auto &w : windows())
            if (w.id == id)
                return w;
        return std::nullopt;
    }
    bool isWatched() const
    {
        std::lock_guard lock(m_mutex);
        return !m_watcher.service().isEmpty();
    }
    // Adds a window and tells the watcher, as KWin does when one opens.
    void addWindow(const KWinScripts::Window &window)
    {
        QDBusMessage call;
        {
            std::lock_guard lock(m_mutex);
            m_windows.append(window);
            call = m_watcher;
        }
        if (!call.service().isEmpty())
            QDBusConnection(QStringLiteral("standin")).send(call);
    }

public Q_SLOTS:
    Q_SCRIPTABLE int loadScript(const QString &path, const QString &plugin)
    {
        std::lock_guard lock(m_mutex);
        finishUnloading();
        if (m_mode == Mode::refusesLoading) {
            sendErrorReply(QDBusError::AccessDenied, QStringLiteral("scripting is disabled"));
            return 0;
        }
        if (m_mode == Mode::refusesNumber || m_loaded.contains(plugin))
            return -1;
        m_loaded.insert(plugin, path);
        return int(m_loaded.size() - 1);
    }

    Q_SCRIPTABLE void start()
    {
        std::lock_guard lock(m_mutex);
        finishUnloading();
        for (auto it = m_loaded.begin(); it != m_loaded.end(); ++it) {
            if (m_running.contains(it.key()))
                continue;
            m_running.insert(it.key());
            if (m_mode != Mode::silent)
                runScript(it.key(), it.value());
        }
    }

    Q_SCRIPTABLE bool unloadScript(const QString &plugin)
    {
        std::lock_guard lock(m_mutex);
        finishUnloading();
        m_running.remove(plugin);
        if (plugin == m_watcherPlugin)
            m_watcher = {};
        if (!m_loaded.contains(plugin))
            return false;
        m_unloading.insert(plugin, 2);
        return true;
    }

    Q_SCRIPTABLE bool isScriptLoaded(const QString &plugin)
    {
        std::lock_guard lock(m_mutex);
        finishUnloading();
        return m_loaded.contains(plugin);
    }

public:
    // A script a killed run left loaded and running.
    void leaveBehind(const QString &plugin)
    {
        std::lock_guard lock(m_mutex);
        m_unloading.remove(plugin);
        m_loaded.insert(plugin, QString());
        m_running.insert(plugin);
    }
    bool isLoaded(const QString &plugin) const
    {
        std::lock_guard lock(m_mutex);
        return m_loaded.contains(plugin);
    }

private:
    // Each call brings the unloading of a script nearer.
    void finishUnloading()
    {
        for (auto it = m_unloading.begin(); it != m_unloading.end();) {
            if (--it.value() > 0) {
                ++it;
                continue;
            }
            m_loaded.remove(it.key());
            m_running.remove(it.key());
            it = m_unloading.erase(it);
        }
    }

    // The call a script makes to answer, read from its text.
    static QDBusMessage answerCall(const QString &script)
    {
        static const QRegularExpression call(
            QStringLiteral("callDBus\\((\"[^\"]*\"), (\"[^\"]*\"), (\"[^\"]*\"), \"Reply\", (\"[^\"]*\")"));
        const auto match = call.match(script);
        const auto text = [&](int i) {
            return QJsonDocument::fromJson("[" + match.captured(i).toUtf8() + "]").array().at(0).toString();
        };
        QDBusMessage message =
            QDBusMessage::createMethodCall(text(1), text(2), text(3), QStringLiteral("Reply"));
        message << text(4);
        return message;
    }

    static QStringList idList(const QString &script, const QString &name)
    {
        const QRegularExpression list(QStringLiteral("var %1 = (\\[[^\\]]*\\]);").arg(name));
        QStringList out;
        for (const auto &value : QJsonDocument::fromJson(list.match(script).captured(1).toUtf8()).array())
            out << value.toString();
        return out;
    }

    void runScript(const QString &plugin, const QString &path)
    {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return;
        const QString script = QString::fromUtf8(file.readAll());
        QDBusMessage call = answerCall(script);
        if (script.contains(QLatin1String("var minimize = "))) {
            const QStringList minimize = idList(script, QStringLiteral("minimize"));
            const QStringList unminimize = idList(script, QStringLiteral("unminimize"));
            QJsonArray list;
            for (auto &w : m_windows) {
                if (minimize.contains(w.id))
                    w.minimized = true;
                if (unminimize.contains(w.id))
                    w.minimized = false;
                list.append(QJsonObject{{QStringLiteral("id"), w.id},
                                        {QStringLiteral("pid"), *w.pid},
                                        {QStringLiteral("resourceClass"), w.resourceClass},
                                        {QStringLiteral("desktopFileName"), w.desktopFileName},
                                        {QStringLiteral("caption"), w.caption},
                                        {QStringLiteral("minimized"), w.minimized}});
            }
            call << QString::fromUtf8(
                QJsonDocument(QJsonObject{{QStringLiteral("windows"), list}}).toJson(QJsonDocument::Compact));
            QDBusConnection(QStringLiteral("standin")).send(call);
        } else if (plugin == QLatin1String("lumora-watch")) {
            call << QStringLiteral("changed");
            m_watcher = call;
            m_watcherPlugin = plugin;
        }
    }

    mutable std::mutex m_mutex;
    Mode m_mode = Mode::answers;
    QList<KWinScripts::Window> m_windows;
    QHash<QString, QString> m_loaded; // plugin -> file
    QSet<QString> m_running;
    QHash<QString, int> m_unloading; // plugin -> calls until it leaves the list
    QDBusMessage m_watcher;          // the watcher's answer, ready to send
    QString m_watcherPlugin;
};

RunningApplication appWithPid(const QList<RunningApplication> &apps, qint32 pid)
{
    for (const auto &app : apps)
        if (app.processIdentifier() == pid)
            return app;
    return {};
}

} // namespace

class TestE2eKWinStandIn : public QObject
{
    Q_OBJECT
private:
    QThread m_thread;
    StandInKWin *m_kwin = nullptr;

    void standardWindows()
    {
        m_kwin->setWindows({window(idMail1, mailPid, QStringLiteral("org.example.Mail")),
                            window(idMail2, mailPid, QStringLiteral("org.example.Mail")),
                            window(idEditor, editorPid, QStringLiteral("org.example.Editor"), true),
                            window(idOwn, ownPid(), QStringLiteral("lumora"))});
    }
    bool minimized(const QString &id) const
    {
        const auto w = m_kwin->windowById(id);
        return w && w->minimized;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(),
                 "no session bus; run through desktop-session.sh");
        m_kwin = new StandInKWin;
        m_kwin->moveToThread(&m_thread);
        m_thread.start();
        QDBusConnection bus =
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("standin"));
        QVERIFY(
            bus.registerObject(QStringLiteral("/Scripting"), m_kwin, QDBusConnection::ExportScriptableSlots));
        QVERIFY(bus.registerService(QLatin1String(KWinScripting::kService)));
        QVERIFY(KWinScripting::isKWinRunning());
    }

    void init()
    {
        m_kwin->setMode(StandInKWin::Mode::answers);
        standardWindows();
    }

    void cleanupTestCase()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("standin"));
        m_thread.quit();
        m_thread.wait();
        delete m_kwin;
    }

    // A user's own minimised window stays minimised; this program's own
    // windows are never touched.
    void hidesAndShowsExactlyItsOwnWindows()
    {
        KWinWorkspace workspace;
        QVERIFY(workspace.isAvailable());
        const auto apps = workspace.runningApplications();
        QCOMPARE(apps.size(), 3);
        const auto mail = appWithPid(apps, mailPid);
        const auto editor = appWithPid(apps, editorPid);
        QCOMPARE(mail.appId(), QStringLiteral("org.example.Mail"));
        QVERIFY(mail.names().contains(QStringLiteral("org.example.Mail")));
        QVERIFY(workspace.isHidden(editor));
        QVERIFY(appWithPid(apps, ownPid()) == workspace.currentApplication());

        QVERIFY(workspace.hide(mail));
        QVERIFY(minimized(idMail1) && minimized(idMail2));
        QVERIFY(workspace.isHidden(mail));
        QVERIFY(!workspace.hide(workspace.currentApplication()));
        QVERIFY(!minimized(idOwn));
        const auto record = workspace.hiddenWindowsRecord();
        QCOMPARE(record.value(QStringLiteral("compositor")).toString(), QStringLiteral("kwin"));
        QCOMPARE(record.value(QStringLiteral("windows")).toArray().size(), 2);

        QVERIFY(!workspace.unhide(editor));
        QVERIFY(minimized(idEditor));
        QVERIFY(workspace.unhide(mail));
        QVERIFY(!minimized(idMail1) && !minimized(idMail2));
        QVERIFY(workspace.hiddenWindowsRecord().isEmpty());
    }

    // Planned windows are named before they are hidden.
    void recordNamesWhatIsAboutToBeHidden()
    {
        KWinWorkspace workspace;
        const auto apps = workspace.runningApplications();
        const auto record = workspace.hiddenWindowsRecord(
            {appWithPid(apps, mailPid), appWithPid(apps, editorPid), workspace.currentApplication()});
        QStringList ids;
        for (const auto &entry : record.value(QStringLiteral("windows")).toArray())
            ids << entry.toObject().value(QStringLiteral("id")).toString();
        // The editor is minimised already and this program is never hidden.
        QCOMPARE(ids, (QStringList{idMail1, idMail2}));
    }

    void restoresOnlyTheRecordedWindows_data()
    {
        QTest::addColumn<QJsonObject>("entry");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("restored");
        const auto entry = [](const QString &id, qint32 pid, const QString &app) {
            return QJsonObject{
                {QStringLiteral("id"), id}, {QStringLiteral("pid"), pid}, {QStringLiteral("app"), app}};
        };
        const QString kwin = QStringLiteral("kwin");
        QTest::newRow("the very window")
            << entry(idMail1, mailPid, QStringLiteral("org.example.Mail")) << kwin << 1;
        // Without its process or application the entry could name some
        // other window the user has minimised since: it is dropped.
        QTest::newRow("without a pid")
            << QJsonObject{{QStringLiteral("id"), idMail1},
                           {QStringLiteral("app"), QStringLiteral("org.example.Mail")}}
            << kwin << 0;
        QTest::newRow("without an application")
            << QJsonObject{{QStringLiteral("id"), idMail1}, {QStringLiteral("pid"), mailPid}} << kwin << 0;
        QTest::newRow("another process")
            << entry(idMail1, editorPid, QStringLiteral("org.example.Mail")) << kwin << 0;
        QTest::newRow("another application")
            << entry(idMail1, mailPid, QStringLiteral("org.example.Editor")) << kwin << 0;
        QTest::newRow("a window gone")
            << entry(idLate, mailPid, QStringLiteral("org.example.Mail")) << kwin << 0;
        QTest::newRow("not a window id")
            << entry(QStringLiteral("all"), mailPid, QStringLiteral("org.example.Mail")) << kwin << 0;
        QTest::newRow("this program's window")
            << entry(idOwn, ownPid(), QStringLiteral("lumora")) << kwin << 0;
        QTest::newRow("another compositor's record")
            << entry(idMail1, mailPid, QStringLiteral("org.example.Mail")) << QStringLiteral("sway") << 0;
    }

    void restoresOnlyTheRecordedWindows()
    {
        QFETCH(QJsonObject, entry);
        QFETCH(QString, kind);
        QFETCH(int, restored);
        auto windows = m_kwin->windows();
        for (auto &w : windows)
            w.minimized = true;
        m_kwin->setWindows(windows);

        KWinWorkspace workspace;
        const QJsonObject record{{QStringLiteral("compositor"), kind},
                                 {QStringLiteral("windows"), QJsonArray{entry}}};
        QCOMPARE(workspace.restoreHiddenWindows(record), restored);
        QCOMPARE(minimized(idMail1), restored == 0);
        QVERIFY(minimized(idMail2) && minimized(idEditor) && minimized(idOwn));
    }

    // While watched a new process is a launch, and a new window of an
    // application hidden here is minimised with it.
    void followsNewWindowsWhileWatched()
    {
        KWinWorkspace workspace;
        workspace.setWatching(true);
        QTRY_VERIFY(m_kwin->isWatched());
        const auto mail = appWithPid(workspace.runningApplications(), mailPid);
        QVERIFY(workspace.hide(mail));
        QSignalSpy launched(&workspace, &Workspace::applicationLaunched);

        const QString idMail3 = QStringLiteral("{00000000-0000-0000-0000-00000000000f}");
        m_kwin->addWindow(window(idMail3, mailPid, QStringLiteral("org.example.Mail")));
        QTRY_VERIFY(minimized(idMail3));
        m_kwin->addWindow(window(idLate, latePid, QStringLiteral("org.example.Late")));
        QTRY_COMPARE(launched.size(), 1);
        QCOMPARE(launched.first().first().value<RunningApplication>().processIdentifier(), latePid);
        QVERIFY(!minimized(idLate));

        QVERIFY(workspace.unhide(mail));
        QVERIFY(!minimized(idMail1) && !minimized(idMail2) && !minimized(idMail3));
        workspace.setWatching(false);
        QTRY_VERIFY(!m_kwin->isWatched());
    }

    // A refusal is not for good: once KWin loads scripts again, the
    // workspace works again.
    void refusalIsNotForGood()
    {
        m_kwin->setMode(StandInKWin::Mode::refusesNumber);
        KWinWorkspace workspace;
        QVERIFY(!workspace.isAvailable());
        m_kwin->setMode(StandInKWin::Mode::answers);
        QTRY_VERIFY_WITH_TIMEOUT(workspace.isAvailable(), 5000);
        const RunningApplication mail(QStringLiteral("pid:%1").arg(mailPid),
                                      QStringLiteral("org.example.Mail"), mailPid);
        QVERIFY(workspace.hide(mail));
        QVERIFY(minimized(idMail1) && minimized(idMail2));
        QVERIFY(workspace.unhide(mail));
    }

    // The watcher a killed run left loaded in KWin is unloaded, and gone,
    // before this run's own is loaded under its name.
    void replacesAScriptLeftByAKilledRun()
    {
        m_kwin->leaveBehind(QStringLiteral("lumora-watch"));
        KWinWorkspace workspace;
        QVERIFY(workspace.isAvailable());
        workspace.setWatching(true);
        QVERIFY(m_kwin->isWatched());
        workspace.setWatching(false);
        QTRY_VERIFY(!m_kwin->isWatched());
    }

    void refusalLeavesNothingHidden_data()
    {
        QTest::addColumn<StandInKWin::Mode>("mode");
        QTest::addColumn<QString>("reason");
        QTest::newRow("loading refused")
            << StandInKWin::Mode::refusesLoading << QStringLiteral("KWin does not load scripts");
        QTest::newRow("no script number")
            << StandInKWin::Mode::refusesNumber << QStringLiteral("KWin refused to load a script");
        QTest::newRow("no answer") << StandInKWin::Mode::silent
                                   << QStringLiteral("KWin did not answer in time");
    }

    void refusalLeavesNothingHidden()
    {
        QFETCH(StandInKWin::Mode, mode);
        QFETCH(QString, reason);
        m_kwin->setMode(mode);
        KWinWorkspace workspace;
        QVERIFY(!workspace.isAvailable());
        QVERIFY2(workspace.unavailableReason().startsWith(reason), qPrintable(workspace.unavailableReason()));
        QVERIFY(workspace.runningApplications().isEmpty());
        const RunningApplication mail(QStringLiteral("pid:%1").arg(mailPid),
                                      QStringLiteral("org.example.Mail"), mailPid);
        QVERIFY(!workspace.hide(mail));
        QVERIFY(workspace.hiddenWindowsRecord({mail}).isEmpty());
        for (const auto &w : m_kwin->windows())
            QCOMPARE(w.minimized, w.id == idEditor);
    }
};

QTEST_GUILESS_MAIN(TestE2eKWinStandIn)
#include "tst_e2e_kwinstandin.moc"

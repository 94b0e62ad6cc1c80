// SPDX-License-Identifier: MIT
// Nothing lost, nothing left hidden: the real program killed at unlucky
// moments, started twice on one store without a session bus, after a lock
// file that holds nothing and after a start that failed, flooded with
// start requests, stopped right after a change, and on a full disk.
#include "AppSettings.h"
#include "DesktopProbe.h"
#include "FocusScreen.h"
#include "LumoraProcess.h"
#include "ModelContext.h"
#include "NotificationServer.h"
#include "ScratchStore.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

#include <csignal>
#include <memory>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

constexpr int settleMs = 5000;
// A three-second session: the countdown, the fade and the save, with room.
constexpr int threeSecondSessionEndsWithinMs = 12000;
constexpr int killMoments = 10;
constexpr int lastKillMs = 2000;
constexpr int startRequests = 300;

const QString hideOneMinute = QStringLiteral("Hide One Minute");
const QString threeSeconds = QStringLiteral("Three Seconds");
// A name with a terminal escape sequence in it (red text).
const QString redName = QStringLiteral("Cover \x1b[31mRed");

const QString runningRed = QStringLiteral("a focus session is already running: ") + redName;

// Every window a lock journal names, in its own record and inherited ones.
QList<quint64> journalWindows(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const auto object = QJsonDocument::fromJson(file.readAll()).object();
    QJsonArray records{object.value(QStringLiteral("record"))};
    for (const auto &record : object.value(QStringLiteral("inherited")).toArray())
        records.append(record);
    QList<quint64> out;
    for (const auto &record : std::as_const(records))
        for (const auto &entry : record.toObject().value(QStringLiteral("windows")).toArray())
            out.append(quint64(entry.toObject().value(QStringLiteral("window")).toInteger()));
    return out;
}

// The lumora program started without QProcess, so that nothing collects it
// when it dies: killed, it stays a zombie until reap().
class BareProcess
{
public:
    BareProcess(const QProcessEnvironment &environment, const QStringList &arguments)
    {
        QList<QByteArray> storage{QFile::encodeName(LumoraProcess::program())};
        for (const auto &argument : arguments)
            storage.append(argument.toLocal8Bit());
        QList<QByteArray> envStorage;
        for (const auto &entry : environment.toStringList())
            envStorage.append(entry.toLocal8Bit());
        std::vector<char *> argv, envp;
        for (auto &s : storage)
            argv.push_back(s.data());
        argv.push_back(nullptr);
        for (auto &s : envStorage)
            envp.push_back(s.data());
        envp.push_back(nullptr);
        if (::posix_spawn(&m_pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0)
            m_pid = 0;
    }
    ~BareProcess()
    {
        kill();
        reap();
    }
    pid_t pid() const { return m_pid; }
    void kill() const
    {
        if (m_pid > 0)
            ::kill(m_pid, SIGKILL);
    }
    void reap()
    {
        if (m_pid > 0)
            ::waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }

private:
    pid_t m_pid = 0;
};

} // namespace

class TestE2eDurability : public QObject
{
    Q_OBJECT
private:
    DesktopProbe m_probe;
    NotificationServer m_notifications;
    std::unique_ptr<XClient> m_clock;
    std::unique_ptr<ScratchStore> m_store;

    QString journalPath() const { return m_store->path() + QStringLiteral(".locked-windows"); }
    bool clockShown() const { return m_probe.isShown(m_clock->window()); }
    bool clockHidden() const
    {
        const auto state = m_probe.state(m_clock->window());
        return state == DesktopProbe::State::iconic || state == DesktopProbe::State::withdrawn;
    }
    static QString fill(const ScratchStore &store)
    {
        return store.fill([](ModelContext *context) {
            context->insert(std::make_unique<FocusScreen>(hideOneMinute, 60.0, QStringList{}, QStringList{},
                                                          LockMode::hideApps, false, 0));
            context->insert(std::make_unique<FocusScreen>(threeSeconds, 3.0, QStringList{}, QStringList{},
                                                          LockMode::overlay, false, 1));
            context->insert(std::make_unique<FocusScreen>(redName, 60.0, QStringList{}, QStringList{},
                                                          LockMode::overlay, false, 2));
            context->insert(std::make_unique<AppSettings>());
        });
    }
    // Lumora's main window, shown and active; an error text, empty on success.
    QString activateMainWindow()
    {
        quint64 window = 0;
        const bool found = waitFor(
            [&] {
                for (const auto w : m_probe.clientWindows())
                    if (m_probe.windowClass(w) == QLatin1String(LumoraProcess::kWindowClass) &&
                        m_probe.windowTitle(w) == QLatin1String("Lumora") && m_probe.isShown(w))
                        return (window = w) != 0;
                return false;
            },
            settleMs);
        if (!found)
            return QStringLiteral("the main window is not shown");
        if (!m_probe.activateAndWait(window, settleMs))
            return QStringLiteral("the main window did not take the focus");
        return {};
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_probe.isOpen(), "no X display; run through desktop-session.sh");
        const QString serverError = m_notifications.start();
        QVERIFY2(serverError.isEmpty(), qPrintable(serverError));
        m_clock = std::make_unique<XClient>(
            QStringLiteral("xclock"), QStringList{"-geometry", "120x120+1320+40"}, QStringLiteral("XClock"));
        QVERIFY(m_clock->start(m_probe));
    }

    void init()
    {
        m_store = std::make_unique<ScratchStore>();
        QVERIFY(m_store->isValid());
        const QString error = fill(*m_store);
        QVERIFY2(error.isEmpty(), qPrintable(error));
    }

    void cleanup()
    {
        // Whatever a failed check left hidden comes back for the next test.
        if (!clockShown()) {
            LumoraProcess cleaner(*m_store);
            if (cleaner.start())
                QTRY_VERIFY_WITH_TIMEOUT(clockShown(), settleMs);
        }
        m_store.reset();
    }

    // kill -9 at ten moments of the first two seconds after a start, each
    // followed at once by a new start while the killed process is still a
    // zombie: whatever is hidden is named in the journal, and the next start
    // shows it again; the killed runs' sessions are closed.
    void killedAtAnyMomentLosesNothing()
    {
        LumoraProcess reference(*m_store);
        const QProcessEnvironment environment = reference.environment();
        const QStringList start{QStringLiteral("--start"), hideOneMinute};
        bool everHidden = false;
        std::unique_ptr<BareProcess> previous;
        for (int i = 0; i < killMoments; ++i) {
            const int moment = i * lastKillMs / (killMoments - 1);
            auto current = std::make_unique<BareProcess>(environment, start);
            QVERIFY(current->pid() > 0);
            // The one before stays a zombie until this start is under way.
            if (previous)
                previous->reap();
            if (moment > 0)
                QTest::qWait(moment);
            current->kill();
            if (clockHidden()) {
                everHidden = true;
                QVERIFY2(journalWindows(journalPath()).contains(m_clock->window()),
                         qPrintable(
                             QStringLiteral("killed after %1 ms: the clock is hidden but not in the journal")
                                 .arg(moment)));
            }
            previous = std::move(current);
        }
        QVERIFY2(everHidden, "no start got as far as hiding the clock");

        // The next start (the last kill still a zombie) shows everything again.
        LumoraProcess next(*m_store);
        QVERIFY(next.start());
        previous->reap();
        QVERIFY(next.waitUntilReady(m_probe));
        QTRY_VERIFY_WITH_TIMEOUT(clockShown(), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(journalPath()), settleMs);
        // Every session a killed run had recorded is closed, not completed,
        // ended within the few seconds it can have run.
        const auto rows = m_store->sessions();
        QVERIFY(!rows.isEmpty());
        for (const auto &row : rows) {
            QVERIFY2(row.endTime.has_value(), qPrintable(QString::number(row.id)));
            QVERIFY(!row.completed);
            QVERIFY2(*row.endTime >= row.startTime && *row.endTime - row.startTime < lastKillMs / 1000.0 + 3,
                     qPrintable(QStringLiteral("%1 .. %2").arg(row.startTime).arg(*row.endTime)));
        }
        next.stop();
    }

    // A lock file that holds nothing blocks no start, a login launch
    // included: the start takes it over (moves it aside and says so) and
    // shows again what the killed run before it hid.
    void lockThatHoldsNothingIsTakenOver_data()
    {
        QTest::addColumn<QString>("lock");
        QTest::newRow("empty") << QStringLiteral("empty");
        QTest::newRow("garbage") << QStringLiteral("garbage");
        QTest::newRow("a folder") << QStringLiteral("folder");
        QTest::newRow("another machine") << QStringLiteral("elsewhere");
        QTest::newRow("the killed run's own") << QStringLiteral("dead");
        QTest::newRow("a live process that is not Lumora") << QStringLiteral("stranger");
    }
    void lockThatHoldsNothingIsTakenOver()
    {
        QFETCH(QString, lock);
        const QString lockPath = m_store->path() + QStringLiteral(".lock");
        {
            LumoraProcess killed(*m_store);
            QVERIFY(killed.start());
            QVERIFY(killed.waitUntilReady(m_probe));
            const QString error = killed.startScreen(hideOneMinute);
            QVERIFY2(error.isEmpty(), qPrintable(error));
            QTRY_VERIFY_WITH_TIMEOUT(clockHidden(), settleMs);
            killed.kill();
        }
        QVERIFY(QFileInfo(lockPath).isFile());
        QProcess stranger;
        if (lock != QLatin1String("dead")) {
            QVERIFY(QFile::remove(lockPath));
            if (lock == QLatin1String("folder")) {
                QVERIFY(QDir().mkpath(lockPath + QStringLiteral("/inside")));
            } else {
                QByteArray contents;
                if (lock == QLatin1String("garbage"))
                    contents = "\x7f\xff not a lock \x01";
                else if (lock == QLatin1String("elsewhere"))
                    contents = "999999\nlumora\nsomewhere-else\n";
                if (lock == QLatin1String("stranger")) {
                    stranger.start(QStringLiteral("sleep"), {QStringLiteral("60")});
                    QVERIFY(stranger.waitForStarted());
                    contents = QByteArray::number(stranger.processId()) + "\nlumora\n";
                }
                QFile file(lockPath);
                QVERIFY(file.open(QIODevice::WriteOnly));
                file.write(contents);
            }
        }

        LumoraProcess next(*m_store);
        const QString errors = QDir(m_store->folder()).filePath(QStringLiteral("stderr.txt"));
        next.setStandardErrorFile(errors);
        QVERIFY(next.start({QStringLiteral("--login")}));
        QTRY_VERIFY_WITH_TIMEOUT(clockShown(), settleMs);
        QVERIFY(next.waitUntilIdle());
        QFile said(errors);
        QVERIFY(said.open(QIODevice::ReadOnly));
        const QString text = QString::fromLocal8Bit(said.readAll());
        QCOMPARE(text.count(QLatin1String("taking over the lock file")), 1);
        QVERIFY2(text.contains(lockPath + QStringLiteral(".stale")), qPrintable(text));
        QVERIFY(QFileInfo::exists(lockPath + QStringLiteral(".stale")));
        next.stop();
        stranger.kill();
        stranger.waitForFinished();
    }

    // A start whose store cannot be opened says so and gives its lock back;
    // a session that a kill cut off 3 s after its start is recorded as
    // about that long, however much later the failed start came.
    void failedStartGivesItsLockBack()
    {
        const QString lockPath = m_store->path() + QStringLiteral(".lock");
        LumoraProcess killed(*m_store);
        QVERIFY(killed.start());
        QVERIFY(killed.waitUntilReady(m_probe));
        const QString error = killed.startScreen(redName);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QTRY_COMPARE_WITH_TIMEOUT(LumoraProcess::shownOverlays(m_probe).size(), 2, settleMs);
        QElapsedTimer ran;
        ran.start();
        QTest::qWait(3000); // the session runs 3 s
        killed.kill();
        const double ranSeconds = double(ran.elapsed()) / 1000.0;
        QTRY_VERIFY_WITH_TIMEOUT(LumoraProcess::shownOverlays(m_probe).isEmpty(), settleMs);
        // Long enough that a wrong "last alive" would show in the record.
        QTest::qWait(5000);

        // A folder where the store file was.
        const QString away = m_store->path() + QStringLiteral(".away");
        QVERIFY(QFile::rename(m_store->path(), away));
        QVERIFY(QDir().mkdir(m_store->path()));
        const auto failed = killed.run({});
        QVERIFY(failed.finished);
        QCOMPARE(failed.exitCode, 1);
        QVERIFY2(failed.err.contains(QLatin1String("Could not open the database")), qPrintable(failed.err));
        QVERIFY2(!QFileInfo::exists(lockPath), "the failed start left its lock behind");
        QVERIFY(QDir().rmdir(m_store->path()));
        QVERIFY(QFile::rename(away, m_store->path()));

        LumoraProcess next(*m_store);
        QVERIFY(next.start());
        QVERIFY(next.waitUntilIdle());
        const auto row = m_store->lastSession();
        QVERIFY(row && row->endTime);
        QVERIFY(!row->completed);
        const double recorded = *row->endTime - row->startTime;
        QVERIFY2(recorded > ranSeconds - 3.0 && recorded < ranSeconds + 1.0,
                 qPrintable(QStringLiteral("recorded %1 s for a session killed after %2 s")
                                .arg(recorded)
                                .arg(ranSeconds)));
        next.stop();
    }

    // Without a session bus a second Lumora cannot hand its request over:
    // it says so and exits with an error, and the first one's lock journal
    // and store stay as they were.
    void secondInstanceWithoutBusLeavesTheFirstAlone()
    {
        LumoraProcess first(*m_store);
        QVERIFY(first.start());
        QVERIFY(first.waitUntilReady(m_probe));
        const QString startError = first.startScreen(hideOneMinute);
        QVERIFY2(startError.isEmpty(), qPrintable(startError));
        QTRY_VERIFY_WITH_TIMEOUT(clockHidden(), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(journalWindows(journalPath()).contains(m_clock->window()), settleMs);
        QFile journal(journalPath());
        QVERIFY(journal.open(QIODevice::ReadOnly));
        const QByteArray before = journal.readAll();
        journal.close();
        const auto rowsBefore = m_store->sessions().size();

        QProcessEnvironment noBus = first.environment();
        noBus.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        for (const QStringList &arguments : {QStringList{}, QStringList{QStringLiteral("--status")},
                                             QStringList{QStringLiteral("--start"), threeSeconds}}) {
            const auto second = LumoraProcess::run(noBus, arguments);
            QVERIFY2(second.finished, qPrintable(arguments.join(u' ')));
            QVERIFY2(second.exitCode != 0, qPrintable(arguments.join(u' ')));
            QVERIFY2(second.err.contains(QLatin1String("cannot be reached")), qPrintable(second.err));
            QVERIFY(first.isRunning());
            QVERIFY(journal.open(QIODevice::ReadOnly));
            QCOMPARE(journal.readAll(), before);
            journal.close();
            QCOMPARE(m_store->sessions().size(), rowsBefore);
            QVERIFY(clockHidden());
        }

        first.stop(); // SIGTERM: the session ends and the clock comes back
        QTRY_VERIFY_WITH_TIMEOUT(clockShown(), settleMs);
        QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(journalPath()), settleMs);
    }

    // Start requests while a session runs are refused with an error and
    // leave no session behind; a start returns once the session runs.
    void startRequestsDuringASessionAreRefused()
    {
        LumoraProcess lumora(*m_store);
        QVERIFY(lumora.start());
        QVERIFY(lumora.waitUntilReady(m_probe));
        const QString startError = lumora.startScreen(redName);
        QVERIFY2(startError.isEmpty(), qPrintable(startError));
        // Straight after the start the countdown is there, the name escaped.
        const QString status = lumora.status();
        QVERIFY2(status.startsWith(QStringLiteral("Cover \\x1b[31mRed - ")), qPrintable(status));
        QCOMPARE(m_store->sessions().size(), 1);

        QDBusConnection bus = QDBusConnection::sessionBus();
        QList<QDBusPendingCall> calls;
        for (int i = 0; i < startRequests; ++i) {
            QDBusMessage message = QDBusMessage::createMethodCall(
                m_store->serviceName(), QStringLiteral("/io/github/lumora/Lumora"),
                QStringLiteral("io.github.lumora.Lumora"), QStringLiteral("StartFocusScreen"));
            message << (i % 2 ? threeSeconds : hideOneMinute);
            calls.append(bus.asyncCall(message));
        }
        for (auto &call : calls) {
            QTRY_VERIFY_WITH_TIMEOUT(call.isFinished(), 30000);
            QVERIFY(call.isError());
            QCOMPARE(call.error().message(), runningRed);
        }
        const auto second = lumora.run({QStringLiteral("--start"), threeSeconds});
        QVERIFY(second.finished);
        QCOMPARE(second.exitCode, 1);
        // The name's escape sequence is written out, not sent to the terminal.
        QCOMPARE(second.err.trimmed(),
                 QStringLiteral("lumora: a focus session is already running: Cover \\x1b[31mRed"));

        const auto rows = m_store->sessions();
        QCOMPARE(rows.size(), 1);
        QCOMPARE(rows.first().screenName, redName);
        QVERIFY(!rows.first().endTime);
        lumora.stop();
        QTRY_VERIFY_WITH_TIMEOUT(m_store->sessions().value(0).endTime.has_value(), settleMs);
    }

    // SIGTERM within 50 ms of Ctrl+N: the new focus screen is in the file.
    void terminatedRightAfterANewScreenKeepsIt()
    {
        LumoraProcess lumora(*m_store);
        QVERIFY(lumora.start());
        QVERIFY(lumora.waitUntilReady(m_probe));
        const QString activated = activateMainWindow();
        QVERIFY2(activated.isEmpty(), qPrintable(activated));

        const auto screensBefore = m_store->screenNames().size();
        QElapsedTimer sinceKey;
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+n")}));
        sinceKey.start();
        ::kill(pid_t(lumora.pid()), SIGTERM);
        QVERIFY2(sinceKey.elapsed() < 50, qPrintable(QString::number(sinceKey.elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(!lumora.isRunning(), settleMs);
        const auto names = m_store->screenNames();
        QCOMPARE(names.size(), screensBefore + 1);
        QCOMPARE(names.last(), QStringLiteral("New Focus Screen"));
    }

    // A full disk: a finished session and a new focus screen cannot be
    // written. The user is told, both are kept, and once there is room again
    // they are written.
    void fullDiskKeepsChangesUntilThereIsRoom()
    {
        if (::getuid() != 0)
            QSKIP("mounting a small file system needs root; this test runs only as root");
        QTemporaryDir mountPoint;
        QVERIFY(mountPoint.isValid());
        QProcess mount;
        mount.start(QStringLiteral("mount"),
                    {QStringLiteral("-t"), QStringLiteral("tmpfs"), QStringLiteral("-o"),
                     QStringLiteral("size=2m"), QStringLiteral("tmpfs"), mountPoint.path()});
        if (!mount.waitForFinished(10000) || mount.exitCode() != 0)
            QSKIP(qPrintable(QStringLiteral("mounting a tmpfs is not permitted here: ") +
                             QString::fromLocal8Bit(mount.readAllStandardError()).trimmed()));
        struct Unmount
        {
            QString path;
            ~Unmount() { QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), path}); }
        } unmount{mountPoint.path()};

        ScratchStore store(QStringLiteral("Lumora.store"), mountPoint.path());
        QVERIFY(store.isValid());
        const QString error = fill(store);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        LumoraProcess lumora(store);
        QVERIFY(lumora.start());
        QVERIFY(lumora.waitUntilReady(m_probe));
        const auto screensBefore = store.screenNames().size();

        // Fill the file system up to the last byte.
        const QString fillerPath = QDir(mountPoint.path()).filePath(QStringLiteral("filler"));
        {
            QFile filler(fillerPath);
            QVERIFY(filler.open(QIODevice::WriteOnly));
            const QByteArray block(4096, 'x');
            while (filler.write(block) == block.size() && filler.flush()) {
            }
        }
        const auto notificationsBefore = m_notifications.received().size();

        const QString startError = lumora.startScreen(threeSeconds);
        QVERIFY2(startError.isEmpty(), qPrintable(startError));
        QTRY_VERIFY_WITH_TIMEOUT(LumoraProcess::shownOverlays(m_probe).isEmpty() &&
                                     m_notifications.received().size() >= notificationsBefore + 3,
                                 threeSecondSessionEndsWithinMs);
        QStringList summaries;
        for (const auto &n : m_notifications.received().mid(notificationsBefore))
            summaries.append(n.summary);
        QVERIFY2(summaries.contains(QLatin1String("Lumora Could Not Save")),
                 qPrintable(summaries.join(u'|')));
        QVERIFY2(summaries.contains(QLatin1String("Focus Session Complete")),
                 qPrintable(summaries.join(u'|')));
        QVERIFY2(summaries.contains(QLatin1String("Focus Session Not Recorded Yet")),
                 qPrintable(summaries.join(u'|')));
        for (const auto &n : m_notifications.received().mid(notificationsBefore))
            if (n.summary == QLatin1String("Lumora Could Not Save"))
                QVERIFY2(n.body.contains(QLatin1String("full")), qPrintable(n.body));

        // A new focus screen from the main window cannot be written either.
        lumora.run({QStringLiteral("--open")});
        const QString activated = activateMainWindow();
        QVERIFY2(activated.isEmpty(), qPrintable(activated));
        QVERIFY(xdotool({QStringLiteral("key"), QStringLiteral("ctrl+n")}));
        // Longer than the automatic save and a retry: nothing reached the file.
        QTest::qWait(ModelContext::kAutosaveDelayMs + ModelContext::kRetryDelayMs + 500);
        QCOMPARE(store.sessions().size(), 0);
        QCOMPARE(store.screenNames().size(), screensBefore);
        QVERIFY(lumora.isRunning());

        // The lock journal cannot be written either: nothing is hidden, and
        // the user hears why; the overlay still covers the screens.
        const auto beforeHide = m_notifications.received().size();
        const auto hiding = lumora.run({QStringLiteral("--start"), hideOneMinute});
        QVERIFY2(hiding.finished && hiding.exitCode == 0, qPrintable(hiding.err));
        QTRY_VERIFY_WITH_TIMEOUT(!LumoraProcess::shownOverlays(m_probe).isEmpty(), settleMs);
        QVERIFY(clockShown());
        QVERIFY(!QFile::exists(store.path() + QStringLiteral(".locked-windows")));
        QTRY_VERIFY_WITH_TIMEOUT(m_notifications.received().size() > beforeHide, settleMs);
        const auto refused = m_notifications.received().at(beforeHide);
        QCOMPARE(refused.summary, QStringLiteral("Applications Not Hidden"));
        QVERIFY2(refused.body.contains(QLatin1String("lock journal")), qPrintable(refused.body));

        QVERIFY(QFile::remove(fillerPath));
        QTRY_COMPARE_WITH_TIMEOUT(store.sessions().size(), 2, 4 * ModelContext::kRetryDelayMs);
        QTRY_COMPARE_WITH_TIMEOUT(store.screenNames().size(), screensBefore + 1,
                                  4 * ModelContext::kRetryDelayMs);
        const auto rows = store.sessions();
        QCOMPARE(rows.first().screenName, threeSeconds);
        QVERIFY(rows.first().completed);
        QVERIFY(rows.first().endTime.has_value());
        QCOMPARE(rows.last().screenName, hideOneMinute);
        QVERIFY(!rows.last().endTime);
        lumora.stop(); // the running session is saved as ended early
        QTRY_VERIFY_WITH_TIMEOUT(store.sessions().value(1).endTime.has_value(), settleMs);
    }
};

QTEST_MAIN(TestE2eDurability)
#include "tst_e2e_durability.moc"

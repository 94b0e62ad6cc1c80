// SPDX-License-Identifier: MIT
#include "AppLockManager.h"
#include "FakeAccessibility.h"
#include "FakeWorkspace.h"
#include "LockJournal.h"
#include "StdoutCapture.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

using Mode = AppLockManager::LockMode;

namespace {

// Apps are written "id[|name...]:pid[:flags]"; "-" stands for an absent
// application id or pid, the names after "|" are what the app goes by besides its
// application id, flag "h" = hidden before the lock, "s" = this program itself.
struct Desk
{
    FakeWorkspace workspace;
    FakeAccessibility accessibility{&workspace};
    std::unique_ptr<AppLockManager> manager = std::make_unique<AppLockManager>(&workspace, &accessibility);
    QList<RunningApplication> apps;

    explicit Desk(const QStringList &descriptions = {})
    {
        for (const auto &description : descriptions)
            apps.append(add(description));
    }
    // Adds the described application to the desk; launched: only makes it,
    // for a launch still to come.
    RunningApplication add(const QString &description, bool launched = false)
    {
        const auto parts = description.split(QLatin1Char(':'));
        auto names = parts.value(0).split(QLatin1Char('|'));
        const auto first = names.takeFirst();
        const auto appId = first == QLatin1String("-") ? std::nullopt : std::optional(first);
        const auto pid =
            parts.value(1) == QLatin1String("-") ? std::nullopt : std::optional(parts.value(1).toInt());
        const auto flags = parts.value(2);
        const auto app = launched
                             ? workspace.makeApplication(appId, pid, names)
                             : workspace.addApplication(appId, pid, flags.contains(QLatin1Char('h')), names);
        if (flags.contains(QLatin1Char('s')))
            workspace.setCurrentApplication(app);
        return app;
    }
    RunningApplication app(const QString &identity) const
    {
        for (const auto &a : apps)
            if (a.identity() == identity)
                return a;
        return {};
    }
    QStringList hiddenIdentities() const
    {
        QStringList out;
        for (const auto &a : manager->hiddenApps())
            out.append(a.identity());
        return out;
    }
    QStringList hiddenNow() const
    {
        QStringList out;
        for (const auto &a : apps)
            if (workspace.isHidden(a))
                out.append(a.identity());
        return out;
    }
};

void drainEvents()
{
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
}

QJsonObject readJson(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QJsonDocument::fromJson(f.readAll()).object();
}

void writeJson(const QString &path, const QJsonObject &object)
{
    QFile out(path);
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(QJsonDocument(object).toJson());
}

// A journal left by a run that is gone, naming the first `hidden` of the
// desk's applications, which it hid; what the file says.
QJsonObject leaveJournal(Desk &desk, const QString &path, int hidden)
{
    for (int i = 0; i < hidden; ++i)
        desk.workspace.setHiddenFlag(desk.apps[i], true, true);
    if (!LockJournal(path).write(desk.workspace.hiddenWindowsRecord()))
        return {};
    return readJson(path);
}

// Every identity a journal record names.
QStringList named(const QJsonObject &record)
{
    QStringList out;
    for (const auto &value : record.value(QStringLiteral("hidden")).toArray())
        out.append(value.toString());
    return out;
}

// A child process that has ended and is not collected yet.
struct Zombie
{
    pid_t pid = ::fork();
    Zombie()
    {
        if (pid == 0)
            ::_exit(0);
        // Ended once its stat says so; it stays until waitpid below.
        QTRY_VERIFY_WITH_TIMEOUT(
            QFile::exists(QStringLiteral("/proc/%1").arg(pid)) &&
                [this] {
                    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
                    return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") Z ");
                }(),
            5000);
    }
    ~Zombie() { ::waitpid(pid, nullptr, 0); }
};

// A path that cannot be written whoever runs the test: its folder is a file.
const QString unwritableJournal = QStringLiteral("/dev/null/Lumora.store.locked-windows");

} // namespace

class TestAppLock : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lockModeConversion_data()
    {
        QTest::addColumn<QString>("raw");
        QTest::addColumn<Mode>("expected");
        QTest::newRow("hideApps") << QStringLiteral("hideApps") << Mode::hideApps;
        QTest::newRow("preventLaunch") << QStringLiteral("preventLaunch") << Mode::preventLaunch;
        QTest::newRow("overlay") << QStringLiteral("overlay") << Mode::overlay;
        QTest::newRow("other case") << QStringLiteral("Overlay") << Mode::hideApps;
        QTest::newRow("blank around") << QStringLiteral(" overlay") << Mode::hideApps;
        QTest::newRow("empty") << QString() << Mode::hideApps;
    }
    void lockModeConversion()
    {
        QFETCH(QString, raw);
        QFETCH(Mode, expected);
        QCOMPARE(AppLockManager::lockModeFromRaw(raw), expected);
        QCOMPARE(rawValue(expected), fromRaw<Mode>(raw) ? raw : QStringLiteral("hideApps"));
    }

    void lockModeFromRecord()
    {
        const auto recordModes = allCases<::LockMode>();
        const auto modes = allCases<Mode>();
        QCOMPARE(modes.size(), recordModes.size());
        for (int i = 0; i < modes.size(); ++i) {
            QCOMPARE(AppLockManager::lockMode(recordModes[i]), modes[i]);
            QCOMPARE(rawValue(modes[i]), rawValue(recordModes[i]));
        }
    }

    // A lock from an allow list hides what it does not name, one from a block
    // list exactly what it names; both leave alone what they cannot or must
    // not hide, and show again what they hid at the end.
    void sweep_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<bool>("blockList");
        QTest::addColumn<QStringList>("apps");
        QTest::addColumn<QStringList>("list");
        QTest::addColumn<QStringList>("expectedHidden");
        const auto row = [](const char *name, Mode mode, bool blockList, const QStringList &apps,
                            const QStringList &list, const QStringList &hidden) {
            QTest::newRow(name) << mode << blockList << apps << list << hidden;
        };
        const QStringList desk{"XTerm:10", "XClock:11", "XEyes:12"};
        row("allowed app stays, others hidden in order", Mode::hideApps, false, desk, {"XTerm"},
            {"pid:11", "pid:12"});
        row("overlay hides nothing", Mode::overlay, false, desk, {}, {});
        row("visit order is the workspace's", Mode::hideApps, false, {"C:30", "A:10", "B:20"}, {},
            {"pid:30", "pid:10", "pid:20"});
        row("allow list ignores case", Mode::hideApps, false, {"xterm:10", "XClock:11"}, {"XTERM"},
            {"pid:11"});
        row("allow list ignores blanks and .desktop", Mode::hideApps, false, desk,
            {" XTerm", "xclock.Desktop "}, {"pid:12"});
        row("desktop-entry id names an app of another class", Mode::hideApps, false,
            {"XTerm|debian-xterm|xterm:10", "URxvt|rxvt-unicode|urxvt:11", "XEyes:12"},
            {"debian-xterm", "rxvt-unicode.desktop"}, {"pid:12"});
        row("any name allows: instance, program", Mode::hideApps, false,
            {"URxvt|urxvt:10", "Navigator|firefox-esr:11", "XEyes:12"}, {"URXVT", "Firefox-ESR"}, {"pid:12"});
        row("a name is whole, not a part", Mode::hideApps, false, {"XTerm|debian-xterm:10"},
            {"debian", "term", ""}, {"pid:10"});
        row("allow list duplicates collapse", Mode::hideApps, false, {"XTerm:10", "A:11"}, {"XTerm", "XTerm"},
            {"pid:11"});
        row("app without application id is never hidden", Mode::hideApps, false, {"-:10", "A:11"}, {},
            {"pid:11"});
        row("itself is never hidden, though not allowed", Mode::hideApps, false, {"Lumora:10:s", "A:11"}, {},
            {"pid:11"});
        row("app hidden before is not remembered", Mode::hideApps, false, {"A:10:h", "B:11"}, {}, {"pid:11"});
        row("app without pid is still hidden", Mode::hideApps, false, {"A:-"}, {}, {"app:1"});
        row("only the blocked go", Mode::hideApps, true, {"A:10", "B:11", "C:12"}, {"B"}, {"pid:11"});
        row("blocked by any name, any case", Mode::preventLaunch, true,
            {"XTerm|debian-xterm|xterm:10", "Firefox|firefox-esr:11", "C:12"},
            {"DEBIAN-XTERM.desktop", "firefox-esr"}, {"pid:10", "pid:11"});
        row("empty block list hides nothing", Mode::hideApps, true, {"A:10", "B:11"}, {}, {});
        row("itself is never hidden, though blocked", Mode::hideApps, true, {"Lumora:10:s", "A:11"},
            {"Lumora", "A"}, {"pid:11"});
        row("block list in overlay mode hides nothing", Mode::overlay, true, {"A:10"}, {"A"}, {});
    }
    void sweep()
    {
        QFETCH(Mode, mode);
        QFETCH(bool, blockList);
        QFETCH(QStringList, apps);
        QFETCH(QStringList, list);
        QFETCH(QStringList, expectedHidden);
        const auto kind = blockList ? AppLockManager::ListKind::blocked : AppLockManager::ListKind::allowed;
        Desk desk(apps);
        const auto hiddenBefore = desk.hiddenNow();

        desk.manager->startLock(mode, list, kind);
        QVERIFY(desk.manager->isActive());
        QCOMPARE(desk.hiddenIdentities(), expectedHidden);
        const QSet<QString> named(list.cbegin(), list.cend());
        QCOMPARE(desk.manager->allowedAppIds(), blockList ? QSet<QString>() : named);
        QCOMPARE(desk.manager->blockedAppIds(), blockList ? named : QSet<QString>());
        auto hiddenNow = hiddenBefore + expectedHidden;
        hiddenNow.sort();
        auto actual = desk.hiddenNow();
        actual.sort();
        QCOMPARE(actual, hiddenNow);
        drainEvents();
        QVERIFY2(!desk.workspace.calls().join(' ').contains(QLatin1String(" hide:")), "no fallback hide");
        // A block list in preventLaunch hides again only what it names.
        if (blockList && mode == Mode::preventLaunch) {
            const auto other = desk.workspace.makeApplication(QStringLiteral("Other"), 20);
            const auto again = desk.workspace.makeApplication(QStringLiteral("firefox-esr"), 21);
            desk.workspace.launch(other);
            desk.workspace.launch(again);
            drainEvents();
            QVERIFY(!desk.workspace.isHidden(other));
            QVERIFY(desk.workspace.isHidden(again));
        }

        desk.manager->stopLock();
        drainEvents();
        QVERIFY(!desk.manager->isActive());
        QCOMPARE(desk.manager->currentMode(), mode);
        QCOMPARE(desk.manager->listKind(), kind);
        QVERIFY(desk.manager->hiddenApps().isEmpty());
        QVERIFY(desk.manager->allowedAppIds().isEmpty());
        QCOMPARE(desk.hiddenNow(), hiddenBefore);
    }

    void observersPerMode_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::addColumn<int>("launchObservers");
        QTest::addColumn<bool>("watched");
        QTest::newRow("hideApps") << Mode::hideApps << 0 << true;
        QTest::newRow("preventLaunch") << Mode::preventLaunch << 1 << true;
        QTest::newRow("overlay") << Mode::overlay << 0 << false;
    }
    // The workspace is watched only while the lock hides applications: at
    // rest (before and after) it may sleep.
    void observersPerMode()
    {
        QFETCH(Mode, mode);
        QFETCH(int, launchObservers);
        QFETCH(bool, watched);
        Desk desk;
        QVERIFY(!desk.workspace.isWatching());
        desk.manager->startLock(mode, {});
        QCOMPARE(desk.workspace.isWatching(), watched);
        QCOMPARE(desk.workspace.launchObserverCount(), launchObservers);
        QCOMPARE(desk.workspace.terminationObserverCount(), 1);
        QCOMPARE(desk.manager->isObservingLaunches(), launchObservers == 1);
        QVERIFY(desk.manager->isObservingTerminations());
        desk.manager->stopLock();
        QVERIFY(!desk.workspace.isWatching());
        QCOMPARE(desk.workspace.launchObserverCount(), 0);
        QCOMPARE(desk.workspace.terminationObserverCount(), 0);
        QVERIFY(!desk.manager->isObservingLaunches());
        QVERIFY(!desk.manager->isObservingTerminations());
    }

    // A start while locked and a stop while idle change nothing.
    void repeatedStartAndStopChangeNothing()
    {
        Desk desk({"A:10", "B:11", "C:12:h"});
        desk.manager->startLock(Mode::preventLaunch, {"B"});
        const auto calls = desk.workspace.calls();
        QSignalSpy modeSpy(desk.manager.get(), &AppLockManager::currentModeChanged);
        QSignalSpy activeSpy(desk.manager.get(), &AppLockManager::isActiveChanged);

        desk.manager->startLock(Mode::overlay, {"A", "C"});
        QCOMPARE(desk.manager->currentMode(), Mode::preventLaunch);
        QCOMPARE(desk.manager->allowedAppIds(), QSet<QString>{"B"});
        QCOMPARE(desk.hiddenIdentities(), QStringList{"pid:10"});
        QCOMPARE(desk.workspace.calls(), calls);
        QCOMPARE(desk.workspace.launchObserverCount(), 1);
        QCOMPARE(desk.workspace.terminationObserverCount(), 1);
        QCOMPARE(modeSpy.count(), 0);
        QCOMPARE(activeSpy.count(), 0);

        desk.manager->stopLock();
        drainEvents();
        desk.workspace.clearCalls();
        desk.manager->stopLock();
        drainEvents();
        QVERIFY(desk.workspace.calls().isEmpty());
        QCOMPARE(activeSpy.count(), 1);
        QCOMPARE(desk.manager->currentMode(), Mode::preventLaunch);
        QCOMPARE(desk.hiddenNow(), QStringList{"pid:12"});
    }

    // A terminated application leaves the list; the rest are shown again in
    // the list's order.
    void terminationPrunesByPid()
    {
        Desk desk({"C:12", "A:10", "B:11"});
        desk.manager->startLock(Mode::hideApps, {});
        desk.workspace.terminate(desk.app("pid:11"));
        // Handled after the workspace's notification has returned.
        QCOMPARE(desk.hiddenIdentities().size(), 3);
        drainEvents();
        QCOMPARE(desk.hiddenIdentities(), (QStringList{"pid:12", "pid:10"}));

        // A termination of something never hidden, or without a pid, changes nothing.
        desk.workspace.terminate(desk.workspace.makeApplication(QStringLiteral("Z"), 99));
        desk.workspace.terminate(desk.workspace.makeApplication(QStringLiteral("Y"), std::nullopt));
        desk.workspace.terminate(RunningApplication());
        drainEvents();
        QCOMPARE(desk.hiddenIdentities(), (QStringList{"pid:12", "pid:10"}));

        desk.workspace.clearCalls();
        desk.manager->stopLock();
        drainEvents();
        QCOMPARE(desk.workspace.calls(), (QStringList{"ax-unhide:pid:12", "ax-unhide:pid:10"}));
    }

    // XClock (pid 11) is hidden by the lock, XTerm allowed; what a launch
    // hides is remembered once, to be shown again at the end.
    void launchDuringPreventLaunch_data()
    {
        QTest::addColumn<QString>("launched");
        QTest::addColumn<bool>("accessibilityFails");
        QTest::addColumn<bool>("expectHidden");
        const auto row = [](const char *name, const char *launched, bool accessibilityFails, bool hidden) {
            QTest::newRow(name) << QString::fromLatin1(launched) << accessibilityFails << hidden;
        };
        row("new app hidden", "New:20", false, true);
        row("accessibility fails: plain hide, still remembered", "New:20", true, true);
        row("allowed app left alone", "XTerm:20", false, false);
        row("allow list ignores case", "xterm:20", false, false);
        row("relaunch named by another of its names", "debian-xterm|XTerm:20", false, false);
        row("other app hidden", "xterminal:20", false, true);
        row("no application id left alone", "-:20", false, false);
        row("no pid left alone", "New:-", false, false);
        row("itself left alone", "Lumora:20:s", false, false);
        row("known pid hidden again without a second entry", "XClock:11", false, true);
    }
    void launchDuringPreventLaunch()
    {
        QFETCH(QString, launched);
        QFETCH(bool, accessibilityFails);
        QFETCH(bool, expectHidden);
        Desk desk({"XTerm:10", "XClock:11"});
        desk.manager->startLock(Mode::preventLaunch, {"XTerm"});
        QCOMPARE(desk.hiddenIdentities(), QStringList{"pid:11"});

        RunningApplication app;
        if (launched.startsWith(QLatin1String("XClock:11"))) {
            app = desk.app("pid:11");
            desk.workspace.setHiddenFlag(app, false); // the user brought it back
        } else {
            app = desk.add(launched, true);
        }
        if (accessibilityFails)
            desk.accessibility.failHiding(app.identity());
        desk.workspace.launch(app);
        QVERIFY(!desk.workspace.isHidden(app)); // nothing happens inside the notification
        drainEvents();
        QCOMPARE(desk.workspace.isHidden(app), expectHidden);
        QStringList expectedList{QStringLiteral("pid:11")};
        if (expectHidden && app.identity() != expectedList.first())
            expectedList << app.identity();
        QCOMPARE(desk.hiddenIdentities(), expectedList);

        // Whatever was launched and hidden during the lock is shown again at the end.
        desk.manager->stopLock();
        drainEvents();
        QVERIFY(!desk.workspace.isHidden(app));
        QVERIFY(!desk.workspace.isHidden(desk.app("pid:11")));
    }

    void launchesIgnoredOutsidePreventLaunch_data()
    {
        QTest::addColumn<Mode>("mode");
        QTest::newRow("hideApps") << Mode::hideApps;
        QTest::newRow("overlay") << Mode::overlay;
    }
    void launchesIgnoredOutsidePreventLaunch()
    {
        QFETCH(Mode, mode);
        Desk desk;
        desk.manager->startLock(mode, {});
        const auto app = desk.workspace.makeApplication(QStringLiteral("New"), 20);
        desk.workspace.launch(app);
        drainEvents();
        QVERIFY(!desk.workspace.isHidden(app));
        QVERIFY(desk.manager->hiddenApps().isEmpty());
    }

    void sweepFallbackIsNotRemembered()
    {
        Desk desk({"A:10", "B:11"});
        desk.accessibility.failHiding(QStringLiteral("pid:11"));
        desk.manager->startLock(Mode::hideApps, {});
        QCOMPARE(desk.hiddenIdentities(), QStringList{"pid:10"});
        // The plain hide runs after startLock has returned.
        QVERIFY(!desk.workspace.calls().contains(QStringLiteral("hide:pid:11")));
        QVERIFY(!desk.workspace.isHidden(desk.app("pid:11")));
        drainEvents();
        QVERIFY(desk.workspace.calls().contains(QStringLiteral("hide:pid:11")));
        QVERIFY(desk.workspace.isHidden(desk.app("pid:11")));

        desk.manager->stopLock();
        drainEvents();
        QCOMPARE(desk.hiddenNow(), QStringList{"pid:11"});
    }

    void restoreFallback_data()
    {
        QTest::addColumn<bool>("unhideFails");
        QTest::addColumn<bool>("unhideHasNoEffect");
        QTest::addColumn<bool>("expectPlainUnhide");
        QTest::newRow("accessibility shows it") << false << false << false;
        QTest::newRow("accessibility fails") << true << false << true;
        QTest::newRow("accessibility succeeds but it stays hidden") << false << true << true;
    }
    void restoreFallback()
    {
        QFETCH(bool, unhideFails);
        QFETCH(bool, unhideHasNoEffect);
        QFETCH(bool, expectPlainUnhide);
        Desk desk({"A:10"});
        if (unhideFails)
            desk.accessibility.failUnhiding(QStringLiteral("pid:10"));
        if (unhideHasNoEffect)
            desk.accessibility.unhideWithoutEffect(QStringLiteral("pid:10"));
        desk.manager->startLock(Mode::hideApps, {});
        desk.workspace.clearCalls();

        desk.manager->stopLock();
        QCOMPARE(desk.workspace.calls(), QStringList{"ax-unhide:pid:10"});
        QVERIFY(desk.manager->hiddenApps().isEmpty());
        drainEvents();
        QCOMPARE(desk.workspace.calls().contains(QStringLiteral("unhide:pid:10")), expectPlainUnhide);
        QVERIFY(!desk.workspace.isHidden(desk.app("pid:10")));
    }

    void handlersHoldTheManagerWeakly()
    {
        Desk desk({"A:10"});
        desk.manager->startLock(Mode::preventLaunch, {});
        const auto app = desk.workspace.makeApplication(QStringLiteral("New"), 20);
        desk.workspace.launch(app); // queued for the manager...
        desk.workspace.terminate(desk.app("pid:10"));
        desk.manager.reset(); // ...which is gone before it runs
        drainEvents();
        QVERIFY(!desk.workspace.isHidden(app));
        desk.workspace.launch(desk.workspace.makeApplication(QStringLiteral("Later"), 21));
        drainEvents();
        QCOMPARE(desk.workspace.launchObserverCount(), 0);
    }

    void nothingHideableIsSaidOnce()
    {
        Desk desk({"A:10"});
        desk.workspace.setAvailable(false, QStringLiteral("Wayland session"));
        StdoutCapture capture;
        QSignalSpy told(desk.manager.get(), &AppLockManager::hidingUnavailable);
        desk.manager->startLock(Mode::overlay, {});
        desk.manager->stopLock();
        desk.manager->startLock(Mode::hideApps, {});
        QVERIFY(desk.manager->isActive());
        desk.manager->stopLock();
        desk.manager->startLock(Mode::preventLaunch, {});
        desk.manager->stopLock();
        const auto lines = capture.text().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 1);
        QVERIFY(lines[0].startsWith(QLatin1String("Lumora: ")));
        QVERIFY(lines[0].contains(QLatin1String("Wayland session")));
        // The interface hears of it as often: once.
        QCOMPARE(told.size(), 1);
        QCOMPARE(told.first().first().toString(), QStringLiteral("Wayland session"));
    }

    void journalFollowsTheLock()
    {
        QTemporaryDir dir;
        const auto path = LockJournal::pathForStore(dir.filePath(QStringLiteral("Lumora.store")));
        QCOMPARE(path, dir.filePath(QStringLiteral("Lumora.store.locked-windows")));
        Desk desk({"A:10", "B:11", "XTerm:12"});
        desk.manager->setJournalPath(path);

        desk.manager->startLock(Mode::preventLaunch, {"XTerm"});
        QVERIFY(QFile::exists(path));
        QCOMPARE(readJson(path).value("record").toObject(), desk.workspace.hiddenWindowsRecord());
        QCOMPARE(QFile::permissions(path) & (QFile::ReadGroup | QFile::ReadOther), QFile::Permissions());

        desk.workspace.launch(desk.workspace.makeApplication(QStringLiteral("New"), 20));
        drainEvents();
        drainEvents();
        QCOMPARE(readJson(path).value("record").toObject().value("hidden").toArray().size(), 3);

        desk.manager->stopLock();
        QVERIFY(!QFile::exists(path));

        desk.manager->startLock(Mode::overlay, {});
        QVERIFY(!QFile::exists(path)); // nothing hidden, nothing written
        desk.manager->stopLock();
    }

    void leftoversAreRestoredAtStart()
    {
        QTemporaryDir dir;
        const auto path = dir.filePath(QStringLiteral("Lumora.store.locked-windows"));
        Desk desk({"A:10", "B:11", "C:12:h"});
        desk.manager->setJournalPath(path);
        desk.manager->startLock(Mode::hideApps, {});
        desk.manager.reset(); // the run dies without stopLock
        QVERIFY(QFile::exists(path));
        QCOMPARE(desk.hiddenNow().size(), 3);

        QCOMPARE(LockJournal::restoreLeftovers(desk.workspace, path), 2);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(desk.hiddenNow(), QStringList{"pid:12"}); // hidden by the user, stays hidden
        QCOMPARE(LockJournal::restoreLeftovers(desk.workspace, path), 0);
    }

    // The order that makes a lock crash-safe: the journal names an
    // application, durably, before any call that hides it.
    void journalIsWrittenBeforeEveryHide_data()
    {
        QTest::addColumn<QString>("path");
        QTest::newRow("sweep") << "sweep";
        QTest::newRow("plain hide after a failed accessibility hide") << "fallback";
        QTest::newRow("launch during preventLaunch") << "launch";
    }
    void journalIsWrittenBeforeEveryHide()
    {
        QFETCH(QString, path);
        QTemporaryDir dir;
        const auto journal = dir.filePath(QStringLiteral("Lumora.store.locked-windows"));
        Desk desk({"A:10", "B:11", "Allowed:12", "C:13:h"});
        desk.manager->setJournalPath(journal);
        QObject::connect(desk.manager.get(), &AppLockManager::journalWritten, &desk.workspace,
                         [&](const QJsonObject &record) {
                             // What is on disk now, not what was meant to be.
                             QCOMPARE(readJson(journal).value("record").toObject(), record);
                             desk.workspace.logCall(QStringLiteral("journal:") + named(record).join(u','));
                         });
        if (path == QLatin1String("fallback"))
            desk.accessibility.failHiding(QStringLiteral("pid:11"));

        desk.manager->startLock(Mode::preventLaunch, {"Allowed"});
        if (path == QLatin1String("launch"))
            desk.workspace.launch(desk.workspace.makeApplication(QStringLiteral("New"), 20));
        drainEvents();
        drainEvents();

        const auto calls = desk.workspace.calls();
        QStringList durable;
        int hides = 0;
        for (const auto &call : calls) {
            if (call.startsWith(QLatin1String("journal:"))) {
                durable = call.mid(8).split(u',', Qt::SkipEmptyParts);
                continue;
            }
            for (const auto prefix : {QLatin1String("ax-hide:"), QLatin1String("hide:")}) {
                if (call.startsWith(prefix)) {
                    ++hides;
                    const auto identity = call.mid(prefix.size());
                    QVERIFY2(
                        durable.contains(identity),
                        qPrintable(
                            QStringLiteral("%1 before a journal naming it: %2").arg(call, calls.join(u' '))));
                }
            }
        }
        QCOMPARE(hides, path == QLatin1String("sweep") ? 2 : 3);
        QVERIFY(!desk.workspace.isHidden(desk.apps[2]));
        desk.manager->stopLock();
        drainEvents();
        // An application only the plain hide reached stays hidden after the
        // lock, so the journal keeps naming it.
        if (path == QLatin1String("fallback"))
            QCOMPARE(named(readJson(journal).value("record").toObject()), QStringList{"pid:11"});
        else
            QVERIFY(!QFile::exists(journal));
    }

    void failingJournalWriteHidesNothing_data()
    {
        QTest::addColumn<bool>("atLaunch");
        QTest::newRow("at the start") << false;
        QTest::newRow("at a launch") << true;
    }
    void failingJournalWriteHidesNothing()
    {
        QFETCH(bool, atLaunch);
        QTemporaryDir dir;
        Desk desk({"A:10", "B:11"});
        desk.manager->setJournalPath(atLaunch ? dir.filePath(QStringLiteral("journal")) : unwritableJournal);
        QSignalSpy refused(desk.manager.get(), &AppLockManager::hidingRefused);
        if (atLaunch) {
            desk.workspace.setHiddenFlag(desk.apps[0], true); // by the user: nothing to hide at the start
            desk.workspace.setHiddenFlag(desk.apps[1], true);
        }
        {
            StdoutCapture capture;
            desk.manager->startLock(Mode::preventLaunch, {});
            if (atLaunch) {
                desk.manager->setJournalPath(unwritableJournal);
                desk.workspace.launch(desk.workspace.makeApplication(QStringLiteral("New"), 20));
                drainEvents();
            }
        }
        drainEvents();
        QCOMPARE(refused.size(), 1);
        QVERIFY(refused.first().first().toString().contains(QLatin1String("lock journal")));
        for (const auto &call : desk.workspace.calls())
            QVERIFY2(!call.contains(QLatin1String("hide:")) || call.startsWith(QLatin1String("unhide")),
                     qPrintable(call));
        QVERIFY(desk.manager->hiddenApps().isEmpty());
        QVERIFY(desk.manager->isActive()); // the session goes on with the overlay
        desk.manager->stopLock();
    }

    void processLiveness_data()
    {
        QTest::addColumn<QString>("who");
        QTest::addColumn<bool>("alive");
        QTest::newRow("this process") << "self" << true;
        QTest::newRow("this process under another name") << "renamed" << false;
        QTest::newRow("a zombie") << "zombie" << false;
        QTest::newRow("a process that is gone") << "gone" << false;
        QTest::newRow("no process id") << "none" << false;
    }
    void processLiveness()
    {
        QFETCH(QString, who);
        QFETCH(bool, alive);
        if (who == QLatin1String("zombie")) {
            Zombie zombie;
            QCOMPARE(LockJournal::isProcessAlive(zombie.pid), alive);
            return;
        }
        qint64 pid = 0;
        QString name;
        if (who == QLatin1String("self") || who == QLatin1String("renamed")) {
            pid = QCoreApplication::applicationPid();
            if (who == QLatin1String("renamed"))
                name = QStringLiteral("not-this-program");
        } else if (who == QLatin1String("gone")) {
            const pid_t child = ::fork();
            if (child == 0)
                ::_exit(0);
            ::waitpid(child, nullptr, 0);
            pid = child;
        }
        QCOMPARE(LockJournal::isProcessAlive(pid, name), alive);
    }

    void zombieWriterCountsAsDead()
    {
        QTemporaryDir dir;
        const auto path = dir.filePath(QStringLiteral("journal"));
        Desk desk({"A:10", "B:11"});
        auto file = leaveJournal(desk, path, 2);
        QVERIFY(!file.isEmpty());
        Zombie zombie;
        file.insert("writerPid", zombie.pid);
        file.insert("writerToken", QStringLiteral("killed"));
        writeJson(path, file);

        desk.manager->setJournalPath(path);
        QCOMPARE(desk.manager->restoreLeftovers(), 2);
        QVERIFY(desk.hiddenNow().isEmpty());
        QVERIFY(!QFile::exists(path));
    }

    // A journal whose writer still runs is that run's: its windows are not
    // shown, and the file is neither overwritten nor removed.
    void liveWritersJournalIsNeitherOverwrittenNorRemoved()
    {
        QTemporaryDir dir;
        const auto path = dir.filePath(QStringLiteral("journal"));
        Desk desk({"A:10", "B:11"});
        auto file = leaveJournal(desk, path, 1);
        QVERIFY(!file.isEmpty());
        QProcess writer;
        writer.start(QStringLiteral("sleep"), {QStringLiteral("30")});
        QVERIFY(writer.waitForStarted());
        file.insert("writerPid", writer.processId());
        file.insert("writerName", QStringLiteral("sleep"));
        writeJson(path, file);

        QSignalSpy refused(desk.manager.get(), &AppLockManager::hidingRefused);
        desk.manager->setJournalPath(path);
        QCOMPARE(desk.manager->restoreLeftovers(), 0);
        QVERIFY(desk.workspace.isHidden(desk.apps[0]));
        {
            StdoutCapture capture;
            desk.manager->startLock(Mode::hideApps, {});
            desk.manager->stopLock();
        }
        QCOMPARE(refused.size(), 1);
        QVERIFY(!desk.workspace.isHidden(desk.apps[1]));
        QCOMPARE(readJson(path), file);
        writer.kill();
        writer.waitForFinished();
    }

    // Leftovers that cannot be shown yet (no window manager) stay in the
    // journal through every later write, and are shown once a window
    // manager appears.
    void leftoversAreKeptUntilTheyCanBeShown()
    {
        QTemporaryDir dir;
        const auto path = dir.filePath(QStringLiteral("journal"));
        Desk desk({"A:10", "B:11"});
        const auto leftover = leaveJournal(desk, path, 1).value("record").toObject();
        QVERIFY(!leftover.isEmpty());

        desk.workspace.setAvailable(false, QStringLiteral("no EWMH window manager"));
        desk.manager->setJournalPath(path);
        QCOMPARE(desk.manager->restoreLeftovers(), 0);
        QVERIFY(desk.workspace.isWatching()); // for the window manager to appear
        const auto kept = readJson(path);
        QCOMPARE(kept.value("writerPid").toInteger(), QCoreApplication::applicationPid());
        QCOMPARE(kept.value("inherited").toArray(), QJsonArray{leftover});
        {
            StdoutCapture capture;
            desk.manager->startLock(Mode::overlay, {});
            desk.manager->stopLock();
        }
        QCOMPARE(readJson(path).value("inherited").toArray(), QJsonArray{leftover});
        QVERIFY(desk.workspace.isHidden(desk.apps[0]));
        QVERIFY(desk.workspace.isWatching());

        desk.workspace.setAvailable(true);
        drainEvents();
        QVERIFY(!desk.workspace.isHidden(desk.apps[0]));
        QVERIFY(!desk.workspace.isWatching());
        drainEvents();
        QVERIFY(!QFile::exists(path));
    }

    void unreadableJournalIsMovedAside_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("not JSON") << QByteArray("hidden: 0x400007\n");
        QTest::newRow("JSON array") << QByteArray("[1,2]");
        QTest::newRow("other format") << QByteArray(R"({"format":"x","version":1,"record":{}})");
        QTest::newRow("newer version")
            << QByteArray(R"({"format":"lumora-locked-windows","version":2,"record":{}})");
        QTest::newRow("record not an object")
            << QByteArray(R"({"format":"lumora-locked-windows","version":1,"record":[]})");
    }
    void unreadableJournalIsMovedAside()
    {
        QFETCH(QByteArray, content);
        QTemporaryDir dir;
        const auto path = dir.filePath(QStringLiteral("journal"));
        QFile out(path);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write(content);
        out.close();
        Desk desk({"A:10:h"});
        StdoutCapture capture;
        QCOMPARE(LockJournal::restoreLeftovers(desk.workspace, path), 0);
        const auto text = capture.text();
        QVERIFY(!QFile::exists(path));
        // Moved aside, not destroyed: it may name windows still hidden.
        QFile aside(path + QStringLiteral(".unreadable"));
        QVERIFY(aside.open(QIODevice::ReadOnly));
        QCOMPARE(aside.readAll(), content);
        QVERIFY2(text.startsWith(QLatin1String("Lumora: Ignoring unreadable lock journal")),
                 qPrintable(text));
        QVERIFY(desk.workspace.isHidden(desk.apps[0]));
    }
};

QTEST_GUILESS_MAIN(TestAppLock)
#include "tst_applock.moc"

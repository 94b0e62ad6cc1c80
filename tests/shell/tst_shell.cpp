// SPDX-License-Identifier: MIT
// The shell's texts and rules that need no desktop: countdown title and
// tooltip, popover durations, the login-launch rule, the command line, the
// tray icon drawing, the main window's close and the popover's tint.
#include "AboutDialog.h"
#include "AppDelegate.h"
#include "AppModel.h"
#include "AppSettings.h"
#include "Appearance.h"
#include "CommandLine.h"
#include "DurationFormat.h"
#include "FakeHotKeyBackend.h"
#include "FakePlatformServices.h"
#include "FakeUserNotifications.h"
#include "FakeWorkspace.h"
#include "FocusOverlayController.h"
#include "FocusScheduler.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "FocusSessionManager.h"
#include "GeneralSettings.h"
#include "GridProbes.h"
#include "LockJournal.h"
#include "LockModeBadge.h"
#include "MainWindow.h"
#include "MenuBarPopover.h"
#include "ModelContainer.h"
#include "ModelContext.h"
#include "Schedule.h"
#include "SessionServices.h"
#include "ShortcutField.h"
#include "SingleInstance.h"
#include "StatusItem.h"
#include "StatusText.h"
#include "Store.h"
#include "ThemeStore.h"
#include "Translations.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QStyleOptionButton>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

std::unique_ptr<ModelContainer> scratchContainer(const QTemporaryDir &dir)
{
    QString error;
    auto container =
        ModelContainer::open(dir.filePath(QStringLiteral("Lumora.store")), Store::schema(), &error);
    if (!container)
        qFatal("cannot open scratch store: %s", qPrintable(error));
    return container;
}

// What a file holds; nothing when it cannot be read (or is a folder).
QByteArray contents(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Serves without a bus and counts how often it was asked to.
class CountingRemote : public RemoteControl
{
public:
    explicit CountingRemote(int *served) : m_served(served) {}
    bool serve() override
    {
        ++*m_served;
        return true;
    }
    Reply send(Request, const QString &) override { return {}; }

private:
    int *m_served;
};

// APP_STORE names a store in a folder of its own while this lives.
struct StoreOfItsOwn
{
    QTemporaryDir dir;
    QByteArray previous = qgetenv("APP_STORE");
    StoreOfItsOwn() { qputenv("APP_STORE", dir.filePath(QStringLiteral("Lumora.store")).toUtf8()); }
    ~StoreOfItsOwn() { qputenv("APP_STORE", previous); }
    StoreOfItsOwn(const StoreOfItsOwn &) = delete;
    StoreOfItsOwn &operator=(const StoreOfItsOwn &) = delete;
};

// The delegate over doubles of the desktop, as the shell wires it: a scratch
// store, the fake platform, the session machinery made from it and a theme.
struct ShellOverDoubles
{
    QTemporaryDir dir;
    std::unique_ptr<ModelContainer> container = scratchContainer(dir);
    FakePlatformServices platform;
    SessionServices sessions{platform, dir.filePath(QStringLiteral("journal"))};
    Appearance appearance;
    ThemeStore themes{&appearance};
    AppDelegate delegate{container.get(), sessions, platform, &themes};
};

// A model over a scratch store, with a theme, as a window is given one.
struct ScratchModel
{
    QTemporaryDir dir;
    std::unique_ptr<ModelContainer> container = scratchContainer(dir);
    AppModel model{container.get()};
    Appearance appearance;
    ThemeStore themes{&appearance};
};

// What a command line asks for, in a few words ("popover", "start=<name>",
// "export=csv", "since=<ISO time>", ...), then "request" when it is asked
// of a running Lumora; only "error" when the arguments are refused.
QString parsed(const QStringList &args)
{
    const CommandLine cmd = CommandLine::parse(QStringList{QStringLiteral("lumora")} + args);
    if (!cmd.error.isEmpty())
        return QStringLiteral("error");
    QStringList out;
    const auto add = [&out](bool on, const QString &word) {
        if (on)
            out << word;
    };
    add(cmd.login, QStringLiteral("login"));
    add(cmd.showPopover, QStringLiteral("popover"));
    add(cmd.openMainWindow, QStringLiteral("open"));
    add(cmd.startScreen.has_value(), QStringLiteral("start=") + cmd.startScreen.value_or(QString()));
    add(cmd.stop,
        cmd.stopScreen.isEmpty() ? QStringLiteral("stop") : QStringLiteral("stop=") + cmd.stopScreen);
    add(cmd.extendMinutes.has_value(), QStringLiteral("extend=%1").arg(cmd.extendMinutes.value_or(0)));
    add(cmd.version, QStringLiteral("version"));
    add(cmd.exportFormat.has_value(), cmd.exportFormat == SessionExport::Format::csv
                                          ? QStringLiteral("export=csv")
                                          : QStringLiteral("export=json"));
    add(cmd.exportSince.has_value(),
        QStringLiteral("since=") + cmd.exportSince.value_or(QDateTime()).toString(Qt::ISODate));
    add(cmd.hasRequest(), QStringLiteral("request"));
    return out.join(u' ');
}

} // namespace

class TestShell : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A query (--status) only reads the lock: it neither holds it nor takes
    // the bus name, so a real start at the same moment is the one, whatever
    // the lock held before. A lock that no live Lumora of this machine and
    // boot holds is taken over by that start: moved aside, not removed, and
    // the last sign of life of a run that died is read from it.
    void queryTakesNothing_data()
    {
        QTest::addColumn<QString>("before");
        QTest::newRow("no lock") << QStringLiteral("none");
        QTest::newRow("lock of a run that died") << QStringLiteral("dead");
        QTest::newRow("lock of a running instance") << QStringLiteral("live");
        QTest::newRow("empty lock") << QStringLiteral("empty");
        QTest::newRow("garbage") << QStringLiteral("garbage");
        QTest::newRow("a folder") << QStringLiteral("folder");
        QTest::newRow("another machine") << QStringLiteral("elsewhere");
        QTest::newRow("an earlier boot") << QStringLiteral("rebooted");
        QTest::newRow("a live process that is not Lumora") << QStringLiteral("stranger");
        QTest::newRow("a live Lumora that does not hold it") << QStringLiteral("unheld");
    }

    void queryTakesNothing()
    {
        QFETCH(QString, before);
        const StoreOfItsOwn store;
        QVERIFY(store.dir.isValid());
        const QString lockPath = SingleInstance::lockPath();
        const auto writeLock = [&](const QByteArray &contents) {
            QFile file(lockPath);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(contents);
        };
        const QByteArray here =
            QSysInfo::machineHostName().toUtf8() + '\n' + QSysInfo::machineUniqueId() + '\n';
        QProcess stranger;
        const auto stopStranger = qScopeGuard([&] {
            stranger.kill();
            stranger.waitForFinished();
        });

        int heldServed = 0;
        std::unique_ptr<SingleInstance> running;
        if (before == QLatin1String("live")) {
            running = std::make_unique<SingleInstance>(std::make_unique<CountingRemote>(&heldServed));
            QCOMPARE(running->claim(), SingleInstance::Role::primary);
        } else if (before == QLatin1String("dead")) {
            // A process id that was Lumora's and is gone now.
            QProcess gone;
            gone.start(QStringLiteral("true"));
            QVERIFY(gone.waitForStarted());
            const qint64 pid = gone.processId();
            QVERIFY(gone.waitForFinished());
            QVERIFY(!LockJournal::isProcessAlive(pid));
            writeLock(QByteArray::number(pid) + "\nlumora\n\n");
        } else if (before == QLatin1String("empty")) {
            writeLock({});
        } else if (before == QLatin1String("garbage")) {
            writeLock("\x7f\xff not a lock file \x01\n");
        } else if (before == QLatin1String("folder")) {
            QVERIFY(QDir().mkpath(lockPath + QStringLiteral("/inside")));
        } else if (before == QLatin1String("elsewhere")) {
            writeLock("999999\nlumora\nsomewhere-else\n");
        } else if (before == QLatin1String("rebooted")) {
            writeLock(QByteArray::number(QCoreApplication::applicationPid()) + "\nlumora\n" + here +
                      "00000000-0000-0000-0000-000000000000\n");
        } else if (before == QLatin1String("stranger")) {
            stranger.start(QStringLiteral("sleep"), {QStringLiteral("60")});
            QVERIFY(stranger.waitForStarted());
            writeLock(QByteArray::number(stranger.processId()) + "\nlumora\n" + here +
                      QSysInfo::bootUniqueId() + '\n');
        } else if (before == QLatin1String("unheld")) {
            // This very program stands for a Lumora that runs without the lock.
            writeLock(QByteArray::number(QCoreApplication::applicationPid()) + "\nlumora\n" + here +
                      QSysInfo::bootUniqueId() + '\n');
        }
        const QByteArray lockBefore = contents(lockPath);
        const bool leftBehind = before != QLatin1String("none") && before != QLatin1String("live");

        int queryServed = 0;
        SingleInstance query(std::make_unique<CountingRemote>(&queryServed));
        QCOMPARE(query.claim(false), running ? SingleInstance::Role::secondary : SingleInstance::Role::alone);
        QCOMPARE(queryServed, 0);
        if (running)
            QCOMPARE(query.holderPid(), QCoreApplication::applicationPid());
        // The lock is as the query found it.
        const QFileInfo after(lockPath);
        QCOMPARE(after.exists(), before != QLatin1String("none"));
        QCOMPARE(after.isDir(), before == QLatin1String("folder"));
        QCOMPARE(contents(lockPath), lockBefore);

        // A real start while the query still runs.
        int startServed = 0;
        SingleInstance start(std::make_unique<CountingRemote>(&startServed));
        const auto expected = running ? SingleInstance::Role::secondary : SingleInstance::Role::primary;
        QCOMPARE(start.claim(), expected);
        QCOMPARE(startServed, running ? 0 : 1);
        QCOMPARE(start.lastAliveOfDeadRun().has_value(), leftBehind);
        // What was there is kept beside the new lock.
        const QFileInfo aside(lockPath + QStringLiteral(".stale"));
        QCOMPARE(aside.exists(), leftBehind);
        QCOMPARE(aside.isDir(), before == QLatin1String("folder"));
        if (leftBehind)
            QCOMPARE(contents(aside.filePath()), lockBefore);
    }

    // The last sign of life of a run that died with a session running is
    // the alive mark, which only such a run moves on; a run that never held
    // a session leaves no mark, and the old lock file's time is what an
    // earlier version left to go by.
    void lastAliveComesFromTheMark_data()
    {
        QTest::addColumn<bool>("mark");
        QTest::newRow("alive mark") << true;
        QTest::newRow("lock of an earlier version only") << false;
    }
    void lastAliveComesFromTheMark()
    {
        QFETCH(bool, mark);
        const StoreOfItsOwn store;
        QVERIFY(store.dir.isValid());
        const QTemporaryDir &dir = store.dir;
        const QDateTime sessionAlive = QDateTime::currentDateTimeUtc().addSecs(-600);
        const QDateTime lockWritten = sessionAlive.addSecs(25);
        {
            int served = 0;
            SingleInstance dying(std::make_unique<CountingRemote>(&served));
            QCOMPARE(dying.claim(), SingleInstance::Role::primary);
            if (mark) {
                dying.touch();
                QVERIFY(QFileInfo::exists(SingleInstance::alivePath()));
                QFile file(SingleInstance::alivePath());
                QVERIFY(file.open(QIODevice::ReadWrite));
                QVERIFY(file.setFileTime(sessionAlive, QFileDevice::FileModificationTime));
            }
            // What the run leaves when it dies: its lock, and no holder.
            QVERIFY(QFile::copy(SingleInstance::lockPath(), dir.filePath(QStringLiteral("left"))));
        }
        QVERIFY(QFile::rename(dir.filePath(QStringLiteral("left")), SingleInstance::lockPath()));
        {
            QFile lock(SingleInstance::lockPath());
            QVERIFY(lock.open(QIODevice::ReadWrite));
            QVERIFY(lock.setFileTime(lockWritten, QFileDevice::FileModificationTime));
        }

        int served = 0;
        SingleInstance next(std::make_unique<CountingRemote>(&served));
        QCOMPARE(next.claim(), SingleInstance::Role::primary);
        QVERIFY(next.lastAliveOfDeadRun());
        QCOMPARE(next.lastAliveOfDeadRun()->toSecsSinceEpoch(),
                 (mark ? sessionAlive : lockWritten).toSecsSinceEpoch());
    }

    // A start counts as a login launch when the autostart entry marked it,
    // or, unmarked, when it comes less than a minute after boot.
    void loginLaunch_data()
    {
        QTest::addColumn<bool>("marked");
        QTest::addColumn<int>("msAfterBoot"); // -1: boot time unknown
        QTest::addColumn<bool>("login");
        QTest::newRow("marked, an hour after boot") << true << 3600000 << true;
        QTest::newRow("marked, boot time unknown") << true << -1 << true;
        QTest::newRow("59.999 s") << false << 59999 << true;
        QTest::newRow("60 s") << false << 60000 << false;
        QTest::newRow("boot time unknown") << false << -1 << false;
    }
    void loginLaunch()
    {
        QFETCH(bool, marked);
        QFETCH(int, msAfterBoot);
        QFETCH(bool, login);
        ShellOverDoubles shell;
        const QDateTime boot = QDateTime::fromSecsSinceEpoch(1'765'000'000, Qt::UTC);
        shell.delegate.bootTime = [=] { return msAfterBoot < 0 ? std::nullopt : std::optional(boot); };
        shell.delegate.now = [=] { return boot.addMSecs(std::max(msAfterBoot, 0)); };
        shell.delegate.loginLaunchMarked = marked;
        QCOMPARE(shell.delegate.isLoginLaunch(), login);
    }

    // What each command line asks for; --start takes any name, options that
    // need a value refuse a missing or bad one, and the minutes of --extend
    // are whole, positive and sane. A login start and an export ask nothing
    // of a running Lumora.
    void commandLine_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QString>("asks");
        QTest::newRow("nothing") << QStringList{} << "";
        QTest::newRow("login") << QStringList{"--login"} << "login";
        QTest::newRow("popover") << QStringList{"--popover"} << "popover request";
        QTest::newRow("open") << QStringList{"--open"} << "open request";
        QTest::newRow("start") << QStringList{"--start", "Meditation - 5 min"}
                               << "start=Meditation - 5 min request";
        QTest::newRow("start=") << QStringList{"--start=Deep Work"} << "start=Deep Work request";
        QTest::newRow("name that looks like an option")
            << QStringList{"--start", "--open"} << "start=--open request";
        QTest::newRow("start without a name") << QStringList{"--start"} << "error";
        QTest::newRow("unknown") << QStringList{"--frobnicate"} << "error";
        QTest::newRow("stop") << QStringList{"--stop"} << "stop request";
        QTest::newRow("stop=") << QStringList{"--stop=Deep Work"} << "stop=Deep Work request";
        QTest::newRow("extend") << QStringList{"--extend", "5"} << "extend=5 request";
        QTest::newRow("extend=") << QStringList{"--extend=240"} << "extend=240 request";
        for (const char *value : {"0", "-5", "241", "1.5", "5min", "", " 5", "99999999999", "٣"})
            QTest::addRow("extend \"%s\"", value) << QStringList{"--extend", value} << "error";
        QTest::newRow("extend without minutes") << QStringList{"--extend"} << "error";
        QTest::newRow("version") << QStringList{"--version"} << "version";
        QTest::newRow("export csv") << QStringList{"--export", "csv"} << "export=csv";
        QTest::newRow("export=JSON") << QStringList{"--export=JSON"} << "export=json";
        QTest::newRow("since a date") << QStringList{"--export", "csv", "--since", "2026-03-28"}
                                      << "export=csv since=2026-03-28T00:00:00";
        QTest::newRow("since= a time, before") << QStringList{"--since=2026-03-28T09:30", "--export", "json"}
                                               << "export=json since=2026-03-28T09:30:00";
        QTest::newRow("export xml") << QStringList{"--export", "xml"} << "error";
        QTest::newRow("export without a format") << QStringList{"--export"} << "error";
        QTest::newRow("since without a date") << QStringList{"--export", "csv", "--since"} << "error";
        QTest::newRow("not a date") << QStringList{"--export", "csv", "--since", "2026-02-30"} << "error";
        QTest::newRow("since without export") << QStringList{"--since", "2026-03-28"} << "error";
    }
    void commandLine()
    {
        QFETCH(QStringList, args);
        QFETCH(QString, asks);
        QCOMPARE(parsed(args), asks);
    }

    // The shell's wiring over doubles of the desktop: a start through the
    // delegate runs the session with the services the shell was given (the
    // other application hidden, the shortcut registered with the given
    // hot-key service) and the end gives the application back.
    void delegateRunsSessionsOverThePlatformItIsGiven()
    {
        ShellOverDoubles shell;
        AppDelegate &delegate = shell.delegate;
        FakePlatformServices &platform = shell.platform;
        SessionServices &sessions = shell.sessions;
        delegate.model()->context()->insert(std::make_unique<FocusScreen>(QStringLiteral("Deep Work"), 60.0));
        QVERIFY(delegate.model()->context()->save());
        QVERIFY(platform.workspace);
        const RunningApplication chat =
            platform.workspace->addApplication(QStringLiteral("org.example.Chat"), 4242);
        delegate.applicationDidFinishLaunching();
        QVERIFY(platform.hotKeys);
        QCOMPARE(platform.hotKeys->registrations.size(), size_t(1));

        std::optional<QString> started;
        delegate.startFocusScreenNamed(QStringLiteral("Deep Work"),
                                       [&](const QString &error) { started = error; });
        QTRY_VERIFY(started.has_value());
        QCOMPARE(*started, QString());
        QVERIFY(sessions.manager().activeSession());
        QVERIFY(platform.workspace->isHidden(chat));
        QVERIFY(sessions.overlay().isShown());

        sessions.manager().endSession(true);
        QTRY_VERIFY(!sessions.manager().activeSession());
        QVERIFY(!platform.workspace->isHidden(chat));
        delegate.applicationWillTerminate();
    }

    // A shortcut chosen in Settings → General works at once: the old
    // combination is released, the new one registered; one the desktop
    // refuses leaves the old one working, and the page says which happened.
    void chosenShortcutTakesEffectAtOnce()
    {
        ShellOverDoubles shell;
        AppDelegate &delegate = shell.delegate;
        delegate.model()->context()->insert(std::make_unique<AppSettings>());
        QVERIFY(delegate.model()->context()->save());
        delegate.applicationDidFinishLaunching();
        FakeHotKeyBackend *keys = shell.platform.hotKeys;
        QVERIFY(keys);
        const auto holds = [keys](Key key, ModifierFlags modifiers) {
            return keys->find(key, modifiers) != nullptr;
        };
        constexpr ModifierFlags kSuperShift = ModifierFlag::command | ModifierFlag::shift;
        constexpr ModifierFlags kCtrlAlt = ModifierFlag::control | ModifierFlag::option;
        QVERIFY(holds(Key::f, kCtrlAlt | ModifierFlag::command)); // the default

        GeneralSettings page(delegate.model());
        page.setShortcutApplier(
            [&delegate](const QString &text) { return delegate.applyGlobalShortcut(text); });
        page.show();
        QApplication::setActiveWindow(&page);
        QVERIFY(QTest::qWaitForWindowActive(&page));
        ShortcutField *field = page.shortcutField();
        const auto record = [field](Qt::Key key, Qt::KeyboardModifiers modifiers) {
            QTest::mouseClick(field, Qt::LeftButton);
            QTest::keyClick(field, key, modifiers);
        };

        record(Qt::Key_F, Qt::MetaModifier | Qt::ShiftModifier);
        QVERIFY(holds(Key::f, kSuperShift));
        QVERIFY(!holds(Key::f, kCtrlAlt | ModifierFlag::command));
        QCOMPARE(keys->registrations.size(), size_t(1));
        QCOMPARE(page.shortcutStatus()->text(), QStringLiteral("Super+Shift+F now opens the popover."));
        QCOMPARE(delegate.model()->context()->fetch<AppSettings>().first()->globalShortcut(),
                 QStringLiteral("⇧⌘F"));

        // Another program holds Ctrl+Alt+G.
        QVERIFY(keys->registerHotKey(Key::g, kCtrlAlt, EventHotKeyID{1, 1}));
        record(Qt::Key_G, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(holds(Key::f, kSuperShift));
        QCOMPARE(page.shortcutStatus()->text(),
                 QStringLiteral("Ctrl+Alt+G could not be registered: another program may be using it. "
                                "The shortcut in use stays."));
        QCOMPARE(delegate.globalShortcutInForce(), QStringLiteral("⇧⌘F"));

        // Backspace while recording clears it: nothing of ours is registered.
        record(Qt::Key_Backspace, Qt::NoModifier);
        QCOMPARE(keys->registrations.size(), size_t(1)); // the other program's
        QVERIFY(page.shortcutStatus()->text().startsWith(QStringLiteral("No global shortcut now")));
        delegate.applicationWillTerminate();
    }

    // Help → About Lumora names the version and the store file (as plain
    // text, as the user writes paths) and links to the usage notes; asked
    // again, the same dialog comes forward.
    void aboutDialog()
    {
        ScratchModel scratch;
        GridProbes probes;
        MainWindow window(&scratch.model, &scratch.themes, &probes, nullptr);
        QAction *about = window.findChild<QAction *>(QStringLiteral("aboutAction"));
        QVERIFY(about);
        about->trigger();
        auto *dialog = window.findChild<AboutDialog *>();
        QVERIFY(dialog);
        QVERIFY(QTest::qWaitForWindowExposed(dialog));
        QVERIFY(QRegularExpression(QStringLiteral("^Version \\d+\\.\\d+\\.\\d+"))
                    .match(dialog->versionLabel()->text())
                    .hasMatch());
        QCOMPARE(dialog->storeLabel()->text(), AboutDialog::displayPath(Store::path()));
        QCOMPARE(dialog->storeLabel()->textFormat(), Qt::PlainText);
        // Run from the build folder: the source tree's README.
        QVERIFY(dialog->readmeLink()->isVisibleTo(dialog));
        QVERIFY(QFileInfo(AboutDialog::readmePath()).isFile());
        about->trigger();
        QCOMPARE(window.findChildren<AboutDialog *>().size(), 1);
        dialog->close();
    }

    // The popover takes the chosen accent like the other windows, and
    // follows a new choice (its badges' ink is the main window's test).
    void popoverFollowsTheAccent()
    {
        ScratchModel scratch;
        ThemeStore &themes = scratch.themes;
        // The choice is saved: the next store reads the system theme again.
        const auto restore = qScopeGuard([&themes] { themes.setThemeID(QLatin1String(Theme::kSystemID)); });
        themes.setThemeID(QStringLiteral("yellow"));
        MenuBarPopover popover(&scratch.model, &themes, {});
        const QColor system = scratch.appearance.systemAccent();
        QCOMPARE(popover.palette().color(QPalette::Highlight), Theme::forID(u"yellow").accent(system));
        themes.setThemeID(QStringLiteral("teal"));
        QCOMPARE(popover.palette().color(QPalette::Highlight), Theme::forID(u"teal").accent(system));
    }

    // The popover is as large as its content needs: 280 x 360 at least,
    // wider where a row or a language's words need it, so that every
    // button's text shows in full; a long list scrolls.
    void popoverFitsItsContent_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<int>("screens");
        QTest::newRow("English") << "en_US" << 2;
        QTest::newRow("German") << "de_DE" << 2;
        QTest::newRow("German, empty") << "de_DE" << 0;
        QTest::newRow("German, long list") << "de_DE" << 40;
    }
    void popoverFitsItsContent()
    {
        QFETCH(QString, locale);
        QFETCH(int, screens);
        QCOMPARE(Translations::install(QLocale(locale)), locale == u"de_DE");
        const auto english = qScopeGuard([] {
            Translations::remove();
            QLocale::setDefault(QLocale::c());
        });
        ScratchModel scratch;
        for (int i = 0; i < screens; ++i) {
            auto *s = scratch.model.context()->insert(std::make_unique<FocusScreen>(
                i == 0 ? QStringLiteral("Deep Work with a name far too long to fit")
                       : QStringLiteral("Reading"),
                5400.0));
            s->setAutoStartOnLogin(i == 0);
            s->setLockMode(i == 1 ? LockMode::preventLaunch : LockMode::hideApps);
        }
        MenuBarPopover popover(&scratch.model, &scratch.themes, {});
        popover.showAt(QRect(100, 0, 20, 20));
        QVERIFY(QTest::qWaitForWindowExposed(&popover));
        const QRect area = popover.screen()->availableGeometry();
        QVERIFY(popover.width() >= MenuBarPopover::kWidth);
        QVERIFY(popover.height() >= std::min(MenuBarPopover::kHeight, area.height()));
        QVERIFY(popover.width() <= area.width() && popover.height() <= area.height());
        QVERIFY(area.contains(popover.geometry()));
        if (screens == 0)
            QCOMPARE(popover.size(), QSize(MenuBarPopover::kWidth, MenuBarPopover::kHeight));
        if (screens > 10) {
            // A long list scrolls inside the usual height.
            QCOMPARE(popover.height(), MenuBarPopover::kHeight);
            QTRY_VERIFY(popover.findChild<QScrollArea *>()->verticalScrollBar()->isVisible());
        }

        const QList<QPushButton *> buttons = popover.findChildren<QPushButton *>();
        QVERIFY(buttons.size() >= 2);
        for (QPushButton *button : buttons) {
            if (!button->isVisibleTo(&popover))
                continue;
            QStyleOptionButton option;
            option.initFrom(button);
            option.text = button->text();
            option.features = button->isFlat() ? QStyleOptionButton::Flat : QStyleOptionButton::None;
            const QRect contents =
                button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
            const int textWidth = button->fontMetrics().horizontalAdvance(button->text());
            QVERIFY2(
                textWidth <= contents.width(),
                qPrintable(
                    QStringLiteral("%1: %2 > %3").arg(button->text()).arg(textWidth).arg(contents.width())));
            // Not cut by the popover's edge, nor (in the list) by the list's.
            if (auto *scroll = popover.findChild<QScrollArea *>(); scroll && scroll->isAncestorOf(button)) {
                const int left = button->mapTo(scroll->viewport(), QPoint(0, 0)).x();
                QVERIFY2(left >= 0 && left + button->width() <= scroll->viewport()->width(),
                         qPrintable(button->text()));
            } else {
                const QRect inPopover(button->mapTo(&popover, QPoint(0, 0)), button->size());
                QVERIFY2(popover.rect().contains(inPopover), qPrintable(button->text()));
            }
        }
        // Each badge gets the width its words need.
        for (LockModeBadge *badge : popover.findChildren<LockModeBadge *>())
            QVERIFY2(badge->width() >= badge->sizeHint().width(), qPrintable(badge->text()));
        popover.close();
    }

    // With no session the tick only compares: at rest it queues nothing and
    // hands the tray nothing; a countdown still shown is taken back to idle.
    void menuBarTickAtRest_data()
    {
        QTest::addColumn<QString>("shown");
        QTest::addColumn<bool>("queued");
        QTest::addColumn<int>("writes");
        QTest::newRow("idle item") << QString() << false << 0;
        QTest::newRow("countdown left over") << QStringLiteral("00:01") << true << 2;
    }
    void menuBarTickAtRest()
    {
        QFETCH(QString, shown);
        QFETCH(bool, queued);
        QFETCH(int, writes);
        ShellOverDoubles shell;
        AppDelegate &delegate = shell.delegate;
        delegate.setupMenuBarExtra();
        StatusItem *item = delegate.statusItem();
        QVERIFY(item && item->isIdle());
        if (!shown.isEmpty()) {
            item->setTitle(shown);
            item->setToolTip(StatusText::countdownToolTip(QStringLiteral("Deep Work"), shown));
        }
        const int before = item->trayWrites();
        for (int tick = 0; tick < 3; ++tick) {
            QCOMPARE(delegate.menuBarTick(), queued && tick == 0);
            QCoreApplication::sendPostedEvents(&delegate);
        }
        QVERIFY(item->isIdle());
        QCOMPARE(item->trayWrites() - before, writes);
    }

    // The countdown tile is drawn, not blank, and differs per title.
    void trayIcon()
    {
        const auto colours = [](const QIcon &icon) {
            const QImage img = icon.pixmap(StatusItem::kIconSize).toImage();
            QSet<QRgb> set;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    set.insert(img.pixel(x, y));
            return set;
        };
        const QIcon idle = StatusItem::iconFor(QString(), QColor(0, 122, 255));
        const QIcon running = StatusItem::iconFor(QStringLiteral("24:59"), QColor(0, 122, 255));
        QVERIFY(colours(idle).size() > 2);
        QVERIFY(colours(running).size() > 2);
        QVERIFY(idle.pixmap(64).toImage() != running.pixmap(64).toImage());
        QVERIFY(StatusItem::iconFor(QStringLiteral("24:58"), QColor(0, 122, 255)).pixmap(64).toImage() !=
                running.pixmap(64).toImage());
    }

    // A schedule's start goes through the delegate's start path: it runs
    // until the schedule's end, or is refused while another session runs
    // (and says so), leaving that session and the history alone.
    void scheduledStartsGoThroughTheStartPath_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::newRow("started, until its end") << false;
        QTest::newRow("refused while another session runs") << true;
    }
    void scheduledStartsGoThroughTheStartPath()
    {
        QFETCH(bool, busy);
        ShellOverDoubles shell;
        AppDelegate &delegate = shell.delegate;
        FocusSessionManager &manager = shell.sessions.manager();
        auto notifications = std::make_unique<FakeUserNotifications>();
        FakeUserNotifications *told = notifications.get();
        delegate.setUserNotifications(std::move(notifications));

        // Today, at the next whole minute, for ten minutes.
        const QDateTime soon = QDateTime::currentDateTime().addSecs(60);
        Schedule schedule;
        schedule.days = quint8(1u << (soon.date().dayOfWeek() - 1));
        schedule.start = QTime(soon.time().hour(), soon.time().minute());
        schedule.end = schedule.start.addSecs(600);
        const QDateTime runStart =
            ScheduleTimes::occurrenceOn(schedule, soon.date(), QTimeZone::systemTimeZone())->start;
        QDateTime clock = runStart.addSecs(-30);
        delegate.now = [&clock] { return clock; };

        ModelContext *context = delegate.model()->context();
        context->insert(std::make_unique<FocusScreen>(QStringLiteral("Busy"), 900.0));
        auto *scheduled = context->insert(std::make_unique<FocusScreen>(QStringLiteral("Scheduled"), 900.0));
        scheduled->setSchedules({schedule.toString()});
        QVERIFY(context->save());
        delegate.applicationDidFinishLaunching();
        QVERIFY(delegate.scheduler());
        QVERIFY(!manager.activeSession());
        if (busy) {
            std::optional<QString> started;
            delegate.startFocusScreenNamed(QStringLiteral("Busy"),
                                           [&](const QString &error) { started = error; });
            QTRY_VERIFY(started.has_value());
            QCOMPARE(*started, QString());
        }

        clock = runStart.addSecs(5);
        delegate.scheduler()->check();
        if (busy) {
            QTRY_COMPARE(told->posted.size(), 1);
            QCOMPARE(told->posted.first().title, QStringLiteral("Scheduled Session Skipped"));
            QVERIFY2(told->posted.first().body.contains(QStringLiteral("already running: Busy")),
                     qPrintable(told->posted.first().body));
            QCOMPARE(manager.activeScreen()->name(), QStringLiteral("Busy"));
            QCOMPARE(context->fetchCount<FocusSession>(), 1);
        } else {
            QTRY_VERIFY(manager.activeScreen());
            QCOMPARE(manager.activeScreen(), scheduled);
            // No longer than the schedule's window: under the screen's 15 minutes.
            QVERIFY2(manager.remainingTime() <= 661 && manager.remainingTime() > 500,
                     qPrintable(QString::number(manager.remainingTime())));
        }
        // The same day's start is not made again.
        clock = runStart.addSecs(40);
        delegate.scheduler()->check();
        QCoreApplication::processEvents();
        QCOMPARE(context->fetchCount<FocusSession>(), 1);
        manager.abandonSession();
        delegate.applicationWillTerminate();
    }
};

QTEST_MAIN(TestShell)
#include "tst_shell.moc"

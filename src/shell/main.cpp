// SPDX-License-Identifier: MIT
#include "AppDelegate.h"
#include "BrowserHost.h"
#include "CommandLine.h"
#include "DesktopSession.h"
#include "Logging.h"
#include "LumoraApp.h"
#include "OverlayWindows.h"
#include "SelfTest.h"
#include "SingleInstance.h"
#include "StatusItem.h"
#include "Store.h"
#include "TerminalText.h"
#include "Translations.h"

#include "Appearance.h"
#include "FocusSessionManager.h"
#include "GridProbes.h"
#include "PlatformServices.h"
#include "SessionServices.h"
#include "ThemeStore.h"

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>

#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <optional>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalFds[2] = {-1, -1};

// Start-up is over well within this: windows shown, the tray icon embedded.
constexpr int kStartupSettledMs = 3000;

// SIGTERM, SIGINT and SIGHUP (a logout) end the program through the event
// loop, so a running session gives the screen and the hidden applications
// back and pending changes are saved (by the delegate's shutdown sequence).
void installQuitOnSignals()
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalFds) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalFds[1], QSocketNotifier::Read, qApp);
    QObject::connect(notifier, &QSocketNotifier::activated, qApp, [notifier] {
        notifier->setEnabled(false);
        char c = 0;
        [[maybe_unused]] const auto n = ::read(g_signalFds[1], &c, 1);
        // What the user did just before (a key press already delivered)
        // still counts.
        QCoreApplication::processEvents();
        // exit(), not quit(): quit() first asks every window to close, and
        // the main window kept open without a tray refuses.
        QCoreApplication::exit(0);
    });
    struct sigaction action
    {};
    action.sa_handler = [](int) {
        const char c = 1;
        [[maybe_unused]] const auto n = ::write(g_signalFds[0], &c, 1);
    };
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int sig : {SIGTERM, SIGINT, SIGHUP})
        sigaction(sig, &action, nullptr);
}

// The usage text for --help (status 0), or the mistake and the usage text
// (status 2); nothing for a command line to carry out.
std::optional<int> answerHelpOrMistake(const CommandLine &command)
{
    if (command.help) {
        std::fputs(CommandLine::usage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (command.version && command.error.isEmpty()) {
        std::printf("%s\n", qPrintable(CommandLine::versionLine()));
        return 0;
    }
    if (!command.error.isEmpty()) {
        TerminalText::printError(QStringLiteral("lumora: ") + command.error);
        std::fprintf(stderr, "\n%s", qPrintable(CommandLine::usage()));
        return 2;
    }
    return std::nullopt;
}

// --export: every session to standard output, read row by row straight from
// the store's file; needs neither a display nor a running Lumora.
int exportSessions(const CommandLine &command)
{
    // No store yet: no sessions, and none is made for asking.
    if (!QFileInfo::exists(Store::path())) {
        const QByteArray none = SessionExport::emptyExport(*command.exportFormat);
        if (std::fwrite(none.constData(), 1, size_t(none.size()), stdout) != size_t(none.size()) ||
            std::fflush(stdout) != 0) {
            TerminalText::printError(QStringLiteral("lumora: ") +
                                     QCoreApplication::translate("main", "could not export the sessions: %1")
                                         .arg(QString::fromLocal8Bit(std::strerror(errno))));
            return EXIT_FAILURE;
        }
        return EXIT_SUCCESS;
    }
    StoreOpenOptions options;
    options.loadRecords = false;
    const std::unique_ptr<ModelContainer> container = Store::openOrReport(options);
    if (!container)
        return EXIT_FAILURE;
    const SessionExport::Result result = SessionExport::writeToDescriptor(
        container->database(), *command.exportFormat, command.exportSince, STDOUT_FILENO);
    if (!result.ok) {
        TerminalText::printError(
            QStringLiteral("lumora: ") +
            QCoreApplication::translate("main", "could not export the sessions: %1").arg(result.error));
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}

// Help and mistakes on the command line need no display: a terminal without
// one (a login over ssh) gets them too. Qt's own one-dash options (-display,
// -geometry, ...) are only taken out by the GUI application object, so a
// command line with any of them is answered after it.
std::optional<int> answerWithoutDisplay(int &argc, char **argv, const QStringList &arguments)
{
    const CommandLine command = CommandLine::parse(arguments);
    const bool qtOptions = std::any_of(arguments.cbegin() + 1, arguments.cend(), [](const QString &arg) {
        return arg.startsWith(QLatin1Char('-')) && !arg.startsWith(QLatin1String("--")) &&
               arg != QLatin1String("-h");
    });
    if (command.exportFormat && command.error.isEmpty() && !command.help && !command.version) {
        QCoreApplication core(argc, argv);
        Translations::install(QLocale::system());
        return exportSessions(command);
    }
    if (!command.help && !command.version && (command.error.isEmpty() || qtOptions))
        return std::nullopt;
    QCoreApplication core(argc, argv);
    Translations::install(QLocale::system());
    // Parsed again for the mistake in the user's language.
    return answerHelpOrMistake(CommandLine::parse(arguments));
}

} // namespace

int main(int argc, char *argv[])
{
    // Lumora's log lines in their plain form, from the first one on.
    Logging::installMessageHandler();

    // The guard of an overlay this program put up (see OverlayWatchdog).
    if (argc > 1 && std::strcmp(argv[1], OverlayWatchdog::kGuardOption) == 0)
        return OverlayWatchdog::runGuard(argc, argv);

    // Started by a browser for its extension: a host on the pipes, no windows.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    if (const std::optional<QString> browser = BrowserHost::browserFromArguments(arguments))
        return BrowserHost::run(argc, argv, *browser);

    if (const std::optional<int> status = answerWithoutDisplay(argc, argv, arguments))
        return *status;

    DesktopSession::chooseQtPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumora"));
    QApplication::setOrganizationName(QStringLiteral("Lumora"));
    QApplication::setDesktopFileName(QStringLiteral("lumora"));
    QApplication::setQuitOnLastWindowClosed(false);
    // Every text from here on is in the user's language (LANGUAGE, LC_ALL,
    // LC_MESSAGES, LANG), English where there is no catalogue for it.
    Translations::install(QLocale::system());

    const CommandLine command = CommandLine::parse(QCoreApplication::arguments());
    if (const std::optional<int> status = answerHelpOrMistake(command))
        return *status;

    // One Lumora per store: a second start hands its request to the first
    // and touches neither the store nor the lock journal.
    const std::unique_ptr<PlatformServices> platform = PlatformServices::forThisDesktop();
    SingleInstance instance(platform->makeRemoteControl(SingleInstance::serviceName()));
    if (!command.selfTest) {
        // A status query never takes over what a dead run left behind.
        // Nor do a stop or an extension, which are for a running session only.
        const bool queryOnly = command.status || command.stop || command.extendMinutes;
        const SingleInstance::Role role = instance.claim(!queryOnly);
        // The login session starting a Lumora that already runs asks nothing of it.
        if (role == SingleInstance::Role::secondary && command.login && !command.hasRequest())
            return 0;
        if (role == SingleInstance::Role::secondary)
            return instance.forward(command);
        if (queryOnly) {
            TerminalText::printError(QCoreApplication::translate("main", "lumora: Lumora is not running"));
            return 1;
        }
    }

    if (!command.selfTest)
        StatusItem::setShownWithoutHost(platform->showsTrayItemWithoutHost());

    // The look of every window, handed to the windows that use it: the light
    // or dark appearance, the accent theme over it and the layout probes.
    Appearance appearance;
    const std::unique_ptr<DesktopColorScheme> colorScheme = platform->makeDesktopColorScheme();
    appearance.followColorScheme(colorScheme.get());
    appearance.install();
    ThemeStore themes(&appearance);
    GridProbes probes;
    installQuitOnSignals();

    // A store that cannot be opened ends the start through main's return,
    // so the lock and the bus name taken above are given back.
    std::unique_ptr<ModelContainer> container = Store::openOrReport();
    if (!container)
        return EXIT_FAILURE;
    LumoraApp lumora(std::move(container), *platform, &themes, &probes);
    AppDelegate *delegate = lumora.delegate();
    // Sessions a run that died left open end when it was last known alive.
    if (!command.selfTest)
        delegate->closeAbandonedSessions(instance.lastAliveOfDeadRun());
    RemoteControl &remote = instance.remote();
    remote.startHandler = [delegate](const QString &name, RemoteControl::StartDone done) {
        delegate->startFocusScreenNamed(name, std::move(done));
    };
    remote.statusHandler = [delegate] {
        StatusItem *item = delegate->statusItem();
        return item ? QStringList{item->title(), item->toolTip()} : QStringList{QString(), QString()};
    };
    remote.stopHandler = [delegate](const QString &screen) { return delegate->stopSession(screen); };
    remote.extendHandler = [delegate](int minutes) { return delegate->extendSession(minutes); };
    remote.popoverHandler = [delegate] { return delegate->whyNoPopover(); };
    QObject::connect(&remote, &RemoteControl::popoverRequested, delegate, &AppDelegate::showPopover);
    QObject::connect(&remote, &RemoteControl::mainWindowRequested, &lumora, &LumoraApp::openMainWindow);
    // The browsers keep to the running session's websites.
    lumora.setRemoteControl(&remote);
    FocusSessionManager &manager = lumora.sessions().manager();
    QObject::connect(&manager, &FocusSessionManager::websiteSessionChanged, &remote,
                     [&remote, &manager] { remote.setWebsiteSession(manager.websiteSession()); });
    QObject::connect(&app, &QCoreApplication::aboutToQuit, delegate, &AppDelegate::applicationWillTerminate);
    // The desktop session is ending: what is pending goes to disk first.
    QObject::connect(&app, &QGuiApplication::commitDataRequest, delegate,
                     [delegate] { delegate->savePending(); });

    // A launch by the login session starts quietly in the tray, when there
    // is one: without a tray the main window is the only way in.
    delegate->loginLaunchMarked = command.login;
    const bool loginLaunch = delegate->isLoginLaunch();
    const bool quiet = command.showPopover || command.startScreen || loginLaunch;
    lumora.launch(!quiet || command.openMainWindow || (loginLaunch && !StatusItem::isTrayAvailable()));
    // A running session marks this run alive every few seconds (see claim()).
    QObject::connect(&lumora.sessions().manager(), &FocusSessionManager::heartbeat, &remote,
                     [&instance] { instance.touch(); });

    if (command.showPopover)
        delegate->showPopover();
    if (command.startScreen) {
        delegate->startFocusScreenNamed(*command.startScreen, [](const QString &error) {
            if (!error.isEmpty())
                TerminalText::printError(QStringLiteral("lumora: ") + error);
        });
    }

    // What start-up allocated and freed again (fonts, plugins, the first
    // layouts) goes back to the system instead of staying in the heap all day.
    QTimer::singleShot(kStartupSettledMs, &app, [] { malloc_trim(0); });

    const int status = app.exec();
    if (SelfTest::isRequested())
        return SelfTest::exitCode();
    return status;
}

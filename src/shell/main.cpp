#include "AppDelegate.h"
#include "CommandLine.h"
#include "DesktopSession.h"
#include "LumoraApp.h"
#include "SelfTest.h"
#include "SingleInstance.h"
#include "Store.h"
#include "TerminalText.h"

#include "Appearance.h"
#include "FocusSessionManager.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int g_signalFds[2] = {-1, -1};

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

} // namespace

int main(int argc, char *argv[])
{
    DesktopSession::chooseQtPlatform();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Lumora"));
    QApplication::setOrganizationName(QStringLiteral("Lumora"));
    QApplication::setDesktopFileName(QStringLiteral("lumora"));
    QApplication::setQuitOnLastWindowClosed(false);

    const CommandLine command = CommandLine::parse(QCoreApplication::arguments());
    if (command.help) {
        std::fputs(CommandLine::usage().toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (!command.error.isEmpty()) {
        std::fprintf(stderr, "lumora: %s\n\n%s", qPrintable(command.error), qPrintable(CommandLine::usage()));
        return 2;
    }

    // One Lumora per store: a second start hands its request to the first
    // and touches neither the store nor the lock journal.
    SingleInstance instance;
    if (!command.selfTest) {
        // A status query never takes over what a dead run left behind.
        const SingleInstance::Role role = instance.claim(!command.status);
        // The login session starting a Lumora that already runs asks nothing of it.
        if (role == SingleInstance::Role::secondary && command.login && !command.hasRequest())
            return 0;
        if (role == SingleInstance::Role::secondary)
            return SingleInstance::forward(command, instance.holderPid());
        if (command.status) {
            std::fputs("lumora: Lumora is not running\n", stderr);
            return 1;
        }
    }

    Appearance::shared().install();
    installQuitOnSignals();

    LumoraApp lumora(Store::makeContainer());
    AppDelegate *delegate = lumora.delegate();
    // Sessions a run that died left open end when it was last known alive.
    if (!command.selfTest)
        delegate->closeAbandonedSessions(instance.lastAliveOfDeadRun());
    instance.startHandler = [delegate](const QString &name, SingleInstance::StartDone done) {
        delegate->startFocusScreenNamed(name, std::move(done));
    };
    instance.statusHandler = [delegate] {
        StatusItem *item = delegate->statusItem();
        return item ? QStringList{item->title(), item->toolTip()} : QStringList{QString(), QString()};
    };
    QObject::connect(&instance, &SingleInstance::popoverRequested, delegate, &AppDelegate::showPopover);
    QObject::connect(&instance, &SingleInstance::mainWindowRequested, &lumora, &LumoraApp::openMainWindow);
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
    // A running session marks this run alive now and then (see claim()).
    QObject::connect(&FocusSessionManager::shared(), &FocusSessionManager::heartbeat, &instance,
                     &SingleInstance::touch);

    if (command.showPopover)
        delegate->showPopover();
    if (command.startScreen) {
        delegate->startFocusScreenNamed(*command.startScreen, [](const QString &error) {
            if (!error.isEmpty())
                TerminalText::printError(QStringLiteral("lumora: ") + error);
        });
    }

    const int status = app.exec();
    if (SelfTest::isRequested())
        return SelfTest::exitCode();
    return status;
}

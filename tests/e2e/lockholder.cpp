// SPDX-License-Identifier: MIT
// Test helper for the crash journal:
//   lumora_e2e_lockholder <journal> <mode> [allowed app id...]
//       starts a lock on the desktop, prints "locked" and waits to be killed;
//   lumora_e2e_lockholder --restore <journal>
//       does what the program does at start-up: shows again what a dead run
//       left hidden, prints "restored <n>" and exits.
#include "AppLockManager.h"
#include "LockJournal.h"
#include "X11Accessibility.h"
#include "X11Workspace.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const auto arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() < 2) {
        std::fputs("usage: lumora_e2e_lockholder <journal> <mode> [allowed...] | --restore <journal>\n",
                   stderr);
        return 2;
    }

    X11Workspace workspace;
    X11Accessibility accessibility(&workspace);
    if (!workspace.isAvailable()) {
        std::fprintf(stderr, "workspace not available: %s\n", qPrintable(workspace.unavailableReason()));
        return 1;
    }

    AppLockManager manager(&workspace, &accessibility);
    if (arguments[0] == QLatin1String("--restore")) {
        // As the program does: the journal follows the windows until they are shown.
        manager.setJournalPath(arguments[1]);
        const int restored = manager.restoreLeftovers();
        std::printf("restored %d\n", restored);
        std::fflush(stdout);
        // Let the window manager act before the connection closes.
        QTimer::singleShot(1000, &app, &QCoreApplication::quit);
        return app.exec();
    }

    manager.setJournalPath(arguments[0]);
    manager.startLock(AppLockManager::lockModeFromRaw(arguments[1]), arguments.mid(2));
    std::printf("locked %lld\n", static_cast<long long>(manager.hiddenApps().size()));
    std::fflush(stdout);
    return app.exec();
}

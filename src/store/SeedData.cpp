#include "SeedData.h"

#include "AppLockProfile.h"
#include "AppModel.h"
#include "AppSettings.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "ModelContext.h"
#include "Store.h"

#include <cstdio>

namespace SeedData {

void insertIfRequested(AppModel &model)
{
    if (qEnvironmentVariable("APP_SEED") != QLatin1String("1"))
        return;
    if (!Store::isOverridden()) {
        std::fputs("APP_SEED ignored: APP_STORE must be a file in /tmp\n", stdout);
        std::fflush(stdout);
        return;
    }

    ModelContext *context = model.context();
    if (context->fetchCount<FocusScreen>() == 0) {
        context->insert(std::make_unique<FocusScreen>(
            QStringLiteral("Read Bible - 10 min"), 600,
            QStringList{QStringLiteral("com.apple.Books"), QStringLiteral("com.apple.Safari")},
            QStringList{QStringLiteral("biblegateway.com"), QStringLiteral("bible.com")}, LockMode::hideApps,
            false, 0));
        context->insert(std::make_unique<FocusScreen>(
            QStringLiteral("Deep Work - 50 min"), 3000,
            QStringList{QStringLiteral("com.microsoft.VSCode"), QStringLiteral("com.apple.Terminal"),
                        QStringLiteral("com.google.Chrome")},
            QStringList{QStringLiteral("github.com"), QStringLiteral("stackoverflow.com"),
                        QStringLiteral("developer.apple.com")},
            LockMode::preventLaunch, false, 1));
        context->insert(std::make_unique<FocusScreen>(
            QStringLiteral("Meditation - 5 min"), 300, QStringList{QStringLiteral("com.apple.Music")},
            QStringList{QStringLiteral("headspace.com"), QStringLiteral("calm.com")}, LockMode::overlay,
            false, 2));
        context->insert(std::make_unique<AppLockProfile>(
            QStringLiteral("Work Focus"),
            QStringList{QStringLiteral("com.apple.TV"), QStringLiteral("com.apple.Music"),
                        QStringLiteral("com.apple.Games")},
            QStringList{QStringLiteral("youtube.com"), QStringLiteral("twitter.com"),
                        QStringLiteral("reddit.com")},
            LockMode::preventLaunch));
        const QList<FocusScreen *> screens = context->fetch<FocusScreen>();
        if (!screens.isEmpty()) {
            auto session = std::make_unique<FocusSession>(screens.first()->uuid(),
                                                          QDateTime::currentDateTimeUtc().addSecs(-3600));
            session->complete(QDateTime::currentDateTimeUtc().addSecs(-3000));
            context->insert(std::move(session));
        }
    }
    if (context->fetchCount<AppSettings>() == 0)
        context->insert(std::make_unique<AppSettings>());
    context->save();
}

} // namespace SeedData

// SPDX-License-Identifier: MIT
#include "SeedData.h"

#include "AppLockProfile.h"
#include "AppModel.h"
#include "AppSettings.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "Logging.h"
#include "ModelContext.h"
#include "Store.h"

namespace SeedData {

void insertIfRequested(AppModel &model)
{
    if (qEnvironmentVariable("APP_SEED") != QLatin1String("1"))
        return;
    if (!Store::isOverridden()) {
        qCInfo(lcStore, "APP_SEED ignored: APP_STORE must be a file in /tmp");
        return;
    }

    ModelContext *context = model.context();
    if (context->fetchCount<FocusScreen>() == 0) {
        context->insert(std::make_unique<FocusScreen>(
            QStringLiteral("Read Bible - 10 min"), 600,
            QStringList{QStringLiteral("com.github.johnfactotum.Foliate"), QStringLiteral("firefox-esr")},
            QStringList{QStringLiteral("biblegateway.com"), QStringLiteral("bible.com")}, LockMode::hideApps,
            false, 0));
        context->insert(std::make_unique<FocusScreen>(
            QStringLiteral("Deep Work - 50 min"), 3000,
            QStringList{QStringLiteral("code"), QStringLiteral("org.gnome.Terminal"),
                        QStringLiteral("chromium")},
            QStringList{QStringLiteral("github.com"), QStringLiteral("stackoverflow.com"),
                        QStringLiteral("wiki.debian.org")},
            LockMode::preventLaunch, false, 1));
        context->insert(std::make_unique<FocusScreen>(
            QStringLiteral("Meditation - 5 min"), 300, QStringList{QStringLiteral("org.gnome.Rhythmbox3")},
            QStringList{QStringLiteral("headspace.com"), QStringLiteral("calm.com")}, LockMode::overlay,
            false, 2));
        context->insert(std::make_unique<AppLockProfile>(
            QStringLiteral("Work Focus"),
            QStringList{QStringLiteral("org.gnome.Totem"), QStringLiteral("org.gnome.Rhythmbox3"),
                        QStringLiteral("steam")},
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

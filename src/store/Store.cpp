// SPDX-License-Identifier: MIT
#include "Store.h"

#include "AppLockProfile.h"
#include "AppSettings.h"
#include "FocusScreen.h"
#include "FocusSession.h"
#include "Logging.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cstdlib>
#include <sys/stat.h>

namespace Store {

QList<const EntityInfo *> schema()
{
    return {&FocusScreen::entityInfo(), &FocusSession::entityInfo(), &AppLockProfile::entityInfo(),
            &AppSettings::entityInfo()};
}

bool isOverridden()
{
    return !qEnvironmentVariable("APP_STORE").isEmpty();
}

QString path()
{
    const QString override = qEnvironmentVariable("APP_STORE");
    if (!override.isEmpty())
        return QFileInfo(override).absoluteFilePath();

    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || QDir::isRelativePath(dataHome))
        dataHome = QDir::homePath() + QStringLiteral("/.local/share");
    const QString folder = dataHome + QStringLiteral("/Lumora");
    if (!QFileInfo::exists(folder)) {
        // Errors are ignored here; opening the store reports them.
        QDir().mkpath(dataHome);
        ::mkdir(QFile::encodeName(folder).constData(), 0700);
    }
    return folder + QStringLiteral("/Lumora.store");
}

QUrl url()
{
    return QUrl::fromLocalFile(path());
}

std::unique_ptr<ModelContainer> openContainer(QString *error, const StoreOpenOptions &options)
{
    return ModelContainer::open(path(), schema(), error, options);
}

std::unique_ptr<ModelContainer> openOrReport(const StoreOpenOptions &options)
{
    QString error;
    auto container = openContainer(&error, options);
    if (container && !container->backupPath().isEmpty()) {
        qCWarning(lcStore).noquote() << QCoreApplication::translate("Store",
                                                                    "Lumora brought the database at %1 up to "
                                                                    "date; the one it was is kept at %2")
                                            .arg(path(), container->backupPath());
    }
    if (container)
        return container;
    qCWarning(lcStore).noquote()
        << QCoreApplication::translate("Store", "Could not open the database at %1: %2").arg(path(), error);
    return nullptr;
}

std::unique_ptr<ModelContainer> makeContainer()
{
    auto container = openOrReport();
    if (!container)
        std::exit(EXIT_FAILURE);
    return container;
}

} // namespace Store

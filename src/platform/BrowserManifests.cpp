// SPDX-License-Identifier: MIT
#include "BrowserManifests.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>

namespace BrowserManifests {

namespace {

QString configHome()
{
    const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    return config.isEmpty() || QDir::isRelativePath(config) ? QDir::homePath() + QStringLiteral("/.config")
                                                            : config;
}

QString fileName()
{
    return QLatin1String(kHostName) + QStringLiteral(".json");
}

QJsonObject common(const QString &program)
{
    return {{QStringLiteral("name"), QLatin1String(kHostName)},
            {QStringLiteral("description"),
             QStringLiteral("Lumora focus sessions for the Lumora Focus extension")},
            {QStringLiteral("path"), program},
            {QStringLiteral("type"), QStringLiteral("stdio")}};
}

} // namespace

QByteArray chromiumManifest(const QString &program)
{
    QJsonObject manifest = common(program);
    manifest.insert(
        QStringLiteral("allowed_origins"),
        QJsonArray{QStringLiteral("chrome-extension://%1/").arg(QLatin1String(kChromiumExtensionId))});
    return QJsonDocument(manifest).toJson();
}

QByteArray firefoxManifest(const QString &program)
{
    QJsonObject manifest = common(program);
    manifest.insert(QStringLiteral("allowed_extensions"), QJsonArray{QLatin1String(kFirefoxExtensionId)});
    return QJsonDocument(manifest).toJson();
}

QStringList userManifestPaths()
{
    QStringList paths{configHome() + QStringLiteral("/chromium/NativeMessagingHosts/") + fileName()};
    if (QFileInfo(configHome() + QStringLiteral("/google-chrome")).isDir())
        paths << configHome() + QStringLiteral("/google-chrome/NativeMessagingHosts/") + fileName();
    paths << QDir::homePath() + QStringLiteral("/.mozilla/native-messaging-hosts/") + fileName();
    return paths;
}

Result installForUser(const QString &program)
{
    Result result;
    for (const QString &path : userManifestPaths()) {
        const QByteArray content =
            path.contains(QLatin1String("/.mozilla/")) ? firefoxManifest(program) : chromiumManifest(program);
        const QFileInfo info(path);
        if (!QDir().mkpath(info.absolutePath())) {
            result.errors << QStringLiteral("%1: %2").arg(
                info.absolutePath(),
                QCoreApplication::translate("BrowserManifests", "the folder cannot be created"));
            continue;
        }
        QSaveFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit()) {
            result.errors << QStringLiteral("%1: %2").arg(path, file.errorString());
            continue;
        }
        result.written << path;
    }
    return result;
}

} // namespace BrowserManifests

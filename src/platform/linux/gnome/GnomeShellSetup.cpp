// SPDX-License-Identifier: MIT
#include "GnomeShellSetup.h"

#include "DesktopSession.h"
#include "GnomeShellExtension.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <optional>

namespace {

constexpr int kToolTimeoutMs = 5000;
const QString kSchema = QStringLiteral("org.gnome.shell");
const QString kKey = QStringLiteral("enabled-extensions");

QString uuid()
{
    return QString::fromLatin1(GnomeShellExtension::kUuid);
}

QString extensionsFolder(const QString &dataRoot)
{
    return dataRoot + QStringLiteral("/gnome-shell/extensions/") + uuid();
}

QString userFolder()
{
    return extensionsFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

// The extension as installed with the program, outside the user's folder.
QString systemFolder()
{
    const QString user = QDir(userFolder()).canonicalPath();
    for (const QString &root : QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation)) {
        const QString folder = extensionsFolder(root);
        if (QFileInfo(folder + QStringLiteral("/metadata.json")).isFile() &&
            QDir(folder).canonicalPath() != user)
            return folder;
    }
    return {};
}

std::optional<QString> gsettings(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("gsettings"), arguments);
    if (!process.waitForFinished(kToolTimeoutMs) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        process.kill();
        return std::nullopt;
    }
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

std::optional<QStringList> enabledExtensions()
{
    const auto text = gsettings({QStringLiteral("get"), kSchema, kKey});
    return text ? GnomeShellSetup::parseStringArray(*text) : std::nullopt;
}

bool copyFolder(const QString &from, const QString &to, QString *error)
{
    QDirIterator it(from, QDir::Files | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString source = it.next();
        const QString target = to + QLatin1Char('/') + QDir(from).relativeFilePath(source);
        if (!QDir().mkpath(QFileInfo(target).path())) {
            *error = QCoreApplication::translate("GnomeShellSetup", "cannot make the folder %1")
                         .arg(QFileInfo(target).path());
            return false;
        }
        QFile::remove(target);
        if (!QFile::copy(source, target)) {
            *error = QCoreApplication::translate("GnomeShellSetup", "cannot write %1").arg(target);
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<QStringList> GnomeShellSetup::parseStringArray(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed == QLatin1String("@as []") || trimmed == QLatin1String("[]"))
        return QStringList{};
    static const QRegularExpression whole(QStringLiteral(R"(^\[\s*'[^'\\]*'(\s*,\s*'[^'\\]*')*\s*\]$)"));
    if (!whole.match(trimmed).hasMatch())
        return std::nullopt;
    static const QRegularExpression item(QStringLiteral(R"('([^'\\]*)')"));
    QStringList out;
    for (auto it = item.globalMatch(trimmed); it.hasNext();)
        out.append(it.next().captured(1));
    return out;
}

QString GnomeShellSetup::formatStringArray(const QStringList &items)
{
    QStringList quoted;
    for (const QString &item : items)
        quoted.append(QLatin1Char('\'') + item + QLatin1Char('\''));
    return QLatin1Char('[') + quoted.join(QStringLiteral(", ")) + QLatin1Char(']');
}

ShellExtension::Status GnomeShellSetup::status()
{
    Status status;
    status.installed = GnomeShellExtension::isInstalled();
    const auto enabled = enabledExtensions();
    status.enabled = enabled && enabled->contains(uuid());
    GnomeShellExtension extension;
    status.connected = extension.ensureConnected() == GnomeShellExtension::State::connected;
    status.problem = extension.problem();
    return status;
}

bool GnomeShellSetup::installForUser(QString *error)
{
    if (!GnomeShellExtension::isInstalled()) {
        const QString from = systemFolder();
        if (from.isEmpty()) {
            *error =
                QCoreApplication::translate("GnomeShellSetup", "the extension was not installed with Lumora");
            return false;
        }
        if (!copyFolder(from, userFolder(), error))
            return false;
    }
    // Enabling through the setting works whether or not the running shell
    // knows the extension yet.
    std::optional<QStringList> enabled = enabledExtensions();
    if (!enabled) {
        *error =
            QCoreApplication::translate("GnomeShellSetup", "GNOME's settings cannot be read (gsettings)");
        return false;
    }
    if (!enabled->contains(uuid())) {
        enabled->append(uuid());
        if (!gsettings({QStringLiteral("set"), kSchema, kKey, formatStringArray(*enabled)})) {
            *error = QCoreApplication::translate("GnomeShellSetup",
                                                 "GNOME's settings cannot be written (gsettings)");
            return false;
        }
    }
    return true;
}

bool GnomeShellSetup::loadsAfterNewLogin() const
{
    return DesktopSession::isWayland();
}

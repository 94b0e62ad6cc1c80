// SPDX-License-Identifier: MIT
#include "DesktopDoNotDisturb.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QProcess>
#include <QStandardPaths>

namespace {

constexpr auto kService = "org.freedesktop.Notifications";
constexpr auto kPath = "/org/freedesktop/Notifications";
constexpr auto kInterface = "org.freedesktop.Notifications";
constexpr auto kGnomeSchema = "org.gnome.desktop.notifications";
constexpr auto kGnomeKey = "show-banners";
constexpr auto kMakoMode = "do-not-disturb";
// A notification server answers at once; one that does not (hung, or busy)
// must not hold up the start of a session for long.
constexpr int kBusTimeoutMs = 500;

QString means(const QJsonObject &record)
{
    return record.value(QLatin1String("means")).toString();
}

} // namespace

std::optional<QString> DesktopDoNotDisturb::run(const QString &tool, const QStringList &arguments)
{
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        return std::nullopt;
    QProcess process;
    process.setStandardInputFile(QProcess::nullDevice());
    process.start(program, arguments);
    if (!process.waitForFinished(kToolTimeoutMs)) {
        process.kill();
        process.waitForFinished(kToolTimeoutMs);
        return std::nullopt;
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return std::nullopt;
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

bool DesktopDoNotDisturb::isGnome()
{
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'), Qt::SkipEmptyParts);
    return desktops.contains(QLatin1String("GNOME"), Qt::CaseInsensitive);
}

bool DesktopDoNotDisturb::hasKdeInhibition()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << QLatin1String(kInterface) << QStringLiteral("Inhibited");
    get.setAutoStartService(false);
    const QDBusMessage reply = bus.call(get, QDBus::Block, kBusTimeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

std::optional<QJsonObject> DesktopDoNotDisturb::prepare(QString *why)
{
    if (why)
        why->clear();
    if (hasKdeInhibition())
        return QJsonObject{{QStringLiteral("means"), QStringLiteral("kde")}};
    if (isGnome()) {
        if (const auto banners =
                run(QStringLiteral("gsettings"),
                    {QStringLiteral("get"), QLatin1String(kGnomeSchema), QLatin1String(kGnomeKey)})) {
            if (*banners != QLatin1String("true"))
                return std::nullopt; // banners are off already
            return QJsonObject{{QStringLiteral("means"), QStringLiteral("gnome")},
                               {QStringLiteral("before"), *banners}};
        }
    }
    if (const auto modes = run(QStringLiteral("makoctl"), {QStringLiteral("mode")})) {
        if (modes->split(QLatin1Char('\n')).contains(QLatin1String(kMakoMode)))
            return std::nullopt;
        return QJsonObject{{QStringLiteral("means"), QStringLiteral("mako")}};
    }
    if (const auto paused = run(QStringLiteral("dunstctl"), {QStringLiteral("is-paused")})) {
        if (*paused == QLatin1String("true"))
            return std::nullopt;
        return QJsonObject{{QStringLiteral("means"), QStringLiteral("dunst")}};
    }
    if (why)
        *why = QCoreApplication::translate("DoNotDisturb",
                                           "this desktop gives programs no way to hold notifications back "
                                           "(Lumora can on GNOME, KDE Plasma, mako and dunst)");
    return std::nullopt;
}

bool DesktopDoNotDisturb::hold(const QJsonObject &record)
{
    const QString by = means(record);
    if (by == QLatin1String("kde")) {
        QDBusMessage inhibit =
            QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                           QLatin1String(kInterface), QStringLiteral("Inhibit"));
        inhibit << QStringLiteral("lumora")
                << QCoreApplication::translate("DoNotDisturb", "A focus session is running") << QVariantMap();
        const QDBusMessage reply = QDBusConnection::sessionBus().call(inhibit, QDBus::Block, kBusTimeoutMs);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
            return false;
        m_kdeCookie = reply.arguments().first().toUInt();
        return true;
    }
    if (by == QLatin1String("gnome"))
        return run(QStringLiteral("gsettings"), {QStringLiteral("set"), QLatin1String(kGnomeSchema),
                                                 QLatin1String(kGnomeKey), QStringLiteral("false")})
            .has_value();
    if (by == QLatin1String("mako"))
        return run(QStringLiteral("makoctl"),
                   {QStringLiteral("mode"), QStringLiteral("-a"), QLatin1String(kMakoMode)})
            .has_value();
    if (by == QLatin1String("dunst"))
        return run(QStringLiteral("dunstctl"), {QStringLiteral("set-paused"), QStringLiteral("true")})
            .has_value();
    return false;
}

void DesktopDoNotDisturb::release(const QJsonObject &record)
{
    const QString by = means(record);
    if (by == QLatin1String("kde")) {
        // A dead run's inhibition ended with it.
        if (const auto cookie = std::exchange(m_kdeCookie, std::nullopt)) {
            QDBusMessage uninhibit =
                QDBusMessage::createMethodCall(QLatin1String(kService), QLatin1String(kPath),
                                               QLatin1String(kInterface), QStringLiteral("UnInhibit"));
            uninhibit << *cookie;
            QDBusConnection::sessionBus().call(uninhibit, QDBus::Block, kBusTimeoutMs);
        }
        return;
    }
    if (by == QLatin1String("gnome")) {
        const QString before = record.value(QLatin1String("before")).toString();
        const auto now = run(QStringLiteral("gsettings"),
                             {QStringLiteral("get"), QLatin1String(kGnomeSchema), QLatin1String(kGnomeKey)});
        // Only what this program set goes back; a value the user chose since stays.
        if (now && *now == QLatin1String("false") && (before == QLatin1String("true")))
            run(QStringLiteral("gsettings"),
                {QStringLiteral("set"), QLatin1String(kGnomeSchema), QLatin1String(kGnomeKey), before});
        return;
    }
    if (by == QLatin1String("mako")) {
        const auto modes = run(QStringLiteral("makoctl"), {QStringLiteral("mode")});
        if (modes && modes->split(QLatin1Char('\n')).contains(QLatin1String(kMakoMode)))
            run(QStringLiteral("makoctl"),
                {QStringLiteral("mode"), QStringLiteral("-r"), QLatin1String(kMakoMode)});
        return;
    }
    if (by == QLatin1String("dunst")) {
        const auto paused = run(QStringLiteral("dunstctl"), {QStringLiteral("is-paused")});
        if (paused && *paused == QLatin1String("true"))
            run(QStringLiteral("dunstctl"), {QStringLiteral("set-paused"), QStringLiteral("false")});
    }
}

// SPDX-License-Identifier: MIT
#include "GnomeShellProbe.h"

#include "LumoraProcess.h"

#include <QDBusConnection>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace GnomeShellProbe {

QDBusMessage probe(const QString &method, const QVariantList &args)
{
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.gnome.Shell"),
                                                       QStringLiteral("/io/github/lumora/Probe"),
                                                       QStringLiteral("io.github.lumora.Probe1"), method);
    call.setArguments(args);
    return QDBusConnection::sessionBus().call(call, QDBus::Block, 10000);
}

QList<ShellWindow> shellWindows()
{
    QList<ShellWindow> out;
    const QDBusMessage reply = probe(QStringLiteral("Windows"));
    const auto array = QJsonDocument::fromJson(reply.arguments().value(0).toString().toUtf8()).array();
    for (const auto &value : array) {
        const QJsonObject o = value.toObject();
        ShellWindow w;
        w.id = quint64(o.value(QLatin1String("id")).toInteger());
        w.pid = o.value(QLatin1String("pid")).toInteger();
        w.title = o.value(QLatin1String("title")).toString();
        w.wmClass = o.value(QLatin1String("wmClass")).toString();
        w.appId = o.value(QLatin1String("appId")).toString();
        w.minimized = o.value(QLatin1String("minimized")).toBool();
        w.above = o.value(QLatin1String("above")).toBool();
        w.sticky = o.value(QLatin1String("sticky")).toBool();
        w.fullscreen = o.value(QLatin1String("fullscreen")).toBool();
        w.focused = o.value(QLatin1String("focused")).toBool();
        w.inSwitcher = o.value(QLatin1String("inSwitcher")).toBool();
        w.stack = o.value(QLatin1String("stack")).toInt();
        w.rect = QRect(o.value(QLatin1String("x")).toInt(), o.value(QLatin1String("y")).toInt(),
                       o.value(QLatin1String("width")).toInt(), o.value(QLatin1String("height")).toInt());
        out.append(w);
    }
    return out;
}

QList<ShellWindow> overlays()
{
    QList<ShellWindow> out;
    for (const auto &w : shellWindows())
        if (w.title == QLatin1String(LumoraProcess::kOverlayTitle))
            out.append(w);
    return out;
}

bool overlaysCoverBothMonitors()
{
    const auto shown = overlays();
    if (shown.size() != monitors.size())
        return false;
    for (const auto &monitor : monitors) {
        const auto count = std::count_if(shown.cbegin(), shown.cend(), [&](const ShellWindow &w) {
            return w.fullscreen && !w.minimized && w.rect == monitor && w.sticky && !w.inSwitcher;
        });
        if (count != 1)
            return false;
    }
    return true;
}

} // namespace GnomeShellProbe

// SPDX-License-Identifier: MIT
#include "SwayTree.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

namespace {

void collect(const QJsonObject &node, QString output, QString workspace, bool floating,
             const QString &parentLayout, int index, QList<SwayWindow> &out)
{
    const QString type = node.value(QLatin1String("type")).toString();
    if (type == QLatin1String("output"))
        output = node.value(QLatin1String("name")).toString();
    if (type == QLatin1String("workspace"))
        workspace = node.value(QLatin1String("name")).toString();
    if (node.value(QLatin1String("app_id")).isString()) {
        SwayWindow window;
        window.id = node.value(QLatin1String("id")).toInteger();
        window.pid = node.value(QLatin1String("pid")).toInteger();
        window.appId = node.value(QLatin1String("app_id")).toString();
        window.title = node.value(QLatin1String("name")).toString();
        window.output = output;
        window.workspace = workspace;
        const QJsonObject rect = node.value(QLatin1String("rect")).toObject();
        window.rect =
            QRect(rect.value(QLatin1String("x")).toInt(), rect.value(QLatin1String("y")).toInt(),
                  rect.value(QLatin1String("width")).toInt(), rect.value(QLatin1String("height")).toInt());
        window.fullscreen = node.value(QLatin1String("fullscreen_mode")).toInt() != 0;
        window.floating = floating || type == QLatin1String("floating_con");
        window.visible = node.value(QLatin1String("visible")).toBool();
        window.focused = node.value(QLatin1String("focused")).toBool();
        window.parentLayout = parentLayout;
        window.index = index;
        out.append(window);
    }
    const QString layout = node.value(QLatin1String("layout")).toString();
    const QJsonArray nodes = node.value(QLatin1String("nodes")).toArray();
    for (int i = 0; i < nodes.size(); ++i)
        collect(nodes.at(i).toObject(), output, workspace, false, layout, i, out);
    for (const auto &child : node.value(QLatin1String("floating_nodes")).toArray())
        collect(child.toObject(), output, workspace, true, {}, 0, out);
}

} // namespace

QByteArray swaymsg(const QStringList &arguments, const QString &socket)
{
    QProcess process;
    process.start(QStringLiteral("swaymsg"),
                  socket.isEmpty() ? arguments : QStringList{QStringLiteral("-s"), socket} + arguments);
    if (!process.waitForFinished(10000))
        return {};
    return process.readAllStandardOutput();
}

QList<SwayWindow> swayWindows(const QString &socket)
{
    QList<SwayWindow> out;
    collect(QJsonDocument::fromJson(
                swaymsg({QStringLiteral("-t"), QStringLiteral("get_tree"), QStringLiteral("-r")}, socket))
                .object(),
            {}, {}, false, {}, 0, out);
    return out;
}

QList<SwayOutput> activeSwayOutputs(const QString &socket)
{
    QList<SwayOutput> out;
    const auto list =
        QJsonDocument::fromJson(
            swaymsg({QStringLiteral("-t"), QStringLiteral("get_outputs"), QStringLiteral("-r")}, socket))
            .array();
    for (const auto &value : list) {
        const QJsonObject output = value.toObject();
        if (!output.value(QLatin1String("active")).toBool())
            continue;
        const QJsonObject rect = output.value(QLatin1String("rect")).toObject();
        out.append(
            {output.value(QLatin1String("name")).toString(),
             QRect(rect.value(QLatin1String("x")).toInt(), rect.value(QLatin1String("y")).toInt(),
                   rect.value(QLatin1String("width")).toInt(), rect.value(QLatin1String("height")).toInt()),
             output.value(QLatin1String("current_workspace")).toString()});
    }
    return out;
}

QHash<QString, QString> visibleWorkspaces(const QString &socket)
{
    QHash<QString, QString> out;
    for (const auto &output : activeSwayOutputs(socket))
        out.insert(output.name, output.workspace);
    return out;
}

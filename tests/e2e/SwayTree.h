// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QRect>
#include <QString>
#include <QStringList>

// One window of sway's layout tree, as a user's tools see it.
struct SwayWindow
{
    qint64 id = 0;
    qint64 pid = 0;
    QString appId;
    QString title;
    QString output;
    QString workspace;
    QRect rect;
    bool fullscreen = false;
    bool floating = false;
    bool visible = false;
    bool focused = false;
    // Its place among the windows and containers of its parent.
    QString parentLayout;
    int index = 0;
    bool inScratchpad() const { return workspace == QLatin1String("__i3_scratch"); }
};

// What `swaymsg <arguments>` prints; socket: the IPC socket of another sway,
// the test desktop's (SWAYSOCK) when empty.
QByteArray swaymsg(const QStringList &arguments, const QString &socket = {});

// Every window in the tree, floating ones and the scratchpad's included.
QList<SwayWindow> swayWindows(const QString &socket = {});

// An active output: where it is and the workspace it shows.
struct SwayOutput
{
    QString name;
    QRect rect;
    QString workspace;
};

QList<SwayOutput> activeSwayOutputs(const QString &socket = {});

// The workspace each active output shows, by output name.
QHash<QString, QString> visibleWorkspaces(const QString &socket = {});

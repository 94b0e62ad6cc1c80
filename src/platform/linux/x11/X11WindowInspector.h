// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>

// X11 last: include this header after every Qt header.
#include "X11Connection.h"

// What a top-level window tells of the application it belongs to.
struct X11WindowInfo
{
    QString appKey; // the application the window is grouped under
    std::optional<qint32> pid;
    std::optional<QString> appId;
    QString className;
    QStringList names; // every name the application goes by (AppIdentity)
    bool iconic = false;
};

// Reads the identity of windows on a connection:
// - the process: the X-Resource client id, else _NET_WM_PID of a client on
//   this machine (WM_CLIENT_MACHINE);
// - the desktop-entry id: _GTK_APPLICATION_ID, _KDE_NET_WM_DESKTOP_FILE,
//   else the WM_CLASS class;
// - the names: those ids, the WM_CLASS class and instance, the program's
//   names and the ids of the desktop entries that describe the application;
// - the group: by process, else by client leader, else by class, else the
//   window alone.
class X11WindowInspector
{
public:
    explicit X11WindowInspector(const X11Connection &connection);

    // This process, whose program names are never looked up.
    qint32 ownPid() const { return m_ownPid; }

    // Nothing for dock and desktop windows.
    std::optional<X11WindowInfo> inspect(Window window) const;
    std::optional<qint32> queryPid(Window window) const;
    // The WM_CLASS class.
    QString classOf(Window window) const;

private:
    bool isDockOrDesktop(Window window) const;
    std::optional<qint32> pidFromServer(Window window) const;
    std::optional<qint32> pidFromClient(Window window) const;
    // WM_CLASS: instance and class.
    std::pair<QString, QString> classHint(Window window) const;
    // The desktop-entry ids the window states, in the order of the atoms.
    QStringList statedDesktopIds(Window window) const;
    QStringList namesOf(const X11WindowInfo &info, const QString &instanceName) const;
    QString appKeyOf(Window window, const X11WindowInfo &info) const;

    const X11Connection &m_connection;
    qint32 m_ownPid = 0;
    QString m_hostName;
};

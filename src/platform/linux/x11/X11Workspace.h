// SPDX-License-Identifier: MIT
#pragma once

#include "Accessibility.h"
#include "Workspace.h"

#include <memory>

// The workspace of an X11 desktop with an EWMH window manager, over a
// connection of its own (so it works whatever Qt's platform plugin is,
// offscreen included), read through the Qt event loop on the main thread.
// The connection is opened by the first call, not when the workspace is
// made, so that it costs the program's start nothing.
//
// - Running applications are the top-level client windows of
//   _NET_CLIENT_LIST (dock and desktop windows left out), grouped by process
//   (X-Resource client id, else _NET_WM_PID), else by client leader, else by
//   window class. Their id is the desktop-entry id (_GTK_APPLICATION_ID,
//   _KDE_NET_WM_DESKTOP_FILE), else the WM_CLASS class ("XTerm"). Their
//   names (AppIdentity) add the WM_CLASS class and instance, the program's
//   name and the ids of the desktop entries that describe them.
// - An application is hidden when all its windows are iconic.
// - iconify()/restore() are the window-manager path (WM_CHANGE_STATE): they
//   neither activate nor raise anything. When the window manager leaves a
//   restored window iconic, restore() maps it directly after a short grace
//   period and gives the focus back to the window that had it.
// - hide()/unhide() are the plain path: withdraw and map the windows.
// - A launch is a new process (group) in _NET_CLIENT_LIST, a termination is
//   the last window of a group going away.
// - New windows of an application this workspace hid are hidden the same
//   way, as long as it stays hidden.
// - Windows of this process are never touched.
//
// - At rest (not watched, nothing hidden here) it selects no events at all
//   and reads the desktop afresh on each call: the server never wakes it.
//   Watched, or while windows it hid are not all shown again, it listens to
//   the root window and to every listed window.
//
// With no display, on Wayland or without an EWMH window manager the
// workspace lists nothing and reports itself not available.
class X11Workspace : public Workspace
{
    Q_OBJECT
public:
    explicit X11Workspace(QObject *parent = nullptr);
    ~X11Workspace() override;

    bool isAvailable() const override;
    QString unavailableReason() const override;
    QList<RunningApplication> runningApplications() override;
    RunningApplication currentApplication() const override;
    bool isHidden(const RunningApplication &app) const override;
    bool hide(const RunningApplication &app) override;
    bool unhide(const RunningApplication &app) override;
    using Workspace::hiddenWindowsRecord;
    QJsonObject hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const override;
    int restoreHiddenWindows(const QJsonObject &record) override;
    bool isRestoring() const override;
    void setWatching(bool watching) override;

    // The window-manager path used by X11Accessibility.
    AccessibilityError iconify(const RunningApplication &app);
    AccessibilityError restore(const RunningApplication &app);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

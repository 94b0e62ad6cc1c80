// SPDX-License-Identifier: MIT
#pragma once

#include "Workspace.h"

#include <memory>

class GnomeShellExtension;

// The workspace of a GNOME Shell session, through Lumora's GNOME Shell
// extension (GnomeShellExtension, src/gnome-extension) on the session bus.
//
// - Running applications are the shell's ordinary windows and dialogs,
//   grouped by process (else each window alone). Their id is the desktop
//   entry GNOME Shell matched to the window, else its GTK application id,
//   sandboxed application id or class; their names (AppIdentity) are all of
//   these, the program's names and the desktop entries that describe them.
// - Hiding minimises an application's windows; showing shows again exactly
//   the windows minimised by this workspace. An application is hidden when
//   all its windows are minimised. Someone else showing such a window takes
//   it off the list.
// - While watched (or while something it minimised is not back) it follows
//   the extension's WindowsChanged signal and reads the windows again; a
//   launch is a new process among the windows, a termination its last
//   window going. New windows of an application it hid are minimised too.
//   At rest each call reads the windows afresh.
// - Windows of this process are never touched (the extension refuses too).
//
// Not available while the extension does not answer (not installed or not
// enabled, of another version, GNOME Shell gone); asked again at most once a
// second when used.
class GnomeWorkspace : public Workspace
{
    Q_OBJECT
public:
    explicit GnomeWorkspace(QObject *parent = nullptr);
    ~GnomeWorkspace() override;

    bool isAvailable() const override;
    void setWatching(bool watching) override;
    QString unavailableReason() const override;
    QList<RunningApplication> runningApplications() override;
    RunningApplication currentApplication() const override;
    bool isHidden(const RunningApplication &app) const override;
    bool hide(const RunningApplication &app) override;
    bool unhide(const RunningApplication &app) override;
    using Workspace::hiddenWindowsRecord;
    QJsonObject hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const override;
    int restoreHiddenWindows(const QJsonObject &record) override;

private:
    struct Private;
    std::unique_ptr<Private> d;
};

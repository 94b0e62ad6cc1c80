// SPDX-License-Identifier: MIT
#pragma once

#include "RunningApplication.h"

#include <QJsonObject>
#include <QList>
#include <QObject>

#include <functional>

// The desktop's view of running applications: listing them, hiding and
// showing them, and telling when one is launched or terminates.
//
// hide() and unhide() are the plain path (on X11 a direct unmap and map of
// the application's windows); the window-manager path goes through
// Accessibility::setHidden(). Neither ever activates or raises an
// application, and neither touches this program's own windows.
//
// Signals are delivered on the main thread. A workspace may update its view
// (and so emit them) from inside runningApplications().
class Workspace : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // True when other applications can be listed and hidden here.
    virtual bool isAvailable() const = 0;
    // One short phrase saying why not ("no X11 display", ...); empty when available.
    virtual QString unavailableReason() const = 0;

    // The running applications other than those with no ordinary window,
    // in the workspace's order (the order they first appeared).
    virtual QList<RunningApplication> runningApplications() = 0;
    // This program itself; compares equal to its entry in the list above.
    virtual RunningApplication currentApplication() const = 0;

    // Whether the application is hidden now: every window it has is hidden.
    virtual bool isHidden(const RunningApplication &app) const = 0;
    virtual bool hide(const RunningApplication &app) = 0;
    virtual bool unhide(const RunningApplication &app) = 0;

    // What this program has hidden and not shown again (including windows
    // on their way back), as an opaque record that survives the process
    // (for the crash journal), and the operation that shows again whatever
    // such a record names and is still hidden. Returns how many windows were
    // shown again.
    QJsonObject hiddenWindowsRecord() const { return hiddenWindowsRecord({}); }
    // The same record, naming also every window of these applications that
    // a hide would touch now: written down before they are hidden.
    virtual QJsonObject hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const = 0;
    virtual int restoreHiddenWindows(const QJsonObject &record) = 0;
    // Some window is on its way back: asked to be shown, and the window
    // manager has not done so yet.
    virtual bool isRestoring() const { return false; }

    // Whether the workspace follows the desktop as it changes between calls:
    // launches and terminations, windows shown or hidden by others, a window
    // manager coming or going. Unwatched (the default) a workspace may sleep
    // and report none of that; every call still answers from the desktop as
    // it is, and what it has hidden itself it follows until it is shown again.
    virtual void setWatching(bool watching) { m_watching = watching; }
    bool isWatching() const { return m_watching; }

    // Called before the workspace hides something on its own (a new window
    // of an application it hid); hiding goes ahead only when it returns true.
    void setBeforeHiding(std::function<bool()> check) { m_beforeHiding = std::move(check); }

Q_SIGNALS:
    void applicationLaunched(const RunningApplication &app);
    void applicationTerminated(const RunningApplication &app);
    // The set behind hiddenWindowsRecord() changed.
    void hiddenWindowsChanged();
    // isAvailable() changed (a window manager came or went).
    void availableChanged();

protected:
    bool mayHide() const { return !m_beforeHiding || m_beforeHiding(); }

private:
    std::function<bool()> m_beforeHiding;
    bool m_watching = false;
};

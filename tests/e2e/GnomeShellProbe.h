// SPDX-License-Identifier: MIT
#pragma once

#include <QDBusMessage>
#include <QList>
#include <QRect>
#include <QString>
#include <QVariantList>

// The desktop tests' view into GNOME Shell on the test desktop of
// gnome-session.sh, through the tests' probe extension (tests/e2e/gnome-probe)
// on the session bus.
namespace GnomeShellProbe {

// The monitors of the test desktop, left to right.
inline const QList<QRect> monitors{QRect(0, 0, 1280, 800), QRect(1280, 0, 1024, 768)};

// One window as the shell has it.
struct ShellWindow
{
    quint64 id = 0;
    qint64 pid = 0;
    QString title;
    QString wmClass;
    QString appId;
    bool minimized = false;
    bool above = false;
    bool sticky = false;
    bool fullscreen = false;
    bool focused = false;
    bool inSwitcher = false;
    int stack = 0; // place in the stacking order, bottom first
    QRect rect;

    bool is(const QString &name) const { return wmClass == name || appId == name; }
};

// Calls the probe (io.github.lumora.Probe1) and waits for its answer.
QDBusMessage probe(const QString &method, const QVariantList &args = {});
QList<ShellWindow> shellWindows();
// Lumora's overlay windows.
QList<ShellWindow> overlays();
// Each monitor has exactly one overlay, full screen over all of it, on every
// workspace, in no switcher.
bool overlaysCoverBothMonitors();

} // namespace GnomeShellProbe

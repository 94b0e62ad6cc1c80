// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The scripts this program has KWin run (see KWinScripting) and what they
// answer. A script's body calls reply(text) to answer; the helpers named
// below (windows(), onWindowAdded(), ...) are defined by KWinScripting for
// every KWin it knows (5.27's clientList() and clientAdded, 6's windowList()
// and windowAdded).
namespace KWinScripts {

// One ordinary window (a normal window or a dialog) as KWin lists it.
struct Window
{
    QString id; // KWin's internal id, "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"
    std::optional<qint32> pid;
    QString resourceClass;   // the Wayland application id, or the X11 class
    QString resourceName;    // the X11 instance, or the program's name
    QString desktopFileName; // the id of the desktop entry KWin found for it
    QString caption;
    bool minimized = false;

    bool operator==(const Window &) const = default;
};

// Whether text is a window id as KWin writes one (the only ids a script is given).
bool isWindowId(const QString &text);

// Lists the ordinary windows, after minimising the windows named in
// minimize and showing again those named in unminimize (ids that are not
// windows are ignored). Its answer is read by parseWindows().
QString listing(const QStringList &minimize = {}, const QStringList &unminimize = {});

// The answer of listing(): the windows in KWin's order, or nothing when the
// text is not such an answer. Entries without a valid id are left out, and
// so are repeated ids; a pid that is not a positive number counts as unknown.
std::optional<QList<Window>> parseWindows(const QString &text);

// Stays loaded and answers "changed" whenever a window comes or goes or is
// minimised or shown again: the listing is then out of date.
QString watcher();

// Stays loaded and keeps the windows of process pid in their place: those
// whose caption is in covering (the full-screen overlays) are on every
// desktop and activity and off taskbars, pagers and window switchers; those
// in above are kept above (windows that must be able to stand over the
// overlays). With othersAbove false the covering windows are kept above
// every other window, full-screen ones included; with othersAbove true they
// are kept below, and the windows left on screen stand above them.
QString keepAbove(qint32 pid, const QStringList &covering, const QStringList &above,
                  bool othersAbove = false);

// Minimises the covering windows of process pid (those with one of these
// captions) for the guard of a stopped program; answers how many it took
// down. keepAbove() shows them again when it is started anew.
QString takeDown(qint32 pid, const QStringList &covering);

} // namespace KWinScripts

// SPDX-License-Identifier: MIT
#pragma once

#include "WindowGroups.h"

#include <QCoreApplication>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QString>

#include <algorithm>

// What a workspace that hides by minimising (KWin, GNOME Shell) knows and
// holds: the compositor's windows, those it minimised and has not shown
// again, and the applications it hides, whose new windows are minimised
// too. The compositor is reached through minimise(toMinimise, toShow): it
// minimises and unminimises those windows, lists the windows afresh, takes
// them in (takeIn) and says whether all of that worked.
template<typename Id, typename Window> struct MinimisingWindows
{
    using Windows = WindowGroups<Id, Window>;

    Windows windows;
    QSet<Id> hiddenByUs;      // minimised here and not shown again
    QSet<QString> hiddenApps; // hidden here: their new windows are minimised too
    QList<Id> toFollow;       // new windows of hidden applications, to minimise
    bool hiddenChanged = false;
    qint32 ownPid = static_cast<qint32>(QCoreApplication::applicationPid());

    static bool isPutAway(const Window &window) { return window.minimized; }

    bool isOwn(const Id &id) const { return windows.isOfProcess(id, ownPid); }
    bool isMinimized(const Id &id) const
    {
        const auto *entry = windows.find(id);
        return entry && entry->window.minimized;
    }
    // Something hidden here, whose windows are to be followed.
    bool holdsAny() const { return !hiddenByUs.isEmpty() || !hiddenApps.isEmpty(); }

    // Takes in the windows as listed now. A window gone, or shown again by
    // someone else, is nothing to show again; a new one is described by
    // describe and, when its application is hidden here and mayHide()
    // allows it, minimised by the next minimise (toFollow).
    template<typename Describe, typename MayHide>
    void takeIn(const QList<Window> &listed, Describe describe, MayHide mayHide)
    {
        const auto adopt = [&](const Window &window) {
            typename Windows::Entry info = describe(window);
            const QString appKey = info.appKey;
            const bool own = info.pid == ownPid;
            windows.add(window.id, std::move(info));
            if (hiddenApps.contains(appKey) && !own && !window.minimized && mayHide()) {
                hiddenByUs.insert(window.id);
                hiddenChanged = true;
                toFollow.append(window.id);
            }
        };
        if (windows.absorb(listed, hiddenByUs, isPutAway, adopt))
            hiddenChanged = true;
    }

    bool isHidden(const QString &appKey) const { return windows.isPutAway(appKey, isPutAway); }

    // Minimises the application's windows (none of this program's) and,
    // from now on, its new ones. True when it has windows and each is
    // minimised or gone.
    template<typename Minimise> bool hide(const QString &appKey, Minimise minimise)
    {
        if (windows.windowsOf(appKey).isEmpty())
            return false;
        const QList<Id> moving = windows.toPutAway(appKey, ownPid, isPutAway);
        for (const Id &id : moving)
            hiddenByUs.insert(id);
        hiddenApps.insert(appKey);
        hiddenChanged = hiddenChanged || !moving.isEmpty();
        const bool applied = minimise(moving, QList<Id>{});
        return applied && std::all_of(moving.cbegin(), moving.cend(), [this](const Id &id) {
                   return !windows.contains(id) || isMinimized(id);
               });
    }

    // Shows again the application's windows minimised here. True when there
    // were some and the compositor took the call.
    template<typename Minimise> bool unhide(const QString &appKey, Minimise minimise)
    {
        hiddenApps.remove(appKey);
        QList<Id> showing;
        for (const Id &id : windows.windowsOf(appKey)) {
            if (isOwn(id) || !hiddenByUs.remove(id))
                continue;
            showing.append(id);
            hiddenChanged = true;
        }
        return !showing.isEmpty() && minimise(QList<Id>{}, showing);
    }

    // The hidden-windows record of this kind (WindowGroups::record).
    template<typename IdText>
    QJsonObject record(const char *kind, const QList<RunningApplication> &aboutToHide,
                       const RunningApplication &self, IdText idText) const
    {
        return windows.record(kind, hiddenByUs, keysAboutToHide(aboutToHide, self), ownPid, isPutAway,
                              idText);
    }

    // Shows again the windows a record names that are still minimised
    // (WindowGroups::restorable); returns how many are shown now.
    template<typename ParseId, typename Minimise>
    int restore(const QJsonObject &record, ParseId parseId, Minimise minimise)
    {
        const QList<Id> showing = windows.restorable(record, ownPid, isPutAway, parseId);
        if (showing.isEmpty() || !minimise(QList<Id>{}, showing))
            return 0;
        int restored = 0;
        for (const Id &id : showing) {
            if (windows.contains(id) && !isMinimized(id)) {
                hiddenByUs.remove(id);
                ++restored;
            }
        }
        return restored;
    }
};

// SPDX-License-Identifier: MIT
#pragma once

#include "HiddenWindowsRecord.h"
#include "ProgramNames.h"
#include "RunningApplication.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QList>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <optional>

// The windows a compositor's workspace knows (sway's containers, KWin's
// windows), in the order first seen, grouped into applications by a key
// ("pid:1234", else one of the window's own), with what each window says
// about its application.
// The keys of the applications about to be hidden, this program left out.
inline QSet<QString> keysAboutToHide(const QList<RunningApplication> &aboutToHide,
                                     const RunningApplication &self)
{
    QSet<QString> keys;
    for (const auto &app : aboutToHide)
        if (app != self)
            keys.insert(app.identity());
    return keys;
}

template<typename Id, typename Window> class WindowGroups
{
public:
    struct Entry
    {
        Window window;
        QString appKey;
        std::optional<QString> appId;
        std::optional<qint32> pid;
        QString name;      // its desktop-entry id, else its class; what the hidden-windows record keeps
        QStringList names; // AppIdentity
    };

    // What a window says of its application: keyed by its process, else by
    // the window itself (windowKey); known by its desktop-entry id, else by
    // its class.
    static Entry describe(const Window &window, std::optional<qint32> pid, const QString &windowKey,
                          const QString &desktopId, const QString &windowClass, const QString &instance,
                          qint32 ownPid)
    {
        Entry entry;
        entry.window = window;
        entry.pid = pid;
        entry.appKey = pid ? QStringLiteral("pid:%1").arg(*pid) : windowKey;
        const QString id = desktopId.isEmpty() ? windowClass : desktopId;
        if (!id.isEmpty())
            entry.appId = id;
        entry.name = id;
        entry.names =
            ProgramNames::applicationNames(desktopId.isEmpty() ? QStringList() : QStringList{desktopId},
                                           {windowClass, instance}, pid, ownPid);
        return entry;
    }

    // Takes in the windows as listed now: forgets those gone and updates
    // the others; adopt takes each new one. A window that is gone, or no
    // longer put away (someone else brought it back), leaves hiddenByUs.
    // Returns whether it did.
    template<typename Hidden, typename PutAway, typename Adopt>
    bool absorb(const QList<Window> &listed, Hidden &hiddenByUs, PutAway putAway, Adopt adopt)
    {
        bool changed = false;
        QSet<Id> present;
        for (const Window &window : listed)
            present.insert(window.id);
        for (const Id &id : keepOnly(present))
            changed = hiddenByUs.remove(id) || changed;
        for (const Window &window : listed) {
            Entry *entry = find(window.id);
            if (!entry) {
                adopt(window);
                continue;
            }
            entry->window = window;
            if (!putAway(window))
                changed = hiddenByUs.remove(window.id) || changed;
        }
        return changed;
    }

    const QList<Id> &order() const { return m_order; }
    // The application keys, in the order their first window was seen.
    const QStringList &applications() const { return m_appOrder; }

    bool contains(const Id &id) const { return m_entries.contains(id); }
    Entry *find(const Id &id)
    {
        const auto it = m_entries.find(id);
        return it == m_entries.end() ? nullptr : &*it;
    }
    const Entry *find(const Id &id) const
    {
        const auto it = m_entries.constFind(id);
        return it == m_entries.cend() ? nullptr : &*it;
    }

    void add(const Id &id, Entry entry)
    {
        if (!m_appOrder.contains(entry.appKey))
            m_appOrder.append(entry.appKey);
        if (!m_entries.contains(id))
            m_order.append(id);
        m_entries.insert(id, std::move(entry));
    }

    // Forgets the windows that are not present; returns those forgotten.
    QList<Id> keepOnly(const QSet<Id> &present)
    {
        QList<Id> gone;
        for (qsizetype i = m_order.size() - 1; i >= 0; --i) {
            const Id id = m_order.at(i);
            if (present.contains(id))
                continue;
            m_entries.remove(id);
            m_order.removeAt(i);
            gone.append(id);
        }
        return gone;
    }

    void clear()
    {
        m_order.clear();
        m_entries.clear();
        m_appOrder.clear();
    }

    // Forgets applications that have no window left, here and in keys.
    void pruneApplications(QSet<QString> &keys)
    {
        QSet<QString> present;
        for (const auto &entry : std::as_const(m_entries))
            present.insert(entry.appKey);
        m_appOrder.removeIf([&](const QString &key) { return !present.contains(key); });
        for (auto it = keys.begin(); it != keys.end();)
            it = present.contains(*it) ? std::next(it) : keys.erase(it);
    }

    // Known, and a window of the process pid.
    bool isOfProcess(const Id &id, qint32 pid) const
    {
        const Entry *entry = find(id);
        return entry && entry->pid == pid;
    }

    // The application has windows and each is put away (minimised, in the
    // scratchpad: whatever putAway says of the window).
    template<typename PutAway> bool isPutAway(const QString &appKey, PutAway putAway) const
    {
        const QList<Id> ids = windowsOf(appKey);
        return !ids.isEmpty() && std::all_of(ids.cbegin(), ids.cend(), [&](const Id &id) {
            return putAway(m_entries.constFind(id)->window);
        });
    }

    QList<Id> windowsOf(const QString &appKey) const
    {
        QList<Id> out;
        for (const Id &id : m_order)
            if (m_entries.constFind(id)->appKey == appKey)
                out.append(id);
        return out;
    }

    // The application as its windows describe it: the first id and name
    // they state, and every name of each.
    RunningApplication handleFor(const QString &appKey) const
    {
        std::optional<QString> appId;
        std::optional<qint32> pid;
        QString name; // its desktop-entry id, else its class; what the hidden-windows record keeps
        QStringList names;
        for (const Id &id : m_order) {
            const Entry &entry = *m_entries.constFind(id);
            if (entry.appKey != appKey)
                continue;
            pid = entry.pid;
            if (name.isEmpty())
                name = entry.name;
            if (!appId)
                appId = entry.appId;
            names << entry.names;
        }
        names.removeDuplicates();
        return RunningApplication(appKey, appId, pid, name, names);
    }

    // The windows of the application that a hide would put away now: not
    // of the process ownPid, not put away already.
    template<typename PutAway>
    QList<Id> toPutAway(const QString &appKey, qint32 ownPid, PutAway putAway) const
    {
        QList<Id> out;
        for (const Id &id : windowsOf(appKey)) {
            const Entry &entry = *m_entries.constFind(id);
            if (entry.pid != ownPid && !putAway(entry.window))
                out.append(id);
        }
        return out;
    }

    // A hidden-windows record (Workspace::hiddenWindowsRecord) of this kind:
    // the windows hidden here, and those a hide of the planned applications
    // would put away now; each with its id (idText), application and
    // process. Empty when it names none.
    template<typename Hidden, typename PutAway, typename IdText>
    QJsonObject record(const char *kind, const Hidden &hiddenByUs, const QSet<QString> &planned,
                       qint32 ownPid, PutAway putAway, IdText idText) const
    {
        QJsonArray entries;
        for (const Id &id : m_order) {
            const Entry &info = *m_entries.constFind(id);
            if (!hiddenByUs.contains(id) &&
                !(planned.contains(info.appKey) && info.pid != ownPid && !putAway(info.window)))
                continue;
            QJsonObject entry{{QStringLiteral("id"), idText(id)}, {QStringLiteral("app"), info.name}};
            if (info.pid)
                entry.insert(QStringLiteral("pid"), *info.pid);
            entries.append(entry);
        }
        if (entries.isEmpty())
            return {};
        return {{QStringLiteral("compositor"), QLatin1String(kind)}, {QStringLiteral("windows"), entries}};
    }

    // The windows a record names that are still put away here: only the very
    // windows, of the recorded process and application, never of the
    // process ownPid. parseId reads a recorded id (nothing when it is none).
    template<typename PutAway, typename ParseId>
    QList<Id> restorable(const QJsonObject &record, qint32 ownPid, PutAway putAway, ParseId parseId) const
    {
        QList<Id> out;
        const auto entries = record.value(QStringLiteral("windows")).toArray();
        for (const auto &value : entries) {
            const QJsonObject entry = value.toObject();
            if (!HiddenWindowsRecord::namesProcessAndApplication(entry, QStringLiteral("app")))
                continue;
            const std::optional<Id> id = parseId(entry.value(QStringLiteral("id")).toString());
            const Entry *info = id ? find(*id) : nullptr;
            if (!info || !putAway(info->window) || info->pid == ownPid)
                continue;
            if (info->pid != entry.value(QStringLiteral("pid")).toInt())
                continue;
            if (info->name != entry.value(QStringLiteral("app")).toString())
                continue;
            if (!out.contains(*id))
                out.append(*id);
        }
        return out;
    }

    // Every application, as its windows describe it.
    QList<RunningApplication> handles() const
    {
        QList<RunningApplication> out;
        for (const QString &key : m_appOrder)
            out.append(handleFor(key));
        return out;
    }

private:
    QList<Id> m_order;
    QHash<Id, Entry> m_entries;
    QStringList m_appOrder;
};

// SPDX-License-Identifier: MIT
#pragma once

#include "Workspace.h"

#include <QHash>
#include <QSet>
#include <QStringList>

#include <functional>

// A workspace's launches and terminations: the applications present now
// (by their keys) against those it announced last.
class ApplicationAnnouncer
{
public:
    using HandleFor = std::function<RunningApplication(const QString &key)>;

    // What is there counts as announced already (what a workspace finds
    // when it opens is no launch).
    void adopt(const QStringList &present, const HandleFor &handleFor)
    {
        m_announced.clear();
        for (const auto &key : present)
            m_announced.insert(key, handleFor(key));
    }

    // Nothing counts as announced (a workspace at rest remembers nothing).
    void clear() { m_announced.clear(); }

    // Emits on the workspace, in this order: availableChanged, the
    // terminations, the launches (in the order of present), hiddenWindowsChanged.
    void announce(Workspace *workspace, const QStringList &present, const HandleFor &handleFor,
                  bool availabilityChanged, bool hiddenChanged)
    {
        const QSet<QString> now(present.cbegin(), present.cend());
        QList<RunningApplication> launched;
        QList<RunningApplication> terminated;
        for (auto it = m_announced.begin(); it != m_announced.end();) {
            if (now.contains(it.key())) {
                ++it;
            } else {
                terminated.append(it.value());
                it = m_announced.erase(it);
            }
        }
        for (const auto &key : present) {
            if (!m_announced.contains(key)) {
                const auto app = handleFor(key);
                m_announced.insert(key, app);
                launched.append(app);
            }
        }
        if (availabilityChanged)
            Q_EMIT workspace->availableChanged();
        for (const auto &app : std::as_const(terminated))
            Q_EMIT workspace->applicationTerminated(app);
        for (const auto &app : std::as_const(launched))
            Q_EMIT workspace->applicationLaunched(app);
        if (hiddenChanged)
            Q_EMIT workspace->hiddenWindowsChanged();
    }

private:
    QHash<QString, RunningApplication> m_announced;
};

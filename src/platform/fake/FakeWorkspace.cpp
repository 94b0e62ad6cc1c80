// SPDX-License-Identifier: MIT
#include "FakeWorkspace.h"

#include <QJsonArray>

RunningApplication FakeWorkspace::makeApplication(std::optional<QString> appId, std::optional<qint32> pid,
                                                  const QStringList &names)
{
    const auto identity =
        pid ? QStringLiteral("pid:%1").arg(*pid) : QStringLiteral("app:%1").arg(m_nextAnonymous++);
    const QString name = appId.value_or(identity);
    return RunningApplication(identity, std::move(appId), pid, name, names);
}

RunningApplication FakeWorkspace::addApplication(std::optional<QString> appId, std::optional<qint32> pid,
                                                 bool hidden, const QStringList &names)
{
    const auto app = makeApplication(std::move(appId), pid, names);
    m_apps.append({app, hidden});
    return app;
}

void FakeWorkspace::launch(const RunningApplication &app)
{
    if (!contains(app))
        m_apps.append({app, false});
    Q_EMIT applicationLaunched(app);
}

void FakeWorkspace::terminate(const RunningApplication &app)
{
    const int index = indexOf(app);
    if (index >= 0)
        m_apps.removeAt(index);
    if (m_hiddenByThisProgram.remove(app.identity()))
        Q_EMIT hiddenWindowsChanged();
    Q_EMIT applicationTerminated(app);
}

void FakeWorkspace::setAvailable(bool available, const QString &reason)
{
    const bool changed = m_available != available;
    m_available = available;
    m_reason = reason;
    if (changed)
        Q_EMIT availableChanged();
}

void FakeWorkspace::setHiddenFlag(const RunningApplication &app, bool hidden, bool byThisProgram)
{
    const int index = indexOf(app);
    if (index < 0)
        return;
    m_apps[index].hidden = hidden;
    if (hidden && byThisProgram) {
        m_hiddenByThisProgram.insert(app.identity());
        Q_EMIT hiddenWindowsChanged();
    } else if (!hidden && m_hiddenByThisProgram.remove(app.identity())) {
        Q_EMIT hiddenWindowsChanged();
    }
}

bool FakeWorkspace::contains(const RunningApplication &app) const
{
    return indexOf(app) >= 0;
}

int FakeWorkspace::launchObserverCount() const
{
    return receivers(SIGNAL(applicationLaunched(RunningApplication)));
}

int FakeWorkspace::terminationObserverCount() const
{
    return receivers(SIGNAL(applicationTerminated(RunningApplication)));
}

QList<RunningApplication> FakeWorkspace::runningApplications()
{
    QList<RunningApplication> out;
    if (!m_available)
        return out;
    for (const auto &entry : std::as_const(m_apps))
        out.append(entry.app);
    return out;
}

bool FakeWorkspace::isHidden(const RunningApplication &app) const
{
    const int index = indexOf(app);
    return index >= 0 && m_apps[index].hidden;
}

bool FakeWorkspace::hide(const RunningApplication &app)
{
    m_calls.append(QStringLiteral("hide:") + app.identity());
    if (!contains(app) || app == m_current)
        return false;
    setHiddenFlag(app, true, true);
    return true;
}

bool FakeWorkspace::unhide(const RunningApplication &app)
{
    m_calls.append(QStringLiteral("unhide:") + app.identity());
    if (!contains(app))
        return false;
    setHiddenFlag(app, false);
    return true;
}

QJsonObject FakeWorkspace::hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const
{
    QStringList identities(m_hiddenByThisProgram.cbegin(), m_hiddenByThisProgram.cend());
    identities.sort();
    for (const auto &app : aboutToHide)
        if (contains(app) && app != m_current && !identities.contains(app.identity()))
            identities.append(app.identity());
    if (identities.isEmpty())
        return {};
    return {{QStringLiteral("hidden"), QJsonArray::fromStringList(identities)}};
}

int FakeWorkspace::restoreHiddenWindows(const QJsonObject &record)
{
    int restored = 0;
    const auto identities = record.value(QStringLiteral("hidden")).toArray();
    for (const auto &identity : identities) {
        for (const auto &entry : std::as_const(m_apps)) {
            if (entry.app.identity() == identity.toString() && entry.hidden) {
                unhide(entry.app);
                ++restored;
                break;
            }
        }
    }
    return restored;
}

int FakeWorkspace::indexOf(const RunningApplication &app) const
{
    for (int i = 0; i < m_apps.size(); ++i)
        if (m_apps[i].app == app)
            return i;
    return -1;
}

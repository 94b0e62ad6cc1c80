// SPDX-License-Identifier: MIT
#include "AppLockManager.h"

#include "Accessibility.h"
#include "AppIdentity.h"
#include "Logging.h"
#include "Workspace.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include <algorithm>
#include <array>

std::span<const EnumRow<AppLockManager::LockMode>> EnumTraits<AppLockManager::LockMode>::rows()
{
    using Mode = AppLockManager::LockMode;
    static constexpr std::array<EnumRow<Mode>, 3> table{{
        {Mode::hideApps, "hideApps", QT_TRANSLATE_NOOP("Enums", "Hide Apps"), "eye.slash"},
        {Mode::preventLaunch, "preventLaunch", QT_TRANSLATE_NOOP("Enums", "Prevent Launch"), "lock"},
        {Mode::overlay, "overlay", QT_TRANSLATE_NOOP("Enums", "Overlay"), "rectangle.on.rectangle"},
    }};
    return table;
}

AppLockManager::LockMode AppLockManager::lockModeFromRaw(QStringView raw)
{
    return fromRaw<LockMode>(raw).value_or(LockMode::hideApps);
}

AppLockManager::LockMode AppLockManager::lockMode(::LockMode recordMode)
{
    return lockModeFromRaw(rawValue(recordMode));
}

AppLockManager::AppLockManager(Workspace *workspace, Accessibility *accessibility, QObject *parent)
    : QObject(parent), m_workspace(workspace), m_accessibility(accessibility),
      m_journalTimer(new QTimer(this))
{
    m_journalTimer->setSingleShot(true);
    m_journalTimer->setInterval(0);
    connect(m_journalTimer, &QTimer::timeout, this, &AppLockManager::writeJournal);
    if (m_workspace) {
        // The journal follows every change, also after the lock (windows on
        // their way back) and outside one (leftovers being shown).
        connect(m_workspace, &Workspace::hiddenWindowsChanged, this, &AppLockManager::scheduleJournalWrite);
        connect(
            m_workspace, &Workspace::availableChanged, this,
            [this] {
                if (m_journal.hasInherited() && m_workspace && m_workspace->isAvailable())
                    restoreLeftovers();
            },
            Qt::QueuedConnection);
        // A new window of a hidden application is named before it is hidden.
        m_workspace->setBeforeHiding([this] { return writeJournalNow(); });
        updateWatching();
    }
}

void AppLockManager::updateWatching()
{
    // The desktop is followed only while something here depends on its
    // changes: a lock that hides applications, or windows a dead run left
    // hidden that wait for a window manager to show them.
    if (m_workspace)
        m_workspace->setWatching((m_isActive && m_currentMode != LockMode::overlay) ||
                                 m_journal.hasInherited());
}

AppLockManager::~AppLockManager()
{
    if (m_workspace)
        m_workspace->setBeforeHiding({});
}

void AppLockManager::setJournalPath(const QString &path)
{
    m_journal.setPath(path);
    if (m_isActive)
        writeJournal();
}

void AppLockManager::finishRestoring(int timeoutMs)
{
    if (!m_workspace)
        return;
    const QDeadlineTimer deadline(timeoutMs);
    while (m_workspace && m_workspace->isRestoring() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    m_journalTimer->stop();
    writeJournal();
}

int AppLockManager::restoreLeftovers()
{
    if (!m_workspace)
        return 0;
    const int restored = m_journal.restoreLeftovers(*m_workspace);
    updateWatching();
    return restored;
}

void AppLockManager::startLock(LockMode mode, const QStringList &apps, ListKind kind)
{
    if (m_isActive || !m_workspace)
        return;

    if (m_currentMode != mode) {
        m_currentMode = mode;
        Q_EMIT currentModeChanged();
    }
    m_listKind = kind;
    m_listedAppIds = QSet<QString>(apps.cbegin(), apps.cend());
    m_listedNames = AppIdentity::normalizedSet(apps);
    m_hidingRefused = false;
    if (mode != LockMode::overlay)
        m_workspace->setWatching(true);
    reportIfNothingCanBeHidden(mode);

    switch (mode) {
    case LockMode::hideApps:
        hideNonAllowedApps();
        break;
    case LockMode::preventLaunch:
        hideNonAllowedApps();
        observeLaunches();
        break;
    case LockMode::overlay:
        break;
    }
    observeTerminations();

    m_isActive = true;
    updateWatching();
    Q_EMIT isActiveChanged();
}

void AppLockManager::stopLock()
{
    if (!m_isActive)
        return;

    restoreHiddenApps();
    stopObserving();

    // What is on its way back stays in the journal until it is shown.
    m_planned.clear();
    m_journalTimer->stop();
    writeJournal();

    m_isActive = false;
    m_listedAppIds.clear();
    m_listedNames.clear();
    m_hiddenApps.clear();
    updateWatching();
    Q_EMIT isActiveChanged();
}

void AppLockManager::hideNonAllowedApps()
{
    const auto apps = m_workspace->runningApplications();
    QList<RunningApplication> candidates;
    for (const auto &app : apps) {
        const auto appId = app.appId();
        if (!appId)
            continue;
        if (isAllowed(app))
            continue;
        if (isCurrentApplication(app))
            continue;
        if (m_workspace->isHidden(app))
            continue;
        candidates.append(app);
    }
    if (candidates.isEmpty() || !planHiding(candidates))
        return;
    bool changed = false;
    for (const auto &app : std::as_const(candidates)) {
        if (hideApp(app)) {
            m_hiddenApps.append(app);
            changed = true;
        }
    }
    if (changed)
        Q_EMIT hiddenAppsChanged();
}

bool AppLockManager::hideApp(const RunningApplication &app)
{
    const bool hidden = m_accessibility->setHidden(app, true) == AccessibilityError::success;
    if (!hidden) {
        // The plain hide runs later, after the caller has finished.
        QMetaObject::invokeMethod(
            m_workspace, [workspace = m_workspace, app] { workspace->hide(app); }, Qt::QueuedConnection);
    }
    return hidden;
}

void AppLockManager::observeLaunches()
{
    // Queued: a launch is handled after the workspace's signal has returned,
    // and not at all once this manager is gone.
    m_launchObserver = connect(
        m_workspace, &Workspace::applicationLaunched, this,
        [this](const RunningApplication &app) {
            std::optional<RunningApplication> handle;
            std::optional<QString> appId;
            std::optional<qint32> pid;
            if (app.isValid()) {
                handle = app;
                appId = app.appId();
                pid = app.processIdentifier();
            }
            handleAppLaunch(handle, appId, pid);
        },
        Qt::QueuedConnection);
}

void AppLockManager::observeTerminations()
{
    m_terminationObserver = connect(
        m_workspace, &Workspace::applicationTerminated, this,
        [this](const RunningApplication &app) {
            handleAppTermination(app.isValid() ? app.processIdentifier() : std::nullopt);
        },
        Qt::QueuedConnection);
}

void AppLockManager::handleAppLaunch(const std::optional<RunningApplication> &app,
                                     const std::optional<QString> &appId, std::optional<qint32> pid)
{
    if (!app || !appId || !pid)
        return;
    if (isAllowed(*app))
        return;
    if (isCurrentApplication(*app))
        return;
    if (!planHiding({*app}))
        return;

    hideApp(*app);
    if (!containsPid(*pid)) {
        m_hiddenApps.append(*app);
        Q_EMIT hiddenAppsChanged();
    }
}

void AppLockManager::handleAppTermination(std::optional<qint32> pid)
{
    if (!pid)
        return;
    const auto removed =
        m_hiddenApps.removeIf([&](const RunningApplication &app) { return app.processIdentifier() == pid; });
    if (removed > 0)
        Q_EMIT hiddenAppsChanged();
}

void AppLockManager::restoreHiddenApps()
{
    for (const auto &app : std::as_const(m_hiddenApps)) {
        m_accessibility->setHidden(app, false);
        if (m_workspace && m_workspace->isHidden(app)) {
            QMetaObject::invokeMethod(
                m_workspace, [workspace = m_workspace, app] { workspace->unhide(app); },
                Qt::QueuedConnection);
        }
    }
    if (!m_hiddenApps.isEmpty()) {
        m_hiddenApps.clear();
        Q_EMIT hiddenAppsChanged();
    }
}

void AppLockManager::stopObserving()
{
    if (m_launchObserver) {
        disconnect(*m_launchObserver);
        m_launchObserver.reset();
    }
    if (m_terminationObserver) {
        disconnect(*m_terminationObserver);
        m_terminationObserver.reset();
    }
}

bool AppLockManager::isCurrentApplication(const RunningApplication &app) const
{
    return app == m_workspace->currentApplication();
}

bool AppLockManager::isAllowed(const RunningApplication &app) const
{
    // A block list names what goes; an allow list what stays.
    const bool listed = AppIdentity::matchesAny(app, m_listedNames);
    return m_listKind == ListKind::allowed ? listed : !listed;
}

bool AppLockManager::containsPid(qint32 pid) const
{
    return std::any_of(m_hiddenApps.cbegin(), m_hiddenApps.cend(),
                       [pid](const RunningApplication &app) { return app.processIdentifier() == pid; });
}

void AppLockManager::reportIfNothingCanBeHidden(LockMode mode)
{
    if (mode == LockMode::overlay || m_reportedUnavailable || m_workspace->isAvailable())
        return;
    m_reportedUnavailable = true;
    const QString line = tr("Lumora: Other applications cannot be hidden here (%1); "
                            "the focus overlay still covers the screens")
                             .arg(m_workspace->unavailableReason());
    qCInfo(lcSession).noquote() << line;
    Q_EMIT hidingUnavailable(m_workspace->unavailableReason());
}

void AppLockManager::scheduleJournalWrite()
{
    m_journalTimer->start();
}

void AppLockManager::writeJournal()
{
    QString error;
    if (writeJournalNow(&error) || m_reportedJournalError)
        return;
    m_reportedJournalError = true;
    qCWarning(lcSession).noquote() << tr("Lumora: Could not update the lock journal: %1").arg(error);
}

bool AppLockManager::writeJournalNow(QString *error)
{
    if (m_journal.path().isEmpty() || !m_workspace)
        return true;
    const QJsonObject record = m_workspace->hiddenWindowsRecord(m_planned);
    if (!m_journal.write(record, error))
        return false;
    m_reportedJournalError = false;
    Q_EMIT journalWritten(record);
    return true;
}

bool AppLockManager::planHiding(const QList<RunningApplication> &apps)
{
    if (m_hidingRefused)
        return false;
    const auto before = m_planned.size();
    for (const auto &app : apps)
        if (!m_planned.contains(app))
            m_planned.append(app);
    QString error;
    if (writeJournalNow(&error))
        return true;
    m_planned.resize(before);
    refuseHiding(error);
    return false;
}

void AppLockManager::refuseHiding(const QString &error)
{
    m_hidingRefused = true;
    const auto reason = tr("Other applications are not hidden because the lock journal %1 "
                           "could not be written (%2); the focus overlay still covers the screens.")
                            .arg(m_journal.path(), error);
    qCWarning(lcSession).noquote() << QStringLiteral("Lumora: ") + reason;
    Q_EMIT hidingRefused(reason);
}

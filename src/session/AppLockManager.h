// SPDX-License-Identifier: MIT
#pragma once

#include "EnumTable.h"
#include "Enums.h"
#include "LockJournal.h"
#include "RunningApplication.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

class Accessibility;
class QTimer;
class Workspace;

// Keeps other applications out of the way while a focus session runs: hides
// them at the start (and, in preventLaunch, whenever one is launched) and
// shows again at the end exactly those it hid. It never terminates or
// activates an application. Main thread only.
//
// Crash safety: with a journal path set, whatever is about to be hidden is
// written to that file, durably, before it is hidden, and the file follows
// every later change; it goes away once everything is shown again. When the
// file cannot be written nothing is hidden (the overlay still covers the
// screens) and hidingRefused() says why. A run that dies during a lock leaves
// the file behind; restoreLeftovers() at the next start shows those windows
// again, and again when a window manager appears later.
//
// The workspace is watched (Workspace::setWatching) only during a lock that
// hides applications and while leftovers wait for a window manager: at rest
// the desktop's changes cost this program nothing.
class AppLockManager : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isActive READ isActive NOTIFY isActiveChanged)
    Q_PROPERTY(LockMode currentMode READ currentMode NOTIFY currentModeChanged)
public:
    // The manager's own copy of the lock modes (same cases and raw strings
    // as the record enumeration).
    enum class LockMode { hideApps, preventLaunch, overlay };
    Q_ENUM(LockMode)

    // Conversions by raw string; anything that matches no case is hideApps.
    static LockMode lockModeFromRaw(QStringView raw);
    static LockMode lockMode(::LockMode recordMode);

    // What the list given to startLock names: the applications that stay
    // (everything else is hidden) or the ones hidden (everything else stays).
    enum class ListKind { allowed, blocked };
    Q_ENUM(ListKind)

    // Both services must outlive the manager.
    AppLockManager(Workspace *workspace, Accessibility *accessibility, QObject *parent = nullptr);
    ~AppLockManager() override;

    bool isActive() const { return m_isActive; }
    LockMode currentMode() const { return m_currentMode; }
    // The allow list as given; an entry allows every application it names
    // (AppIdentity: any of its names, regardless of case or ".desktop").
    QSet<QString> allowedAppIds() const
    {
        return m_listKind == ListKind::allowed ? m_listedAppIds : QSet<QString>();
    }
    // The block list as given (a lock started with ListKind::blocked).
    QSet<QString> blockedAppIds() const
    {
        return m_listKind == ListKind::blocked ? m_listedAppIds : QSet<QString>();
    }
    ListKind listKind() const { return m_listKind; }
    QList<RunningApplication> hiddenApps() const { return m_hiddenApps; }
    bool isObservingLaunches() const { return m_launchObserver.has_value(); }
    bool isObservingTerminations() const { return m_terminationObserver.has_value(); }

    // Where the crash journal goes; empty (the default) writes none. The shell
    // passes LockJournal::pathForStore(<store path>).
    QString journalPath() const { return m_journal.path(); }
    void setJournalPath(const QString &path);

    // Hides, as `mode` says, every application but those `apps` names
    // (ListKind::allowed), or exactly those it names (ListKind::blocked).
    void startLock(LockMode mode, const QStringList &apps, ListKind kind = ListKind::allowed);
    void stopLock();

    // Shows again what a run that died left hidden (see LockJournal); the
    // records that cannot be shown yet are kept and retried as soon as the
    // workspace becomes available. Returns how many windows were shown.
    int restoreLeftovers();

    // The program is about to exit: waits (up to timeoutMs, handling events)
    // until the windows on their way back are shown, then brings the journal
    // up to date, so that a clean exit leaves no journal behind.
    void finishRestoring(int timeoutMs);

Q_SIGNALS:
    void isActiveChanged();
    void currentModeChanged();
    void hiddenAppsChanged();
    // The journal is on disk with this record.
    void journalWritten(const QJsonObject &record);
    // Nothing more is hidden in this lock because the journal cannot be
    // written; reason is a readable sentence. Once per lock.
    void hidingRefused(const QString &reason);
    // This desktop does not let other applications be hidden (reason: a
    // short phrase such as "Wayland session"); said once per run, at the
    // first lock that would hide something.
    void hidingUnavailable(const QString &reason);

private:
    void hideNonAllowedApps();
    bool hideApp(const RunningApplication &app);
    void observeLaunches();
    void observeTerminations();
    void handleAppLaunch(const std::optional<RunningApplication> &app, const std::optional<QString> &appId,
                         std::optional<qint32> pid);
    void handleAppTermination(std::optional<qint32> pid);
    void restoreHiddenApps();
    void stopObserving();

    bool isCurrentApplication(const RunningApplication &app) const;
    bool isAllowed(const RunningApplication &app) const;
    bool containsPid(qint32 pid) const;
    void reportIfNothingCanBeHidden(LockMode mode);
    // Asks the workspace to follow the desktop only while it matters.
    void updateWatching();
    void scheduleJournalWrite();
    void writeJournal();
    // Writes the journal with what is hidden and what is about to be;
    // false when it could not be written.
    bool writeJournalNow(QString *error = nullptr);
    // Adds the applications to those about to be hidden and makes that
    // durable; on failure they are dropped again and the lock hides nothing more.
    bool planHiding(const QList<RunningApplication> &apps);
    void refuseHiding(const QString &error);

    QPointer<Workspace> m_workspace;
    Accessibility *m_accessibility;

    bool m_isActive = false;
    LockMode m_currentMode = LockMode::hideApps;
    ListKind m_listKind = ListKind::allowed;
    QSet<QString> m_listedAppIds;
    QSet<QString> m_listedNames; // the list in AppIdentity's compared form
    QList<RunningApplication> m_hiddenApps;
    std::optional<QMetaObject::Connection> m_launchObserver;
    std::optional<QMetaObject::Connection> m_terminationObserver;

    LockJournal m_journal;
    // Every application this lock has hidden or set out to hide.
    QList<RunningApplication> m_planned;
    QTimer *m_journalTimer;
    bool m_reportedUnavailable = false;
    bool m_hidingRefused = false;
    bool m_reportedJournalError = false;
};

template<> struct EnumTraits<AppLockManager::LockMode>
{
    static std::span<const EnumRow<AppLockManager::LockMode>> rows();
};

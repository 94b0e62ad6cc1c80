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
// Crash safety: with a journal path set, the windows hidden during a lock
// are also written to that file, which is removed at stopLock. A run that
// dies during a lock leaves the file behind; LockJournal::restoreLeftovers()
// at the next start shows those windows again.
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

    // Both services must outlive the manager.
    AppLockManager(Workspace *workspace, Accessibility *accessibility, QObject *parent = nullptr);

    bool isActive() const { return m_isActive; }
    LockMode currentMode() const { return m_currentMode; }
    // The allow list as given; an entry allows every application it names
    // (AppIdentity: any of its names, regardless of case or ".desktop").
    QSet<QString> allowedBundleIDs() const { return m_allowedBundleIDs; }
    QList<RunningApplication> hiddenApps() const { return m_hiddenApps; }
    bool isObservingLaunches() const { return m_launchObserver.has_value(); }
    bool isObservingTerminations() const { return m_terminationObserver.has_value(); }

    // Where the crash journal goes; empty (the default) writes none. The shell
    // passes LockJournal::pathForStore(<store path>).
    QString journalPath() const { return m_journal.path(); }
    void setJournalPath(const QString &path);

    void startLock(LockMode mode, const QStringList &allowedApps);
    void stopLock();

Q_SIGNALS:
    void isActiveChanged();
    void currentModeChanged();
    void hiddenAppsChanged();

private:
    void hideNonAllowedApps();
    bool hideApp(const RunningApplication &app);
    void observeLaunches();
    void observeTerminations();
    void handleAppLaunch(const std::optional<RunningApplication> &app, const std::optional<QString> &bundleID,
                         std::optional<qint32> pid);
    void handleAppTermination(std::optional<qint32> pid);
    void restoreHiddenApps();
    void stopObserving();

    bool isCurrentApplication(const RunningApplication &app) const;
    bool isAllowed(const RunningApplication &app) const;
    bool containsPid(qint32 pid) const;
    void reportIfNothingCanBeHidden(LockMode mode);
    void scheduleJournalWrite();
    void writeJournal();

    QPointer<Workspace> m_workspace;
    Accessibility *m_accessibility;

    bool m_isActive = false;
    LockMode m_currentMode = LockMode::hideApps;
    QSet<QString> m_allowedBundleIDs;
    QSet<QString> m_allowedNames; // the allow list in AppIdentity's compared form
    QList<RunningApplication> m_hiddenApps;
    std::optional<QMetaObject::Connection> m_launchObserver;
    std::optional<QMetaObject::Connection> m_terminationObserver;

    LockJournal m_journal;
    QMetaObject::Connection m_journalObserver;
    QTimer *m_journalTimer;
    bool m_reportedUnavailable = false;
};

template<> struct EnumTraits<AppLockManager::LockMode>
{
    static std::span<const EnumRow<AppLockManager::LockMode>> rows();
};

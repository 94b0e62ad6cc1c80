// SPDX-License-Identifier: MIT
#pragma once

#include "CommandLine.h"
#include "RemoteControl.h"

#include <QDateTime>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

// One running Lumora per store, whatever the session bus: the instance that
// holds the lock file beside the store ("<store>.lock") is the one. A lock
// counts as held while a process keeps its file locked (flock); where the
// file system cannot tell, while it names a live Lumora of this machine and
// boot. Any other lock (empty, unreadable, a folder, left by a process that
// is gone or was never Lumora, written on another machine or before the last
// boot) is taken over: moved aside to "<lock>.stale", with a line on
// standard error that says so. The holder also serves
// the desktop's remote control (on Linux a name and interface on the session
// bus); later instances hand their request to it and exit, and one that
// cannot reach it says so and exits with an error, touching neither the
// store nor the lock journal.
class SingleInstance
{
public:
    // remote: the remote control made for serviceName().
    explicit SingleInstance(std::unique_ptr<RemoteControl> remote);

    // The bus name: fixed for the real store, and one per store file for
    // development runs (APP_STORE), so they never talk to the user's Lumora.
    static QString serviceName();

    // "<store path>.lock".
    static QString lockPath();

    enum class Role { primary, secondary, alone };
    // Takes the store's lock and then the bus name. primary: this process is
    // the one and serves requests; alone: the one, but with no session bus;
    // secondary: another instance holds the lock. With takeOver false (a
    // query) nothing is taken, not even for a moment: the lock file is only
    // read, and without a live holder the answer is alone (the lock of a run
    // that died is left for the next real start, which reads from it when
    // that run was last alive).
    Role claim(bool takeOver = true);
    // The process holding the lock when claim() said secondary.
    qint64 holderPid() const { return m_holderPid; }
    // After claim() took the lock: the last moment a run was known to be
    // alive with a session running (the alive mark's modification time;
    // without a mark, as earlier versions kept it, the modification time of
    // a lock a run that died left behind). Nothing when neither is there.
    std::optional<QDateTime> lastAliveOfDeadRun() const { return m_lastAlive; }
    // "<store path>.alive": an empty file whose modification time a run
    // holding the lock moves on while a session runs.
    static QString alivePath();
    // Marks this run as alive now with a session running: the alive mark's
    // modification time (no data is written, nothing is synced).
    void touch();

    // Sends the command line's request (or "open the main window" when it
    // has none) to the instance holding the lock (holderPid(), for messages).
    // Returns the process exit status and prints a readable error on failure.
    int forward(const CommandLine &command);

    // Where the requests of later starts arrive while this one serves.
    RemoteControl &remote() const { return *m_remote; }

private:
    Role look(const QString &path);
    enum class TakeOver { done, busy, failed };
    // Moves a lock nobody holds out of the way: busy when another start is
    // at it at the same moment, failed when it cannot be moved.
    TakeOver takeOver(const QString &path, const QString &why);

    std::unique_ptr<RemoteControl> m_remote;
    std::unique_ptr<QLockFile> m_lock;
    qint64 m_holderPid = 0;
    std::optional<QDateTime> m_lastAlive;
};

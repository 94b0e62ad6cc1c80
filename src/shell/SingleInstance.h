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
// holds the lock file beside the store ("<store>.lock") is the one; a lock
// whose holder is gone (or a zombie) is taken over. The holder also serves
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
    // When claim() took over the lock of a run that died: the last moment
    // that run was known to be alive (its lock file's modification time).
    std::optional<QDateTime> lastAliveOfDeadRun() const { return m_lastAlive; }
    // Marks this run as alive now (the lock file's modification time).
    void touch();

    // Sends the command line's request (or "open the main window" when it
    // has none) to the instance holding the lock (holderPid(), for messages).
    // Returns the process exit status and prints a readable error on failure.
    int forward(const CommandLine &command);

    // Where the requests of later starts arrive while this one serves.
    RemoteControl &remote() const { return *m_remote; }

private:
    Role look(const QString &path);

    std::unique_ptr<RemoteControl> m_remote;
    std::unique_ptr<QLockFile> m_lock;
    qint64 m_holderPid = 0;
    std::optional<QDateTime> m_lastAlive;
};

#pragma once

#include "CommandLine.h"

#include <QDBusContext>
#include <QDateTime>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

// One running Lumora per store, whatever the session bus: the instance that
// holds the lock file beside the store ("<store>.lock") is the one; a lock
// whose holder is gone (or a zombie) is taken over. The holder also owns a
// name on the session bus and serves a small interface there; later
// instances hand their request to it and exit, and one that cannot reach it
// says so and exits with an error, touching neither the store nor the lock
// journal.
class SingleInstance : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.lumora.Lumora")
public:
    static constexpr const char *kInterface = "io.github.lumora.Lumora";
    static constexpr const char *kPath = "/io/github/lumora/Lumora";

    explicit SingleInstance(QObject *parent = nullptr);

    // The bus name: fixed for the real store, and one per store file for
    // development runs (APP_STORE), so they never talk to the user's Lumora.
    static QString serviceName();

    // "<store path>.lock".
    static QString lockPath();

    enum class Role { primary, secondary, alone };
    // Takes the store's lock and then the bus name. primary: this process is
    // the one and serves requests; alone: the one, but with no session bus;
    // secondary: another instance holds the lock. With takeOver false the
    // lock of a run that died is left for the next real start (which reads
    // from it when that run was last alive) and the answer is alone.
    Role claim(bool takeOver = true);
    // The process holding the lock when claim() said secondary.
    qint64 holderPid() const { return m_holderPid; }
    // When claim() took over the lock of a run that died: the last moment
    // that run was known to be alive (its lock file's modification time).
    std::optional<QDateTime> lastAliveOfDeadRun() const { return m_lastAlive; }
    // Marks this run as alive now (the lock file's modification time).
    void touch();

    // Sends the command line's request (or "open the main window" when it
    // has none) to the instance holding the lock (holderPid, for messages).
    // Returns the process exit status and prints a readable error on failure.
    static int forward(const CommandLine &command, qint64 holderPid = 0);

    // Called for StartFocusScreen; calls done once the session has started
    // (empty error) or was refused (the reason).
    using StartDone = std::function<void(const QString &error)>;
    std::function<void(const QString &name, StartDone done)> startHandler;
    // Called for Status: the tray's countdown ("" when idle) and tooltip.
    std::function<QStringList()> statusHandler;

public Q_SLOTS:
    void ShowPopover();
    void OpenMainWindow();
    void StartFocusScreen(const QString &name);
    // The tray item's title and tooltip, e.g. ["24:59", "Deep Work - 24:59 remaining"].
    QStringList Status();

Q_SIGNALS:
    void popoverRequested();
    void mainWindowRequested();

private:
    std::unique_ptr<QLockFile> m_lock;
    qint64 m_holderPid = 0;
    std::optional<QDateTime> m_lastAlive;
};

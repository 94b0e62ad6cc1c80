// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class DesktopProbe;
class ScratchStore;

// The real lumora program on a scratch store, as the user starts it, and
// the second processes that hand it requests (--start, --status, ...).
// Stopped when the object goes away.
class LumoraProcess
{
public:
    static constexpr const char *kOverlayTitle = "Lumora Focus";
    static constexpr const char *kConfirmationTitle = "Emergency Exit";
    static constexpr const char *kWindowClass = "Lumora";
    static constexpr int kSettleMs = 5000;

    struct Result
    {
        bool finished = false;
        int exitCode = -1;
        QString out;
        QString err;
    };

    // seed: APP_SEED=1, the sample screens on a store without any.
    explicit LumoraProcess(const ScratchStore &store, bool seed = false);
    ~LumoraProcess();
    LumoraProcess(const LumoraProcess &) = delete;
    LumoraProcess &operator=(const LumoraProcess &) = delete;

    // LUMORA_BIN, as CTest gives it.
    static QString program();
    QProcessEnvironment environment() const { return m_environment; }
    // For this process and its second ones. Before start().
    void setEnvironment(const QProcessEnvironment &environment);

    // Runs as the user does, without APP_STORE: the store must then be at
    // ScratchStore::kUserStorePath. Before start().
    void useUserStore();
    // Standard error goes to this file instead of the test's. Before start().
    void setStandardErrorFile(const QString &path);
    // Standard output and error both go to this file. Before start().
    void setOutputFile(const QString &path);

    bool start(const QStringList &arguments = {});
    // Started, and its icon is in the tray host.
    bool waitUntilReady(const DesktopProbe &probe, int timeoutMs = 15000) const;
    // Started, and answering `lumora --status` at rest: ready on any
    // desktop, tray or not.
    bool waitUntilIdle(int timeoutMs = 20000) const;
    qint64 pid() const { return m_process.processId(); }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    // SIGTERM, then SIGKILL when it does not end.
    void stop();
    // SIGKILL: no clean-up of any kind.
    void kill();

    // A second lumora with these arguments, on the same store and bus.
    Result run(const QStringList &arguments, int timeoutMs = 10000) const;
    // The same with an environment of the caller's (environment() changed).
    static Result run(const QProcessEnvironment &environment, const QStringList &arguments,
                      int timeoutMs = 10000);
    // What `lumora --status` prints, trimmed.
    QString status() const;
    // `lumora --start screen`; an error text, empty when it was started.
    QString startScreen(const QString &screen) const;

    // The overlay windows on screen now.
    static QList<quint64> shownOverlays(const DesktopProbe &probe);
    // Three quick presses of Esc on the overlay, as the user makes them,
    // until the confirmation shows; an error text, empty on success. When
    // another window has the keyboard the overlay is given it first.
    static QString openExitConfirmation(DesktopProbe &probe);
    // Answers the confirmation from the keyboard: Tab and the space bar press
    // "Cancel Focus Session", Esc "Keep Focusing" (also the default button).
    static QString answerExitConfirmation(DesktopProbe &probe, bool endSession);
    static QString exitSessionEarly(DesktopProbe &probe);

private:
    QProcessEnvironment m_environment;
    QProcess m_process;
};

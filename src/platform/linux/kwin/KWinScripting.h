// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>
#include <QString>

#include <memory>
#include <optional>

// Scripts run inside KWin through its scripting interface on the session bus
// (org.kde.KWin /Scripting: loadScript, start, unloadScript).
//
// A script cannot return a value, so it answers by calling back: every
// script is given reply(text), which calls an object this program exports
// on the session bus under its own unique name (a private path and
// interface). Answers are taken only from the process that owns
// org.kde.KWin, and only with the token of a script loaded here. They are
// received on a thread of their own, so that run() can wait for its answer
// while the main thread is blocked.
//
// Besides reply(text), a body can use windows() (the managed windows),
// onWindowAdded(f) and onWindowRemoved(f), which work on KWin 5.27 and 6.
class KWinScripting : public QObject
{
    Q_OBJECT
public:
    static constexpr const char *kService = "org.kde.KWin";
    // KWin answers at once; this is the limit for a busy machine.
    static constexpr int kAnswerTimeoutMs = 5000;

    explicit KWinScripting(QObject *parent = nullptr);
    ~KWinScripting() override;

    // Whether KWin is on the session bus.
    static bool isKWinRunning();

    // Runs the body once and waits for its first answer; nothing (with
    // error set to a short phrase) when KWin refused the script or did not
    // answer in time. The script is unloaded again either way.
    std::optional<QString> run(const QString &body, QString *error = nullptr,
                               int timeoutMs = kAnswerTimeoutMs);

    // Loads the body under name ("lumora-<name>" in KWin, replacing a script
    // of that name a run before left behind) and lets it run until stop():
    // its answers arrive as answered(name, text).
    bool start(const QString &name, const QString &body, QString *error = nullptr);
    void stop(const QString &name);
    bool isStarted(const QString &name) const;

Q_SIGNALS:
    void answered(const QString &name, const QString &text);
    // The process owning org.kde.KWin changed: KWin came, went or was
    // replaced (the scripts started here are gone with the old one).
    void kwinChanged();

private:
    struct Private;
    std::unique_ptr<Private> d;
};

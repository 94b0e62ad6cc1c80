// SPDX-License-Identifier: MIT
#pragma once

#include "NativeMessaging.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

class QSocketNotifier;
class RemoteControl;

// Lumora as a browser's native-messaging host: the browser extension
// connects (the browser starts this program with its pipes on standard
// input and output) and is told the running Lumora's website session, now
// and on every change, as JSON messages:
//   {"type": "session", "screen": "Deep Work", "end": <ms since the epoch>,
//    "domains": ["github.com"]}
//   the same with "blocked": true   the domains are refused, every other allowed
//   {"type": "none"}    no session keeps the browser (also: no Lumora, no bus)
// The extension may say {"type": "hello", "browser": "Chromium 120"} once,
// and is answered with the session. Bad messages are told on standard error
// and skipped; the host ends when the browser closes the pipe. The browsers
// find it through the manifests of BrowserManifests.
class BrowserHost : public QObject
{
    Q_OBJECT
public:
    // Starts the host by hand (for trying it out).
    static constexpr const char *kOption = "--native-messaging-host";

    // The browser that started this program as its host, judged by the
    // arguments: Chromium passes the extension's origin
    // ("chrome-extension://<id>/"), Firefox the host manifest's path and the
    // extension's id. Nothing when this is an ordinary start.
    static std::optional<QString> browserFromArguments(const QStringList &arguments);

    // Runs the host to the end and returns the exit status.
    static int run(int argc, char **argv, const QString &browser);

    // Reads from `input`, writes to `output`; `remote` is followed.
    BrowserHost(RemoteControl &remote, QString browser, int input, int output, QObject *parent = nullptr);

    void start();

Q_SIGNALS:
    // The browser closed the pipe (or it broke): the host is done.
    void finished();

private:
    void readInput();
    void handle(const QJsonObject &message);
    void sendSession();
    void send(const QJsonObject &message);
    void report(const QString &error);
    void finish();

    RemoteControl &m_remote;
    QString m_browser;
    int m_input;
    int m_output;
    QSocketNotifier *m_notifier = nullptr;
    NativeMessaging::Reader m_reader;
    bool m_greeted = false;
    bool m_finished = false;
};

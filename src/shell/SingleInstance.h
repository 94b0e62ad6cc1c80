#pragma once

#include "CommandLine.h"

#include <QDBusContext>
#include <QObject>
#include <QString>

#include <functional>

// One running Lumora per store: the first instance owns a name on the session
// bus and serves a small interface; later ones hand their request to it and
// exit. Without a session bus every instance runs on its own.
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

    enum class Role { primary, secondary, alone };
    // Tries to own the name. primary: this process serves requests;
    // secondary: another instance does; alone: there is no session bus.
    Role claim();

    // Sends the command line's request (or "open the main window" when it
    // has none) to the primary instance. Returns the process exit status and
    // prints a readable error on failure.
    static int forward(const CommandLine &command);

    // Called for StartFocusScreen; returns an error text, empty on success.
    std::function<QString(const QString &name)> startHandler;
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
};

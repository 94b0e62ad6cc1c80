#pragma once

#include "RemoteControl.h"

#include <QDBusContext>

// The remote control on the session bus: the running instance owns the name
// and serves the object below; later starts call it.
class DBusRemoteControl : public RemoteControl, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "io.github.lumora.Lumora")
public:
    static constexpr const char *kInterface = "io.github.lumora.Lumora";
    static constexpr const char *kPath = "/io/github/lumora/Lumora";

    explicit DBusRemoteControl(QString serviceName, QObject *parent = nullptr);

    bool serve() override;
    Reply send(Request request, const QString &argument = {}) override;

public Q_SLOTS:
    void ShowPopover();
    void OpenMainWindow();
    void StartFocusScreen(const QString &name);
    // The tray item's title and tooltip, e.g. ["24:59", "Deep Work - 24:59 remaining"].
    QStringList Status();

private:
    QString m_serviceName;
};

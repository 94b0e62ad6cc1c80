// SPDX-License-Identifier: MIT
#pragma once

#include "RemoteControl.h"

#include <QDBusContext>
#include <QPointer>
#include <QVariantMap>

class QDBusServiceWatcher;

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
    void setWebsiteSession(const std::optional<::WebsiteSession> &session) override;
    bool followWebsiteSession(const QString &browser) override;

    // The bus form of a website session: {"screen": s, "end": x (ms since
    // the epoch, UTC), "domains": as}; empty when there is none.
    static QVariantMap toMap(const std::optional<::WebsiteSession> &session);
    static std::optional<::WebsiteSession> fromMap(const QVariantMap &map);

    // Serving: the browsers' hosts whose leaving is being watched (each is
    // a match rule on this connection).
    qsizetype watchedFollowers() const;

public Q_SLOTS:
    void ShowPopover();
    void OpenMainWindow();
    void StartFocusScreen(const QString &name);
    // The tray item's title and tooltip, e.g. ["24:59", "Deep Work - 24:59 remaining"].
    QStringList Status();
    // Ends the running session early when it is not strict; screen: the
    // name of the screen whose session is meant (empty: whichever runs).
    void StopSession(const QString &screen);
    // Adds minutes to the running session.
    void ExtendSession(int minutes);
    // The running session's websites (see toMap).
    QVariantMap GetWebsiteSession();
    // A browser's native-messaging host follows the website session; it
    // counts as connected until it leaves the bus.
    void BrowserConnected(const QString &browser);

Q_SIGNALS:
    Q_SCRIPTABLE void WebsiteSessionChanged(const QVariantMap &session);

private:
    void askForWebsiteSession();
    void browserLeft(const QString &follower);

    QString m_serviceName;
    bool m_serving = false;
    // Serving: the hosts of connected browsers, watched until they leave.
    QDBusServiceWatcher *m_browserWatcher = nullptr;
    // The line about too many browsers was printed (until one leaves).
    bool m_toldFull = false;
    // Following: the served name and the browser this host speaks for.
    QPointer<QObject> m_follower;
    QString m_browser;
};

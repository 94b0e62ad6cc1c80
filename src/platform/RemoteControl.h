// SPDX-License-Identifier: MIT
#pragma once

#include "WebsiteSession.h"

#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// How later starts of the program reach the running one: the running
// instance serves a few requests under a name of its own on the desktop's
// message bus, and a later start sends its request there and exits.
class RemoteControl : public QObject
{
    Q_OBJECT
public:
    enum class Request { openMainWindow, showPopover, startFocusScreen, status, stopSession, extendSession };

    struct Reply
    {
        enum class Outcome {
            done,       // the running instance did what was asked
            refused,    // it answered with a reason (error)
            unreachable // nothing answered (error says why)
        };
        Outcome outcome = Outcome::unreachable;
        QString error;
        // For status: the tray's countdown ("" when idle) and its tooltip.
        QStringList status;
    };

    using QObject::QObject;

    // Takes the name and serves requests; false when there is no bus or the
    // name cannot be had (the program then runs alone).
    virtual bool serve() = 0;
    // Sends a request to the instance serving the name, waiting for its
    // answer. argument: the focus screen's name for a start; for a stop the
    // name of the screen whose session is to end (empty: whichever runs);
    // the minutes to add, as digits, for an extension.
    virtual Reply send(Request request, const QString &argument = {}) = 0;

    // Called for a start request; calls done once the session has started
    // (empty error) or was refused (the reason).
    using StartDone = std::function<void(const QString &error)>;
    std::function<void(const QString &name, StartDone done)> startHandler;
    // Called for a status request: the tray's title and tooltip.
    std::function<QStringList()> statusHandler;
    // Called for a stop request (the screen's name, or empty) and an
    // extension (the minutes): why not, empty when it was done.
    std::function<QString(const QString &screen)> stopHandler;
    std::function<QString(int minutes)> extendHandler;
    // Called for a popover request: why nothing opened, empty when it did.
    std::function<QString()> popoverHandler;

    // The serving instance: the websites its running session keeps the
    // browsers to, published to every browser that follows it; nothing when
    // no session restricts them.
    virtual void setWebsiteSession(const std::optional<WebsiteSession> &session);
    const std::optional<WebsiteSession> &websiteSession() const { return m_websiteSession; }
    // The serving instance: the browsers following it now, each name once.
    QStringList connectedBrowsers() const;

    // A browser's native-messaging host: follows the website session of the
    // instance serving the name (websiteSessionChanged on every change, and
    // nothing once that instance is gone), telling it which browser is
    // connected. False when there is no bus to follow it on.
    virtual bool followWebsiteSession(const QString &browser)
    {
        Q_UNUSED(browser);
        return false;
    }

Q_SIGNALS:
    void popoverRequested();
    void mainWindowRequested();
    void websiteSessionChanged();
    void connectedBrowsersChanged();

protected:
    // The followers, by their address on the bus.
    void setBrowserConnected(const QString &follower, const QString &browser);
    void setBrowserGone(const QString &follower);
    bool isFollower(const QString &follower) const { return m_browsers.contains(follower); }
    qsizetype followerCount() const { return m_browsers.size(); }

    std::optional<WebsiteSession> m_websiteSession;

private:
    QMap<QString, QString> m_browsers;
};

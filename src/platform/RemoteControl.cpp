// SPDX-License-Identifier: MIT
#include "RemoteControl.h"

void RemoteControl::setWebsiteSession(const std::optional<WebsiteSession> &session)
{
    if (m_websiteSession == session)
        return;
    m_websiteSession = session;
    Q_EMIT websiteSessionChanged();
}

QStringList RemoteControl::connectedBrowsers() const
{
    QStringList names = m_browsers.values();
    names.sort(Qt::CaseInsensitive);
    names.removeDuplicates();
    return names;
}

void RemoteControl::setBrowserConnected(const QString &follower, const QString &browser)
{
    if (m_browsers.value(follower) == browser && m_browsers.contains(follower))
        return;
    m_browsers.insert(follower, browser);
    Q_EMIT connectedBrowsersChanged();
}

void RemoteControl::setBrowserGone(const QString &follower)
{
    if (m_browsers.remove(follower) > 0)
        Q_EMIT connectedBrowsersChanged();
}

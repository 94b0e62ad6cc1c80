// SPDX-License-Identifier: MIT
#pragma once

#include "DesktopColorScheme.h"

#include <QDBusMessage>

class QDBusPendingCallWatcher;

// The colour-scheme preference of the XDG desktop portal's Settings
// interface on the session bus: read once without blocking the start, then
// followed through its SettingChanged signal. No bus, no portal or a value
// it does not know leave the preference at none.
class PortalColorScheme : public DesktopColorScheme
{
    Q_OBJECT
public:
    explicit PortalColorScheme(QObject *parent = nullptr);

    Preference preference() const override { return m_preference; }

    // The preference a color-scheme value stands for (0 none, 1 dark, 2 light).
    static Preference fromValue(const QVariant &value);

public Q_SLOTS:
    // The portal's SettingChanged(group, key, value) signal (the bus calls
    // only public slots).
    void settingChanged(const QDBusMessage &signal);

private:
    void readFinished(QDBusPendingCallWatcher *call);
    void setPreference(Preference preference);

    Preference m_preference = Preference::none;
    // A change signalled before the first read answered wins over that answer.
    bool m_changed = false;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

// Whether the desktop prefers light or dark windows, as it publishes it
// (freedesktop: the settings portal's org.freedesktop.appearance
// color-scheme), read at start and followed while the program runs.
class DesktopColorScheme : public QObject
{
    Q_OBJECT
public:
    enum class Preference {
        none, // the desktop says nothing (or nothing understood): its palette decides
        dark,
        light
    };

    using QObject::QObject;

    virtual Preference preference() const = 0;

Q_SIGNALS:
    void preferenceChanged();
};

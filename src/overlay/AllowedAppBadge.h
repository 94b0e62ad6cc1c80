// SPDX-License-Identifier: MIT
#pragma once

#include "RoundedPanel.h"

#include <QIcon>
#include <QString>

#include <optional>

class AppCatalogue;
class QLabel;
class IconView;

// The chip of one allowed application: its icon and name on a faint capsule.
// The application is looked up in the catalogue of installed applications by
// any name it goes by (desktop-entry id, window class, program; AppIdentity);
// without a catalogue, or for an unknown one, the badge shows the generic "app.fill" symbol and the last
// dot-separated part of what the list says.
class AllowedAppBadge : public RoundedPanel
{
    Q_OBJECT
public:
    // Longer names are cut: a badge is one of a row across the screen.
    static constexpr qsizetype kMaxNameChars = 60;

    AllowedAppBadge(const QString &appId, const AppCatalogue *catalogue, QWidget *parent = nullptr);

    const QString &appId() const { return m_appId; }
    QString name() const;
    // True when the application's own icon is shown (not the generic symbol).
    bool hasAppIcon() const { return m_hasAppIcon; }

    // The installed application's icon, or nothing.
    static std::optional<QIcon> appIcon(const QString &appId, const AppCatalogue *catalogue);
    // The installed application's name, else the id's last "."-separated part.
    static QString appName(const QString &appId, const AppCatalogue *catalogue);

private:
    QString m_appId;
    QLabel *m_name = nullptr;
    bool m_hasAppIcon = false;
};

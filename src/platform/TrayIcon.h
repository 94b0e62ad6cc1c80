// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QString>

// The program's item in the desktop's tray: an icon, a title and a tooltip,
// and clicks on it. Made by PlatformServices::makeTrayIcon() for the tray
// protocol the desktop speaks.
class TrayIcon : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    virtual void setIcon(const QIcon &icon) = 0;
    // A short text hosts show beside the icon or in their list of items
    // (where the protocol has one); empty stands for the program's name.
    virtual void setTitle(const QString &title) = 0;
    virtual void setToolTip(const QString &toolTip) = 0;
    // Shows the item from now on (hosts that start later show it too).
    virtual void show() = 0;
    virtual bool isVisible() const = 0;
    // Where the icon sits on screen; empty when the host does not say.
    virtual QRect geometry() const = 0;

Q_SIGNALS:
    // A click on the item: left, right or middle.
    void activated();
};

// SPDX-License-Identifier: MIT
#include "X11QtDisplay.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <xcb/xcb.h>

namespace X11QtDisplay {

void sendRequests()
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 && x11->connection())
        xcb_flush(x11->connection());
}

QByteArray name()
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display *display = x11 ? x11->display() : nullptr;
    return display ? QByteArray(DisplayString(display)) : QByteArray();
}

} // namespace X11QtDisplay

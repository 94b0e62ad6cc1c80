// SPDX-License-Identifier: MIT
#include "X11QtDisplay.h"

#include <QGuiApplication>

#include <xcb/xcb.h>

namespace X11QtDisplay {

void sendRequests()
{
    auto *x11 = qApp ? qApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (x11 && x11->connection())
        xcb_flush(x11->connection());
}

} // namespace X11QtDisplay

// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>

// Qt's own connection to the X server, when Qt runs on X11.
namespace X11QtDisplay {

// Sends what the program has asked of the X server so far (the requests
// waiting in the output buffer of Qt's connection) now; nothing when Qt
// does not run on X11.
void sendRequests();

// The display Qt's connection is to (as DISPLAY names it); empty when Qt
// does not run on X11.
QByteArray name();

} // namespace X11QtDisplay

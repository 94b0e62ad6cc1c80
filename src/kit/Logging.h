// SPDX-License-Identifier: MIT
#pragma once

#include <QLoggingCategory>

// The program's log, one category per library. Debug lines are off unless
// Qt's logging rules turn them on (QT_LOGGING_RULES="lumora.platform.x11.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcStore)       // lumora.store
Q_DECLARE_LOGGING_CATEGORY(lcSession)     // lumora.session
Q_DECLARE_LOGGING_CATEGORY(lcHotKey)      // lumora.hotkey
Q_DECLARE_LOGGING_CATEGORY(lcSettings)    // lumora.settings
Q_DECLARE_LOGGING_CATEGORY(lcShell)       // lumora.shell
Q_DECLARE_LOGGING_CATEGORY(lcPlatform)    // lumora.platform: what all backends share
Q_DECLARE_LOGGING_CATEGORY(lcX11)         // lumora.platform.x11
Q_DECLARE_LOGGING_CATEGORY(lcSway)        // lumora.platform.sway
Q_DECLARE_LOGGING_CATEGORY(lcFreedesktop) // lumora.platform.freedesktop: portal, D-Bus services

// Lumora's lines keep the plain form its users and scripts know, without a
// category or level in front: info lines are the log on standard output;
// debug lines, warnings and worse go to standard error (standard output may
// be a browser's pipe). Every line is made safe for a terminal first
// (TerminalText), so text a user typed can never move the cursor or reorder
// the line. Messages of other categories (Qt's own) go to the handler that
// was installed before.
namespace Logging {
// Installs handleMessage() as the program's message handler and returns the
// one it replaces, which then receives the messages of other categories.
QtMessageHandler installMessageHandler();
void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message);
} // namespace Logging

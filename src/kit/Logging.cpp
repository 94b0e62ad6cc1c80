// SPDX-License-Identifier: MIT
#include "Logging.h"

#include "TerminalText.h"

#include <atomic>
#include <cstdio>

Q_LOGGING_CATEGORY(lcStore, "lumora.store", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSession, "lumora.session", QtInfoMsg)
Q_LOGGING_CATEGORY(lcHotKey, "lumora.hotkey", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSettings, "lumora.settings", QtInfoMsg)
Q_LOGGING_CATEGORY(lcShell, "lumora.shell", QtInfoMsg)
Q_LOGGING_CATEGORY(lcPlatform, "lumora.platform", QtInfoMsg)
Q_LOGGING_CATEGORY(lcX11, "lumora.platform.x11", QtInfoMsg)
Q_LOGGING_CATEGORY(lcSway, "lumora.platform.sway", QtInfoMsg)
Q_LOGGING_CATEGORY(lcFreedesktop, "lumora.platform.freedesktop", QtInfoMsg)

namespace {

std::atomic<QtMessageHandler> g_otherCategories = nullptr;

bool isLumoraCategory(const char *category)
{
    return category && qstrncmp(category, "lumora.", 7) == 0;
}

} // namespace

namespace Logging {

QtMessageHandler installMessageHandler()
{
    const QtMessageHandler previous = qInstallMessageHandler(handleMessage);
    // Installing twice must not make the handler its own fallback.
    if (previous != handleMessage)
        g_otherCategories = previous;
    return previous;
}

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!isLumoraCategory(context.category)) {
        if (const QtMessageHandler other = g_otherCategories.load())
            other(type, context, message);
        else
            std::fputs(qUtf8Printable(message + QLatin1Char('\n')), stderr);
        return;
    }
    if (type == QtInfoMsg)
        TerminalText::printLine(message);
    else
        TerminalText::printError(message);
}

} // namespace Logging

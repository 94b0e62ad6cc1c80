// SPDX-License-Identifier: MIT
#pragma once

#include "SessionExport.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

// What the user asked for on the command line.
struct CommandLine
{
    bool selfTest = false;              // --selftest
    bool showPopover = false;           // --popover
    bool openMainWindow = false;        // --open
    bool status = false;                // --status
    bool login = false;                 // --login: started by the login session (the autostart entry)
    std::optional<QString> startScreen; // --start "<focus screen name>"
    bool stop = false;                  // --stop, --stop="<focus screen name>"
    QString stopScreen;                 // the screen whose session --stop= ends; empty: whichever runs
    std::optional<int> extendMinutes;   // --extend <minutes>
    bool version = false;               // --version
    std::optional<SessionExport::Format> exportFormat; // --export csv|json
    std::optional<QDateTime> exportSince;              // --since <date>, with --export
    bool help = false;
    QString error; // not empty when the arguments could not be understood

    // True when the request is for a running instance (popover, open, start).
    bool hasRequest() const
    {
        return showPopover || openMainWindow || status || startScreen.has_value() || stop ||
               extendMinutes.has_value();
    }

    static CommandLine parse(const QStringList &arguments);
    static QString usage();
    // "lumora 0.1.0".
    static QString versionLine();
};

// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Lumora's extension for the desktop's shell (GNOME Shell), which gives the
// program what the shell gives no program by itself: hiding other
// applications, the overlay above every window, the countdown in the top bar
// and the global shortcut. Made by PlatformServices::makeShellExtension() on
// desktops that have such a shell.
class ShellExtension
{
public:
    virtual ~ShellExtension() = default;

    struct Status
    {
        bool installed = false; // for the user or system-wide
        bool enabled = false;   // listed among the shell's enabled extensions
        bool connected = false; // it answers this program
        // Why it does not answer, in a short phrase; empty when connected.
        QString problem;
    };
    virtual Status status() = 0;

    // Copies the extension into the user's extensions folder unless it is
    // installed already, and enables it. False with a short phrase in error.
    virtual bool installForUser(QString *error) = 0;

    // The shell loads a newly installed extension only after the user logs in
    // again (GNOME on Wayland).
    virtual bool loadsAfterNewLogin() const = 0;
};

// SPDX-License-Identifier: MIT
#pragma once

#include "ShellExtension.h"

#include <QStringList>

#include <optional>

// Lumora's GNOME Shell extension as the user sets it up: installed (in
// ~/.local/share/gnome-shell/extensions or a system folder), enabled (in the
// org.gnome.shell enabled-extensions setting, read and written with the
// gsettings tool), connected (GnomeShellExtension answers).
class GnomeShellSetup final : public ShellExtension
{
public:
    Status status() override;
    bool installForUser(QString *error) override;
    bool loadsAfterNewLogin() const override;

    // The uuids in a GVariant string array as gsettings prints it
    // ("['a@b', 'c@d']", "@as []"); nothing when it is not one.
    static std::optional<QStringList> parseStringArray(const QString &text);
    // A string array as gsettings takes it.
    static QString formatStringArray(const QStringList &items);
};

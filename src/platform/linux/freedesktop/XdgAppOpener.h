// SPDX-License-Identifier: MIT
#pragma once

#include "AppOpener.h"

#include <QStringList>

// Starts applications from their desktop entries, detached and never through
// a shell, and hands web addresses to the desktop's URL handler.
class XdgAppOpener final : public AppOpener
{
public:
    void openApplication(const QString &name) override;
    void openURL(const QUrl &url) override;

    // The program and arguments the entry this name stands for (its id, else
    // any other name of the application: DesktopEntries::findByIdentity)
    // would be started with; empty when there is no such entry or its Exec
    // line is unusable.
    static QStringList commandFor(const QString &name);
};

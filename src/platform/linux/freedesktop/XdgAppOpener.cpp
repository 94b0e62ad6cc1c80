// SPDX-License-Identifier: MIT
#include "XdgAppOpener.h"

#include "DesktopEntries.h"

#include <QDesktopServices>
#include <QProcess>

QStringList XdgAppOpener::commandFor(const QString &name)
{
    if (name.trimmed().isEmpty())
        return {};
    const std::optional<DesktopEntry> entry = DesktopEntries::findByIdentity(name);
    if (!entry)
        return {};
    return DesktopEntries::execArguments(*entry);
}

void XdgAppOpener::openApplication(const QString &name)
{
    const QStringList command = commandFor(name);
    if (command.isEmpty())
        return;
    // Arguments go straight to exec(); nothing is interpreted by a shell.
    QProcess::startDetached(command.first(), command.mid(1));
}

void XdgAppOpener::openURL(const QUrl &url)
{
    if (!url.isValid() || url.scheme().isEmpty())
        return;
    QDesktopServices::openUrl(url);
}

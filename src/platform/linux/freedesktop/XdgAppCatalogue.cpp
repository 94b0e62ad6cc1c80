// SPDX-License-Identifier: MIT
#include "XdgAppCatalogue.h"

#include "DesktopEntries.h"

QList<DesktopEntry> XdgAppCatalogue::installedApplications() const
{
    return DesktopEntries::installedApplications();
}

std::optional<DesktopEntry> XdgAppCatalogue::findByIdentity(const QString &name) const
{
    return DesktopEntries::findByIdentity(name);
}

QStringList XdgAppCatalogue::identities(const DesktopEntry &entry) const
{
    return DesktopEntries::identities(entry);
}

QIcon XdgAppCatalogue::icon(const DesktopEntry &entry) const
{
    return DesktopEntries::icon(entry);
}

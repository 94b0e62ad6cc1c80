// SPDX-License-Identifier: MIT
#pragma once

#include "AppCatalogue.h"

// The catalogue of the XDG application folders (DesktopEntries).
class XdgAppCatalogue : public AppCatalogue
{
public:
    QList<DesktopEntry> installedApplications() const override;
    std::optional<DesktopEntry> findByIdentity(const QString &name) const override;
    QStringList identities(const DesktopEntry &entry) const override;
    QIcon icon(const DesktopEntry &entry) const override;
};

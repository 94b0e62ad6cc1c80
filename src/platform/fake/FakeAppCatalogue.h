// SPDX-License-Identifier: MIT
#pragma once

#include "AppCatalogue.h"
#include "AppIdentity.h"

// A catalogue of the entries a test gives it; an application's names are
// its id and StartupWMClass. Icons are null.
class FakeAppCatalogue final : public AppCatalogue
{
public:
    explicit FakeAppCatalogue(QList<DesktopEntry> installed = {}) : entries(std::move(installed)) {}

    QList<DesktopEntry> installedApplications() const override { return entries; }
    std::optional<DesktopEntry> findByIdentity(const QString &name) const override
    {
        const QSet<QString> wanted = AppIdentity::normalizedSet({name});
        for (const DesktopEntry &entry : entries)
            if (AppIdentity::matchesAny(AppIdentity::normalizedSet(identities(entry)).values(), wanted))
                return entry;
        return std::nullopt;
    }
    QStringList identities(const DesktopEntry &entry) const override
    {
        QStringList names{entry.id};
        if (!entry.startupWMClass.isEmpty())
            names << entry.startupWMClass;
        return names;
    }
    QIcon icon(const DesktopEntry &) const override { return {}; }

    QList<DesktopEntry> entries;
};

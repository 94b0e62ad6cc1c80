// SPDX-License-Identifier: MIT
#pragma once

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One application as a freedesktop desktop entry describes it.
struct DesktopEntry
{
    QString id;             // desktop-file id: path below applications/ with "/" -> "-", without ".desktop"
    QString name;           // Name=, localized for the current locale
    QString iconName;       // Icon= (a theme name or an absolute path), unescaped
    QString exec;           // Exec= after string unescaping, field codes still in place
    QString filePath;       // the file the entry was read from
    QString startupWMClass; // StartupWMClass=: the WM_CLASS its windows carry, when the entry says
};

// The applications installed on this desktop, as the program looks them up:
// for the chooser of allowed applications, and for the names and icons shown
// for an allowed application. Matching follows AppIdentity.
class AppCatalogue
{
public:
    virtual ~AppCatalogue() = default;

    // Every application a menu would list, sorted by name for the locale.
    virtual QList<DesktopEntry> installedApplications() const = 0;
    // The application that `name` names by any name it goes by, or nothing.
    virtual std::optional<DesktopEntry> findByIdentity(const QString &name) const = 0;
    // Every name the application an entry describes goes by.
    virtual QStringList identities(const DesktopEntry &entry) const = 0;
    // The entry's icon; a null icon when it has none.
    virtual QIcon icon(const DesktopEntry &entry) const = 0;
};

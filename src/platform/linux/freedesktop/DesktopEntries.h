// SPDX-License-Identifier: MIT
#pragma once

#include "AppCatalogue.h"

#include <QIcon>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Reading desktop entries from the XDG application folders. Only the
// [Desktop Entry] group is read; malformed lines are ignored.
namespace DesktopEntries {

// $XDG_DATA_HOME/applications, then each $XDG_DATA_DIRS/applications, with the
// defaults of the XDG base-directory rules; relative entries are ignored and
// duplicates appear once.
QStringList applicationDirs();

// The application with this desktop-file id ("<id>.desktop" in the folders
// above, first folder wins; "-" in an id may stand for a subfolder), or the
// entry at an absolute path to a .desktop file. Ids are case-sensitive. An
// entry that is not Type=Application, is Hidden, has no Name or cannot be
// read gives nothing, and hides entries of the same id in later folders.
std::optional<DesktopEntry> find(const QString &id);

// Every Type=Application entry that is neither NoDisplay nor Hidden, one per id
// (first folder wins), sorted by name for the current locale.
QList<DesktopEntry> installedApplications();

// The entry's icon: an absolute Icon= path, else the icon theme, else the
// pixmaps folders; a null icon when there is none.
QIcon icon(const DesktopEntry &entry);

// Exec= split into arguments by the desktop-entry quoting rules, with field
// codes removed and "%%" turned into "%". Empty when the line cannot be parsed.
QStringList execArguments(const DesktopEntry &entry);

// The names an application this entry describes goes by (AppIdentity): the
// id, the StartupWMClass and the name of the program the Exec line starts.
QStringList identities(const DesktopEntry &entry);

// The entry for the application that `name` names (AppIdentity rules): the
// entry with that id, else one whose StartupWMClass is that name, else one
// whose program has that name. Entries hidden from menus (NoDisplay) count
// after the others.
std::optional<DesktopEntry> findByIdentity(const QString &name);

// The entries that describe a running application with these names (its
// window class and instance, application ids, program names): an entry
// whose id or StartupWMClass is one of them, or whose program is one of them
// unless its StartupWMClass says its windows are of another class. Best
// first, as for findByIdentity.
QList<DesktopEntry> entriesFor(const QStringList &names);

} // namespace DesktopEntries

// SPDX-License-Identifier: MIT
#pragma once

#include <QSet>
#include <QString>
#include <QStringList>
#include <QStringView>

class RunningApplication;

// One way of telling applications apart for the whole program. An
// application goes by several names: its desktop-entry id, that entry's
// StartupWMClass, _GTK_APPLICATION_ID, _KDE_NET_WM_DESKTOP_FILE, the WM_CLASS
// class and instance and its program's name. A name in a list the user keeps
// (the allowed applications) names an application when it equals any of
// these, compared without regard to case, surrounding blanks or a ".desktop"
// suffix. The lists themselves keep what the user typed.
namespace AppIdentity {

// The form names are compared in: trimmed, case-folded, without ".desktop".
QString normalized(QStringView name);
// The compared forms of a list, empty names left out.
QSet<QString> normalizedSet(const QStringList &names);

// True when one of the names (already normalized) is one of `names`.
bool matchesAny(const QStringList &names, const QSet<QString> &normalizedNames);
bool matchesAny(const RunningApplication &app, const QSet<QString> &normalizedNames);
// True when the entry names the application.
bool names(const QString &entry, const RunningApplication &app);

} // namespace AppIdentity

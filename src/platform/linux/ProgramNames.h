// SPDX-License-Identifier: MIT
#pragma once

#include "RunningApplication.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace ProgramNames {

// The names of the program a process runs: the executable's file name and
// the name it was started under (a link such as "rxvt-unicode" to urxvt).
// Empty when the process is gone or not ours to look at.
QStringList of(qint32 pid);

// Every name an application goes by (AppIdentity), led by the ids of the
// desktop entries that describe it: the ids the window states, its class or
// application-id names and, for another process than ownPid, the program's
// names.
QStringList applicationNames(const QStringList &statedIds, const QStringList &windowNames,
                             std::optional<qint32> pid, qint32 ownPid);

// This program as a desktop workspace lists it, keyed by its process id
// ("pid:1234") like the applications it lists.
RunningApplication thisProgram();

} // namespace ProgramNames

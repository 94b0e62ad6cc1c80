// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Paths as Linux users write them, with "~" for the home folder.
namespace HomePath {

// "~/Pictures/a.jpg" for a path below the home folder, "~" for the home
// folder itself; any other path as it is.
QString abbreviate(const QString &path);

// The other way: "~/..." below the home folder, as a shell reads it; any
// other text as it is.
QString expand(const QString &typed);

} // namespace HomePath

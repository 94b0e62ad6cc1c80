// SPDX-License-Identifier: MIT
#pragma once

#include <QJsonObject>
#include <QString>

// The entries of a hidden-windows record (see Workspace::hiddenWindowsRecord).
namespace HiddenWindowsRecord {

// Whether an entry names the process of its window ("pid") and the
// application it belongs to (`identityKey`): only such an entry can be
// matched to the very window that was hidden, so only such an entry is
// acted on. Of one that does not, a line on standard output says that it
// is dropped.
bool namesProcessAndApplication(const QJsonObject &entry, const QString &identityKey);

} // namespace HiddenWindowsRecord

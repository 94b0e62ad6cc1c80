// SPDX-License-Identifier: MIT
#include "RecordListModel.h"

int RecordListModel::rowOf(const std::optional<PersistentIdentifier> &id) const
{
    if (!id)
        return -1;
    const int n = rowCount();
    for (int row = 0; row < n; ++row)
        if (idAt(row) == *id)
            return row;
    return -1;
}

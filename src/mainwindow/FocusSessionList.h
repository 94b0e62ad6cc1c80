// SPDX-License-Identifier: MIT
#pragma once

#include "RecordList.h"

class FocusSessionListModel;

// The "Sessions" column: every recorded session, newest first, read-only.
// Rows are painted on demand, so a history of any length scrolls smoothly.
class FocusSessionList : public RecordList
{
    Q_OBJECT
public:
    explicit FocusSessionList(AppModel *model, QWidget *parent = nullptr);

    FocusSessionListModel *sessions() const;
};

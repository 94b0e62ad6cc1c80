// SPDX-License-Identifier: MIT
#include "FocusSessionList.h"

#include "AppModel.h"
#include "EmptyStatePanel.h"
#include "FocusSessionListModel.h"
#include "FocusSessionRow.h"

FocusSessionList::FocusSessionList(AppModel *model, QWidget *parent)
    : RecordList(model, tr("Sessions"), new FocusSessionListModel(model->context()), new FocusSessionRow,
                 Selection::single, parent)
{
    setObjectName(QStringLiteral("sessionList"));
    setEmptyState(new EmptyStatePanel(tr("No Sessions"), QStringLiteral("clock.arrow.circlepath"),
                                      tr("Start a focus session from a Focus Screen to see history here.")));
}

FocusSessionListModel *FocusSessionList::sessions() const
{
    return static_cast<FocusSessionListModel *>(listModel());
}

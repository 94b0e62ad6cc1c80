// SPDX-License-Identifier: MIT
#pragma once

#include "AppModel.h"
#include "DeletedRecord.h"
#include "PersistentIdentifier.h"

#include <QPointer>
#include <QWidget>

class EmptyStatePanel;
class QAbstractItemDelegate;
class QLabel;
class QListView;
class QMenu;
class QMessageBox;
class QModelIndex;
class QStackedLayout;
class RecordListModel;

// The middle column of a main-window page: a title, a list of records fed
// by a live query and, while the query is empty, an empty-state panel over
// the list. A selectable list mirrors AppModel::selection both ways.
class RecordList : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kTitleTopMargin = 16;
    static constexpr int kTitleBottomMargin = 8;
    static constexpr int kTitleSideMargin = 20;

    enum class Selection { single, none };

    QString title() const;
    QListView *view() const { return m_view; }
    RecordListModel *listModel() const { return m_listModel; }
    EmptyStatePanel *emptyState() const { return m_emptyState; }
    AppModel *appModel() const { return m_model; }

    // The context menu of a row (null when rows have none); the caller owns it.
    virtual QMenu *contextMenu(const QModelIndex &index, QWidget *parent);

    // Asks, naming the record, whether to delete it (Delete and Backspace on
    // the selected row); nothing happens until the user answers.
    void confirmDelete(const PersistentIdentifier &id);
    // The question while it waits for an answer, else null.
    QMessageBox *deleteConfirmation() const;
    // Removes the record at once and reports what it held.
    void deleteRecord(const PersistentIdentifier &id);

protected:
    RecordList(AppModel *model, const QString &title, RecordListModel *listModel,
               QAbstractItemDelegate *delegate, Selection selection, QWidget *parent);
    // Installs the panel shown while the list is empty.
    void setEmptyState(EmptyStatePanel *panel);

    // The name of a record of this list, or null when the id names none.
    virtual std::optional<QString> recordName(const PersistentIdentifier &id) const;
    // The confirmation's question and what it adds ("Delete “%1”?").
    virtual QString deleteQuestion(const QString &name) const;
    virtual QString deleteDetail() const;

    bool eventFilter(QObject *watched, QEvent *event) override;

Q_SIGNALS:
    // A record of this list was deleted; `record` can bring it back.
    void recordDeleted(const DeletedRecord &record);

    // The rows were laid out anew (model change, scroll or resize).
    void rowsLaidOut();

private:
    void syncSelectionFromModel();
    void viewSelectionChanged();
    void updateEmptyState();

    QPointer<AppModel> m_model;
    RecordListModel *m_listModel;
    QLabel *m_title;
    QListView *m_view;
    QStackedLayout *m_stack;
    EmptyStatePanel *m_emptyState = nullptr;
    bool m_syncing = false;
    QPointer<QMessageBox> m_confirmation;
};

// SPDX-License-Identifier: MIT
#include "RecordList.h"

#include "AppModel.h"
#include "EmptyStatePanel.h"
#include "RecordListModel.h"
#include "TextStyles.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollBar>
#include <QStackedLayout>
#include <QVBoxLayout>

RecordList::RecordList(AppModel *model, const QString &title, RecordListModel *listModel,
                       QAbstractItemDelegate *delegate, Selection selection, QWidget *parent)
    : QWidget(parent), m_model(model), m_listModel(listModel)
{
    setBackgroundRole(QPalette::Base);
    setAutoFillBackground(true);
    listModel->setParent(this);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    m_title = TextStyles::plainLabel(title, this);
    m_title->setObjectName(QStringLiteral("columnTitle"));
    m_title->setFont(TextStyles::title(font()));
    m_title->setContentsMargins(kTitleSideMargin, kTitleTopMargin, kTitleSideMargin, kTitleBottomMargin);
    column->addWidget(m_title);

    auto *body = new QWidget(this);
    m_stack = new QStackedLayout(body);
    m_stack->setStackingMode(QStackedLayout::StackAll);
    column->addWidget(body, 1);

    m_view = new QListView(body);
    m_view->setObjectName(QStringLiteral("recordListView"));
    m_view->setAccessibleName(title);
    m_view->setFrameShape(QFrame::NoFrame);
    m_view->setUniformItemSizes(true);
    m_view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_view->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
    m_view->setTextElideMode(Qt::ElideRight);
    m_view->setContextMenuPolicy(Qt::CustomContextMenu);
    m_view->setModel(listModel);
    m_view->setItemDelegate(delegate);
    delegate->setParent(m_view);
    m_view->setSelectionMode(selection == Selection::single ? QAbstractItemView::SingleSelection
                                                            : QAbstractItemView::NoSelection);
    if (selection == Selection::none)
        m_view->setFocusPolicy(Qt::NoFocus);
    else
        m_view->installEventFilter(this);
    m_stack->addWidget(m_view);

    connect(m_view, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QModelIndex index = m_view->indexAt(pos);
        if (!index.isValid())
            return;
        std::unique_ptr<QMenu> menu(contextMenu(index, this));
        if (menu)
            menu->exec(m_view->viewport()->mapToGlobal(pos));
    });

    if (selection == Selection::single) {
        connect(m_view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &RecordList::viewSelectionChanged);
        if (m_model)
            connect(m_model, &AppModel::selectionChanged, this, &RecordList::syncSelectionFromModel);
        connect(listModel, &QAbstractItemModel::modelReset, this, &RecordList::syncSelectionFromModel);
    }
    connect(listModel, &QAbstractItemModel::modelReset, this, &RecordList::updateEmptyState);
    connect(listModel, &QAbstractItemModel::modelReset, this, &RecordList::rowsLaidOut);
    connect(listModel, &QAbstractItemModel::dataChanged, this, &RecordList::rowsLaidOut);
    connect(m_view->verticalScrollBar(), &QScrollBar::valueChanged, this, &RecordList::rowsLaidOut);
    if (selection == Selection::single)
        syncSelectionFromModel();
}

QString RecordList::title() const
{
    return m_title->text();
}

QMenu *RecordList::contextMenu(const QModelIndex &, QWidget *)
{
    return nullptr;
}

std::optional<QString> RecordList::recordName(const PersistentIdentifier &) const
{
    return std::nullopt;
}

QString RecordList::deleteQuestion(const QString &name) const
{
    return tr("Delete “%1”?").arg(name);
}

QString RecordList::deleteDetail() const
{
    return {};
}

bool RecordList::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_view && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
        if (plain && (key->key() == Qt::Key_Delete || key->key() == Qt::Key_Backspace)) {
            const QModelIndexList rows = m_view->selectionModel()->selectedRows();
            if (!rows.isEmpty())
                confirmDelete(m_listModel->idAt(rows.first().row()));
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

QMessageBox *RecordList::deleteConfirmation() const
{
    return m_confirmation;
}

void RecordList::confirmDelete(const PersistentIdentifier &id)
{
    const std::optional<QString> name = recordName(id);
    if (!name || m_confirmation)
        return;
    auto *box = new QMessageBox(QMessageBox::Question, tr("Delete"), deleteQuestion(*name),
                                QMessageBox::NoButton, this);
    box->setObjectName(QStringLiteral("deleteConfirmation"));
    box->setTextFormat(Qt::PlainText);
    box->setInformativeText(deleteDetail());
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton *remove = box->addButton(tr("Delete"), QMessageBox::DestructiveRole);
    remove->setObjectName(QStringLiteral("confirmDeleteButton"));
    QPushButton *keep = box->addButton(QMessageBox::Cancel);
    box->setDefaultButton(keep);
    box->setEscapeButton(keep);
    // The answer acts on the record the id names by then, if any.
    connect(box, &QMessageBox::buttonClicked, this, [this, id, remove](QAbstractButton *clicked) {
        if (clicked == remove)
            deleteRecord(id);
    });
    m_confirmation = box;
    box->open();
}

void RecordList::deleteRecord(const PersistentIdentifier &id)
{
    if (!m_model)
        return;
    PersistentModel *record = m_model->context()->model(id);
    const std::optional<QString> name = recordName(id);
    if (!record || !name)
        return;
    const DeletedRecord deleted(*record, *name);
    // The selection stays as it is: the editor turns into its empty panel.
    m_model->context()->remove(record);
    Q_EMIT recordDeleted(deleted);
}

void RecordList::setEmptyState(EmptyStatePanel *panel)
{
    m_emptyState = panel;
    m_stack->addWidget(panel);
    updateEmptyState();
}

void RecordList::updateEmptyState()
{
    if (!m_emptyState)
        return;
    const bool empty = m_listModel->rowCount() == 0;
    m_emptyState->setVisible(empty);
    if (empty)
        m_emptyState->raise();
}

void RecordList::syncSelectionFromModel()
{
    if (!m_model)
        return;
    const int row = m_listModel->rowOf(m_model->selection());
    QItemSelectionModel *selection = m_view->selectionModel();
    m_syncing = true;
    if (row >= 0) {
        const QModelIndex index = m_listModel->index(row);
        if (!selection->isSelected(index) || selection->currentIndex() != index)
            selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        m_view->scrollTo(index);
    } else if (selection->hasSelection() || selection->currentIndex().isValid()) {
        selection->clear();
    }
    m_syncing = false;
}

void RecordList::viewSelectionChanged()
{
    if (m_syncing || !m_model)
        return;
    const QModelIndexList rows = m_view->selectionModel()->selectedRows();
    if (rows.isEmpty())
        m_model->setSelection(std::nullopt);
    else
        m_model->setSelection(m_listModel->idAt(rows.first().row()));
}

#include "RecordList.h"

#include "AppModel.h"
#include "EmptyStatePanel.h"
#include "RecordListModel.h"
#include "TextStyles.h"

#include <QLabel>
#include <QListView>
#include <QMenu>
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

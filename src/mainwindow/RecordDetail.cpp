// SPDX-License-Identifier: MIT
#include "RecordDetail.h"

#include "EmptyStatePanel.h"
#include "Query.h"

#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

RecordDetail::RecordDetail(AppModel *model, const QString &formName, const EmptyText &empty, QWidget *parent)
    : QWidget(parent), m_model(model), m_formName(formName)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_pages = new QStackedWidget(this);
    layout->addWidget(m_pages);

    m_emptyState = new EmptyStatePanel(empty.title, empty.symbol, empty.description, m_pages);
    m_pages->addWidget(m_emptyState);

    m_form = new QScrollArea(m_pages);
    m_form->setObjectName(formName);
    m_form->setFrameShape(QFrame::NoFrame);
    m_form->setWidgetResizable(true);
    m_form->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pages->addWidget(m_form);
}

void RecordDetail::follow(QueryBase *query)
{
    connect(m_model, &AppModel::selectionChanged, this, &RecordDetail::refresh);
    connect(query, &QueryBase::resultsChanged, this, &RecordDetail::refresh);
    refresh();
}

bool RecordDetail::showsForm() const
{
    return m_pages->currentWidget() == m_form;
}

void RecordDetail::refresh()
{
    const std::optional<PersistentIdentifier> selection = m_model ? m_model->selection() : std::nullopt;
    if (!selection || !edits(*selection)) {
        m_shown.reset();
        m_pages->setCurrentWidget(m_emptyState);
        return;
    }
    if (!m_form->widget()) {
        // Most starts never open an editor, and building one is the main
        // window's largest cost: it waits for the first selection.
        auto *content = new QWidget;
        content->setObjectName(m_formName + QStringLiteral("Content"));
        auto *column = new QVBoxLayout(content);
        column->setContentsMargins(kFormMargin, kFormMargin, kFormMargin, kFormMargin);
        column->setSpacing(kSectionSpacing);
        buildForm(content, column);
        column->addStretch(1);
        m_form->setWidget(content);
    }
    const bool recordChanged = m_shown != selection;
    m_shown = selection;
    load(recordChanged);
    m_pages->setCurrentWidget(m_form);
    // Another record opens at its top, where its name is.
    if (recordChanged)
        m_form->verticalScrollBar()->setValue(0);
}

// SPDX-License-Identifier: MIT
#include "EmptyStatePanel.h"

#include "ProminentButton.h"
#include "SymbolView.h"
#include "TextStyles.h"

#include <QLabel>
#include <QVBoxLayout>

EmptyStatePanel::EmptyStatePanel(const QString &title, const QString &symbol, const QString &description,
                                 QWidget *parent)
    : QWidget(parent), m_symbol(symbol)
{
    setObjectName(QStringLiteral("emptyState"));
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    outer->addStretch(1);

    m_stack = new QVBoxLayout;
    m_stack->setSpacing(kButtonSpacing);
    auto *panel = new QVBoxLayout;
    panel->setSpacing(kSpacing);

    auto *symbolView = new SymbolView(symbol, kSymbolSide, this);
    symbolView->setObjectName(QStringLiteral("emptyStateSymbol"));
    panel->addWidget(symbolView, 0, Qt::AlignHCenter);

    m_title = TextStyles::plainLabel(title, this);
    m_title->setObjectName(QStringLiteral("emptyStateTitle"));
    m_title->setFont(TextStyles::panelTitle(font()));
    m_title->setAlignment(Qt::AlignCenter);
    m_title->setWordWrap(true);
    panel->addWidget(m_title);

    m_description = TextStyles::plainLabel(description, this);
    m_description->setObjectName(QStringLiteral("emptyStateDescription"));
    m_description->setAlignment(Qt::AlignCenter);
    m_description->setWordWrap(true);
    TextStyles::makeSecondary(m_description);
    m_description->setVisible(!description.isEmpty());
    panel->addWidget(m_description);

    m_stack->addLayout(panel);
    outer->addLayout(m_stack);
    outer->addStretch(1);
    setAccessibleName(title);
}

QString EmptyStatePanel::title() const
{
    return m_title->text();
}

QString EmptyStatePanel::description() const
{
    return m_description->text();
}

QPushButton *EmptyStatePanel::addButton(const QString &text)
{
    if (m_button)
        return m_button;
    m_button = new ProminentButton(text, this);
    m_button->setObjectName(QStringLiteral("emptyStateButton"));
    m_stack->addWidget(m_button, 0, Qt::AlignHCenter);
    return m_button;
}

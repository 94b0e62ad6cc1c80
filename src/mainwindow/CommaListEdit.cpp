// SPDX-License-Identifier: MIT
#include "CommaListEdit.h"

#include "CommaList.h"

CommaListEdit::CommaListEdit(int minimumLines, QWidget *parent) : GrowingTextEdit(minimumLines, parent)
{
    connect(this, &GrowingTextEdit::textEdited, this, [this](const QString &text) {
        m_list = parseCommaList(text);
        Q_EMIT listEdited(m_list);
    });
    connect(this, &GrowingTextEdit::editingFinished, this, &CommaListEdit::normalise);
}

void CommaListEdit::setList(const QStringList &list)
{
    m_list = list;
    if (parseCommaList(toPlainText()) != list)
        setTextQuietly(commaListText(list));
}

void CommaListEdit::appendEntries(const QStringList &entries)
{
    if (entries.isEmpty())
        return;
    m_list += entries;
    setTextQuietly(commaListText(m_list));
    Q_EMIT listEdited(m_list);
}

void CommaListEdit::normalise()
{
    setTextQuietly(commaListText(m_list));
}

// SPDX-License-Identifier: MIT
#pragma once

#include "GrowingTextEdit.h"

#include <QStringList>

// A list of identifiers or domains edited as comma-separated text. Every
// keystroke turns the whole text into a list (listEdited); the text the user
// is typing stays as typed until editing ends, then shows the list's own
// form ("a, b, c"). A list set from outside replaces the text unless the text
// already says the same.
class CommaListEdit : public GrowingTextEdit
{
    Q_OBJECT
public:
    explicit CommaListEdit(int minimumLines, QWidget *parent = nullptr);

    QStringList list() const { return m_list; }
    void setList(const QStringList &list);

    // Adds entries at the end (used by the application chooser); reports the edit.
    void appendEntries(const QStringList &entries);

Q_SIGNALS:
    void listEdited(const QStringList &list);

private:
    void normalise();

    QStringList m_list;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>
#include <QWidget>

class AppCatalogue;
class FlowLayout;

// The entries of an application list that a desktop entry describes, as
// chips: the application's icon and name, and a button that takes that
// entry out of the list. Entries no desktop entry describes have no chip;
// the list's text shows every entry as it is stored.
class AppChips : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kIconSize = 16;
    static constexpr int kSpacing = 6;

    AppChips(const AppCatalogue *catalogue, QWidget *parent = nullptr);

    // Shows the list; rebuilds the chips only when it changed.
    void setList(const QStringList &list);
    const QStringList &list() const { return m_list; }
    // The chips shown, in list order.
    QList<QWidget *> chips() const;

Q_SIGNALS:
    // A chip's remove button was clicked: the list without that entry.
    void listEdited(const QStringList &list);

private:
    void rebuild();

    const AppCatalogue *m_catalogue;
    QStringList m_list;
    FlowLayout *m_flow;
    bool m_built = false;
};

// SPDX-License-Identifier: MIT
#pragma once

#include "AppCatalogue.h"

#include <QDialog>
#include <QSet>

#include <functional>
#include <optional>

class CommaListEdit;
class QAbstractItemModel;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QTreeView;

// Lists the installed applications (their desktop entries: icon, name and
// id) so that the user can pick ids for an application list instead of
// guessing them. Applications already in the list, under any name they go
// by (AppIdentity), are shown but cannot be picked.
class AppChooser : public QDialog
{
    Q_OBJECT
public:
    static constexpr int kWidth = 560;
    static constexpr int kHeight = 440;
    static constexpr int kIconSize = 24;

    enum Column { NameColumn, IdColumn, ColumnCount };

    // Test seam: when set, it answers the chooser in place of the user (it
    // may select rows and accept or reject); the dialog is not shown.
    using Responder = std::function<void(AppChooser &)>;
    static void setResponder(Responder responder);

    // Shows the chooser over parent and returns the ids picked, in list
    // order; empty when cancelled.
    static QStringList chooseApplications(const AppCatalogue &catalogue, QWidget *parent,
                                          const QStringList &present);

    // Shows the chooser for one application; its id, or nothing when cancelled.
    static std::optional<QString> chooseApplication(const AppCatalogue &catalogue, QWidget *parent);

    // A "Choose..." button that adds the picked ids to the field's list
    // (the catalogue is not owned; without one the button does nothing).
    static QPushButton *makeChooseButton(CommaListEdit *field, const AppCatalogue *catalogue);

    // entries: the applications to list; the catalogue tells every name
    // each goes by and its icon.
    AppChooser(const AppCatalogue &catalogue, QList<DesktopEntry> entries, const QStringList &present,
               QWidget *parent = nullptr);

    // The applications as listed (before filtering).
    QAbstractItemModel *applications() const;
    QTreeView *view() const { return m_view; }
    QLineEdit *filterField() const { return m_filter; }

    // Selects the rows with these ids (those that can be picked); returns
    // how many were selected.
    int selectIds(const QStringList &ids);
    QStringList selectedIds() const;
    // One application at a time; the accept button reads "Choose".
    void setSingleSelection();

private:
    void updateButtons();

    QAbstractItemModel *m_model;
    QSortFilterProxyModel *m_proxy;
    QLineEdit *m_filter;
    QTreeView *m_view;
    QLabel *m_empty;
    QDialogButtonBox *m_buttons;
};

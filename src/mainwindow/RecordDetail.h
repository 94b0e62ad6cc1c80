// SPDX-License-Identifier: MIT
#pragma once

#include "AppModel.h"
#include "ModelContext.h"
#include "PersistentIdentifier.h"

#include <QPointer>
#include <QString>
#include <QWidget>

#include <optional>

class EmptyStatePanel;
class QScrollArea;
class QStackedWidget;
class QVBoxLayout;
class QueryBase;

// Base of the record editors: a scrolling form over the record that
// AppModel::selection names, or an empty-state panel while the selection
// names none of this editor's records. The form is built at the first
// selection; edits go straight into the record and the context's automatic
// save takes them to disk.
class RecordDetail : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kFormMargin = 20;
    static constexpr int kSectionSpacing = 20;

    EmptyStatePanel *emptyState() const { return m_emptyState; }
    QScrollArea *form() const { return m_form; }
    bool showsForm() const;

protected:
    struct EmptyText
    {
        QString title;
        QString symbol;
        QString description;
    };

    RecordDetail(AppModel *model, const QString &formName, const EmptyText &empty, QWidget *parent);

    // Follows the selection and the query's results from now on; called at the
    // end of the subclass constructor, once the query exists.
    void follow(QueryBase *query);

    // The shown record as T, or null while the empty panel shows.
    template<typename T> T *shown() const
    {
        if (!m_model || !m_shown)
            return nullptr;
        return m_model->context()->model<T>(*m_shown);
    }

    // Whether the identifier names a live record this editor edits.
    virtual bool edits(const PersistentIdentifier &id) const = 0;
    // Adds the form's sections to the column.
    virtual void buildForm(QWidget *content, QVBoxLayout *column) = 0;
    // Shows the record's values; recordChanged is true when another record
    // than before is shown.
    virtual void load(bool recordChanged) = 0;

    AppModel *model() const { return m_model; }

private:
    void refresh();

    QPointer<AppModel> m_model;
    std::optional<PersistentIdentifier> m_shown;
    QString m_formName;
    QStackedWidget *m_pages;
    EmptyStatePanel *m_emptyState;
    QScrollArea *m_form;
};

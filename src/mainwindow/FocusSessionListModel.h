// SPDX-License-Identifier: MIT
#pragma once

#include "FocusScreen.h"
#include "FocusSession.h"
#include "Query.h"
#include "RecordListModel.h"

#include <QHash>
#include <QLocale>
#include <QUuid>

// Every recorded session, newest first, each with the name of the focus
// screen it ran. Rows are built only when a view asks for them, so a long
// history costs nothing until it is scrolled into view.
class FocusSessionListModel : public QueryListModel<FocusSession>
{
    Q_OBJECT
public:
    enum Role {
        DateTextRole = FirstRowRole, // start date in the user's locale, date only
        TimeTextRole,                // start time of day in the user's locale
        DurationTextRole,            // "24m 5s", or empty while there is no actual duration
        CompletedRole,               // bool
    };

    // The name shown for sessions whose focus screen no longer exists.
    static QString unknownScreenName() { return tr("Unknown"); }

    explicit FocusSessionListModel(ModelContext *context, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    FocusSession *sessionAt(int row) const { return recordAt(row); }

    // How the session ended, in words ("Completed", "Ended early", "Not
    // finished") and as a symbol name.
    static QString outcomeText(const FocusSession &session);
    static QString outcomeSymbol(const FocusSession &session);

    // The session's screen name from the name table, or "Unknown".
    QString screenName(const FocusSession &session) const;

    void setLocale(const QLocale &locale);

private:
    void rebuildNameTable();

    Query<FocusScreen> m_screens;
    QHash<QUuid, QString> m_names;
    QLocale m_locale;
};

// SPDX-License-Identifier: MIT
#pragma once

#include "FocusScreen.h"
#include "FocusSession.h"
#include "Query.h"
#include "RecordDetail.h"

#include <QLocale>

class QLabel;
class SymbolView;

// The Sessions page's right column: what the session that
// AppModel::selection names was — its focus screen, when it started and
// ended, how long it was meant to run and ran, and whether it ran to the end.
// Read-only; "No Session Selected" while no session is chosen.
class FocusSessionDetail : public RecordDetail
{
    Q_OBJECT
public:
    FocusSessionDetail(AppModel *model, QWidget *parent = nullptr);

    FocusSession *session() const { return shown<FocusSession>(); }
    void setLocale(const QLocale &locale);

protected:
    bool edits(const PersistentIdentifier &id) const override;
    void buildForm(QWidget *content, QVBoxLayout *column) override;
    void load(bool recordChanged) override;

private:
    QString dateTime(const std::optional<QDateTime> &at) const;

    Query<FocusSession> m_sessions;
    Query<FocusScreen> m_screens;
    QLocale m_locale;
    QLabel *m_screen = nullptr;
    QLabel *m_started = nullptr;
    QLabel *m_ended = nullptr;
    QLabel *m_planned = nullptr;
    QLabel *m_actual = nullptr;
    SymbolView *m_outcomeSymbol = nullptr;
    QLabel *m_outcome = nullptr;
};

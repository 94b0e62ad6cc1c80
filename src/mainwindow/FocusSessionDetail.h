// SPDX-License-Identifier: MIT
#pragma once

#include "FocusScreen.h"
#include "FocusSession.h"
#include "Query.h"
#include "RecordDetail.h"

#include <QLocale>

class QLabel;
class QLineEdit;
class SymbolView;

// The Sessions page's right column: what the session that
// AppModel::selection names was — its focus screen, when it started and
// ended, how long it was meant to run and ran, whether it ran to the end, its
// round in a cycle of rounds (only for such a session), and the note of what
// was worked on, the one thing here that can be edited. "No Session Selected"
// while no session is chosen.
class FocusSessionDetail : public RecordDetail
{
    Q_OBJECT
public:
    // A note is a short line, at most this many characters.
    static constexpr int kNoteMaxLength = 500;

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
    QWidget *m_roundRow = nullptr;
    QLabel *m_round = nullptr;
    QLineEdit *m_note = nullptr;
};

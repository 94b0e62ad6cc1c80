// SPDX-License-Identifier: MIT
#pragma once

#include <QPointer>
#include <QWidget>

class ExitChallenge;
class IconView;
class QLabel;
class QLineEdit;
class QPushButton;

// The sheet in which the user passes the exit challenge: symbol, title,
// prompt, the answer field, the error line and "Cancel" / "Submit". It shows
// the state of an ExitChallenge and edits its input; it follows the
// application palette like any other sheet.
class ChallengeSheet : public QWidget
{
    Q_OBJECT
public:
    ChallengeSheet(ExitChallenge *challenge, const QColor &accent, QWidget *parent = nullptr);

    void setAccentColor(const QColor &accent);
    // Brings the sheet in line with the challenge state.
    void refresh();
    void focusField();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QPointer<ExitChallenge> m_challenge;
    IconView *m_icon = nullptr;
    QLabel *m_title = nullptr;
    QLabel *m_prompt = nullptr;
    // The math problem, above the field (the placeholder goes at the first key).
    QLabel *m_problem = nullptr;
    QLineEdit *m_field = nullptr;
    QLabel *m_error = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_submit = nullptr;
    QColor m_accent;
};

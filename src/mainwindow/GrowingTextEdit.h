// SPDX-License-Identifier: MIT
#pragma once

#include <QPlainTextEdit>

// A wrapping text field that is at least a few lines tall and grows with its
// text (up to a limit, then scrolls). Return ends editing like a one-line
// field; Shift+Return inserts a line break. Tab moves the focus on.
class GrowingTextEdit : public QPlainTextEdit
{
    Q_OBJECT
public:
    static constexpr int kMaximumLines = 12;

    explicit GrowingTextEdit(int minimumLines, QWidget *parent = nullptr);

    int minimumLines() const { return m_minimumLines; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

    // Replaces the text without reporting it as the user's edit.
    void setTextQuietly(const QString &text);
    bool isSettingText() const { return m_settingText; }

Q_SIGNALS:
    // The user left the field or pressed Return.
    void editingFinished();
    // The user changed the text (not setTextQuietly).
    void textEdited(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    int heightForLines(int lines) const;
    void updateHeight();

    int m_minimumLines;
    bool m_settingText = false;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <QCoreApplication>
#include <QLineEdit>

// The global-shortcut field of the general settings. It shows the stored
// text as Linux users write a shortcut ("Super+Shift+F").
//
// A click (or Return) starts recording, as the shortcut editors of the
// desktop do: the next key pressed with Ctrl, Alt or Super, or a function
// key alone, becomes the shortcut; Escape cancels, Backspace clears, Tab
// leaves. Typing a printable character instead turns the field into a
// plain text field, so that "cmd+shift+f"-style text is taken as written,
// keystroke by keystroke.
class ShortcutField : public QLineEdit
{
    Q_OBJECT
public:
    static constexpr const char *kRecordingPrompt = QT_TRANSLATE_NOOP("ShortcutField", "Press a shortcut");

    explicit ShortcutField(QWidget *parent = nullptr);

    // Shows a stored text in its display form, unless the field is recording
    // or the user is typing that very text.
    void showStored(const QString &storedText);
    const QString &storedText() const { return m_stored; }

    // The width at which the longest shortcut the field can show
    // ("Ctrl+Alt+Super+Shift+Space") fits, in the field's font.
    int fittingWidth() const;

    bool isRecording() const { return m_recording; }
    void startRecording();

Q_SIGNALS:
    // The text to store: a recorded combination in its stored form, the
    // empty text when cleared, or the text as typed.
    void shortcutEdited(const QString &storedText);
    // The user is done: a combination was recorded, the field cleared, or
    // typing ended (Return or leaving the field). Carries the stored text.
    void shortcutChosen(const QString &storedText);

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    void stopRecording();
    void store(const QString &storedText);
    void showHeldModifiers(Qt::KeyboardModifiers modifiers);

    QString m_stored;
    QString m_placeholder;
    bool m_recording = false;
    bool m_typing = false;
};

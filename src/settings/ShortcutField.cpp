// SPDX-License-Identifier: MIT
#include "ShortcutField.h"

#include "GlobalShortcut.h"

#include <QKeyEvent>
#include <QStyle>
#include <QStyleOptionFrame>

namespace {

constexpr Qt::KeyboardModifiers kChordModifiers = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;

bool isModifierKey(int key)
{
    switch (key) {
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Shift:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
        return true;
    default:
        return false;
    }
}

Qt::KeyboardModifiers modifierOfKey(int key)
{
    switch (key) {
    case Qt::Key_Control:
        return Qt::ControlModifier;
    case Qt::Key_Alt:
        return Qt::AltModifier;
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return Qt::MetaModifier;
    case Qt::Key_Shift:
        return Qt::ShiftModifier;
    default:
        return {};
    }
}

ModifierFlags modifierFlags(Qt::KeyboardModifiers modifiers)
{
    ModifierFlags out;
    if (modifiers & Qt::ControlModifier)
        out |= ModifierFlag::control;
    if (modifiers & Qt::AltModifier)
        out |= ModifierFlag::option;
    if (modifiers & Qt::MetaModifier)
        out |= ModifierFlag::command;
    if (modifiers & Qt::ShiftModifier)
        out |= ModifierFlag::shift;
    return out;
}

bool isFunctionKey(Key key)
{
    const int n = static_cast<int>(key) - static_cast<int>(Key::f1);
    return n >= 0 && n < 20;
}

} // namespace

ShortcutField::ShortcutField(QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textEdited, this, [this](const QString &text) {
        if (m_recording)
            return;
        m_typing = true;
        store(text);
    });
}

int ShortcutField::fittingWidth() const
{
    QStyleOptionFrame option;
    initStyleOption(&option);
    const QMargins margins = textMargins();
    // QLineEdit keeps 2 pixels on each side of its text inside the frame.
    const int text = fontMetrics().horizontalAdvance(QStringLiteral("Ctrl+Alt+Super+Shift+Space")) +
                     margins.left() + margins.right() + 4 + 2;
    return style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(text, fontMetrics().height()), this)
        .width();
}

void ShortcutField::showStored(const QString &storedText)
{
    const bool typedHere = m_typing && text() == storedText;
    m_stored = storedText;
    if (m_recording || typedHere)
        return;
    const QString shown = shortcutDisplayText(storedText);
    if (text() != shown)
        setText(shown);
}

void ShortcutField::startRecording()
{
    if (m_recording)
        return;
    m_recording = true;
    m_typing = false;
    m_placeholder = placeholderText();
    setPlaceholderText(tr(kRecordingPrompt));
    clear();
}

void ShortcutField::stopRecording()
{
    if (!m_recording)
        return;
    m_recording = false;
    setPlaceholderText(m_placeholder);
    setText(shortcutDisplayText(m_stored));
}

void ShortcutField::store(const QString &storedText)
{
    m_stored = storedText;
    Q_EMIT shortcutEdited(storedText);
}

void ShortcutField::showHeldModifiers(Qt::KeyboardModifiers modifiers)
{
    QStringList held;
    if (modifiers & Qt::ControlModifier)
        held << QStringLiteral("Ctrl");
    if (modifiers & Qt::AltModifier)
        held << QStringLiteral("Alt");
    if (modifiers & Qt::MetaModifier)
        held << QStringLiteral("Super");
    if (modifiers & Qt::ShiftModifier)
        held << QStringLiteral("Shift");
    setText(held.isEmpty() ? QString() : held.join(QLatin1Char('+')) + QLatin1Char('+'));
}

bool ShortcutField::event(QEvent *event)
{
    // While recording, every key comes here first, including those that
    // would otherwise trigger a window's shortcut (Ctrl+W, Esc).
    if (m_recording && event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void ShortcutField::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    const Qt::KeyboardModifiers modifiers = event->modifiers() & (kChordModifiers | Qt::ShiftModifier);
    const bool chord = modifiers.testAnyFlags(kChordModifiers);

    if (!m_recording) {
        if (!chord && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            if (m_typing) {
                m_typing = false;
                setText(shortcutDisplayText(m_stored));
                Q_EMIT shortcutChosen(m_stored);
            } else {
                startRecording();
            }
            event->accept();
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }

    event->accept();
    if (isModifierKey(key)) {
        showHeldModifiers(modifiers | modifierOfKey(key));
        return;
    }
    if (!chord && key == Qt::Key_Escape) {
        stopRecording();
        return;
    }
    if (!chord && (key == Qt::Key_Backspace || key == Qt::Key_Delete)) {
        store(QString());
        stopRecording();
        Q_EMIT shortcutChosen(m_stored);
        return;
    }
    const std::optional<Key> shortcut = shortcutKey(key);
    if (shortcut && (chord || isFunctionKey(*shortcut))) {
        store(shortcutStoredText({shortcut, modifierFlags(modifiers)}));
        stopRecording();
        Q_EMIT shortcutChosen(m_stored);
        return;
    }
    // A printable character without Ctrl, Alt or Super: the user is typing
    // the shortcut as text.
    if (!chord && !event->text().isEmpty() && event->text().front().isPrint()) {
        stopRecording();
        clear();
        QLineEdit::keyPressEvent(event);
        return;
    }
    // Any other key (one the shortcut text cannot name): keep recording.
    showHeldModifiers(modifiers);
}

void ShortcutField::keyReleaseEvent(QKeyEvent *event)
{
    if (m_recording && isModifierKey(event->key())) {
        const Qt::KeyboardModifiers held =
            event->modifiers() & (kChordModifiers | Qt::ShiftModifier) & ~modifierOfKey(event->key());
        showHeldModifiers(held);
        event->accept();
        return;
    }
    QLineEdit::keyReleaseEvent(event);
}

void ShortcutField::mousePressEvent(QMouseEvent *event)
{
    if (m_recording) {
        event->accept();
        return;
    }
    setFocus(Qt::MouseFocusReason);
    startRecording();
    event->accept();
}

void ShortcutField::focusOutEvent(QFocusEvent *event)
{
    stopRecording();
    if (m_typing) {
        m_typing = false;
        setText(shortcutDisplayText(m_stored));
        Q_EMIT shortcutChosen(m_stored);
    }
    QLineEdit::focusOutEvent(event);
}

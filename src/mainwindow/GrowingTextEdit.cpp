// SPDX-License-Identifier: MIT
#include "GrowingTextEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QKeyEvent>
#include <QTextBlock>

#include <algorithm>

GrowingTextEdit::GrowingTextEdit(int minimumLines, QWidget *parent)
    : QPlainTextEdit(parent), m_minimumLines(std::max(1, minimumLines))
{
    setTabChangesFocus(true);
    setLineWrapMode(QPlainTextEdit::WidgetWidth);
    setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QPlainTextEdit::textChanged, this, [this] {
        updateHeight();
        if (!m_settingText)
            Q_EMIT textEdited(toPlainText());
    });
    connect(document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            &GrowingTextEdit::updateHeight);
    updateHeight();
}

void GrowingTextEdit::setTextQuietly(const QString &text)
{
    if (toPlainText() == text)
        return;
    m_settingText = true;
    setPlainText(text);
    moveCursor(QTextCursor::End);
    m_settingText = false;
}

int GrowingTextEdit::heightForLines(int lines) const
{
    const QMargins margins = contentsMargins();
    const int documentMargin = int(document()->documentMargin());
    return lines * fontMetrics().lineSpacing() + 2 * documentMargin + margins.top() + margins.bottom();
}

QSize GrowingTextEdit::sizeHint() const
{
    // Wrapped lines: the plain-text layout counts a block's lines once laid out.
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next())
        lines += std::max(1, block.layout() ? block.layout()->lineCount() : 1);
    lines = std::clamp(lines, m_minimumLines, kMaximumLines);
    return {QPlainTextEdit::sizeHint().width(), heightForLines(lines)};
}

QSize GrowingTextEdit::minimumSizeHint() const
{
    return {QPlainTextEdit::minimumSizeHint().width(), heightForLines(m_minimumLines)};
}

void GrowingTextEdit::updateHeight()
{
    const int height = sizeHint().height();
    if (height != this->height() || minimumHeight() != height) {
        setFixedHeight(height);
        updateGeometry();
    }
}

void GrowingTextEdit::keyPressEvent(QKeyEvent *event)
{
    const bool isReturn = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (isReturn && !(event->modifiers() & Qt::ShiftModifier)) {
        Q_EMIT editingFinished();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void GrowingTextEdit::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    Q_EMIT editingFinished();
}

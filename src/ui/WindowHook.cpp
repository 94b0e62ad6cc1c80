// SPDX-License-Identifier: MIT
#include "WindowHook.h"

#include <QEvent>

WindowHookProbe::WindowHookProbe(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("windowHookProbe"));
    // Focus only when given: never by Tab, never by a click (it has no area).
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
}

bool WindowHookProbe::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::ParentChange:
        if (isVisible() && window() != m_window)
            placed();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void WindowHookProbe::placed()
{
    // A probe without a parent is its own window: it is in no window.
    if (!parentWidget())
        return;
    if (m_window)
        m_window->removeEventFilter(this);
    m_window = window();
    m_reopened = false;
    clearFocusLater();
    m_window->installEventFilter(this);
}

bool WindowHookProbe::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_window)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Hide:
        // Closed or hidden by the program; a minimised window is hidden by
        // the window system (a spontaneous event) and is not closed.
        if (!event->spontaneous())
            m_reopened = true;
        break;
    case QEvent::Show:
        // Shown again after a close: take the focus before the window is
        // activated, and again once it is (below).
        if (m_reopened)
            clearFocusLater();
        break;
    case QEvent::WindowActivate:
        // Activation without a close in between (coming back from another
        // application) keeps whatever the user had focused.
        if (m_reopened && window() == m_window) {
            m_reopened = false;
            clearFocusLater();
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void WindowHookProbe::clearFocusLater()
{
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!m_window || window() != m_window)
                return;
            if (isVisible())
                setFocus(Qt::OtherFocusReason);
            else if (QWidget *focused = m_window->focusWidget())
                focused->clearFocus();
        },
        Qt::QueuedConnection);
}

WindowHook::Probe *WindowHook::install(QWidget *content)
{
    if (!content)
        return nullptr;
    if (auto *existing = content->findChild<Probe *>(QString(), Qt::FindDirectChildrenOnly))
        return existing;
    auto *probe = new Probe(content);
    probe->lower();
    return probe;
}

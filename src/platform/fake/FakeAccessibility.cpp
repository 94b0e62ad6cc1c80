// SPDX-License-Identifier: MIT
#include "FakeAccessibility.h"

#include "FakeWorkspace.h"

bool FakeAccessibility::isProcessTrusted(TrustPrompt prompt)
{
    if (prompt == TrustPrompt::yes && !m_trusted)
        ++m_prompts;
    return m_trusted;
}

AccessibilityError FakeAccessibility::setHidden(const RunningApplication &app, bool hidden)
{
    const auto identity = app.identity();
    m_workspace->logCall((hidden ? QStringLiteral("ax-hide:") : QStringLiteral("ax-unhide:")) + identity);
    if (!m_trusted)
        return AccessibilityError::notTrusted;
    if (!m_workspace->contains(app))
        return AccessibilityError::invalidElement;
    if ((hidden ? m_failHide : m_failUnhide).contains(identity))
        return AccessibilityError::cannotComplete;
    if (!hidden && m_ineffectiveUnhide.contains(identity))
        return AccessibilityError::success;
    m_workspace->setHiddenFlag(app, hidden, hidden);
    return AccessibilityError::success;
}

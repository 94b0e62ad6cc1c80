// SPDX-License-Identifier: MIT
#include "WorkspaceAccessibility.h"

bool WorkspaceAccessibility::isProcessTrusted(TrustPrompt)
{
    return m_workspace && m_workspace->isAvailable();
}

AccessibilityError WorkspaceAccessibility::setHidden(const RunningApplication &app, bool hidden)
{
    if (!isProcessTrusted())
        return AccessibilityError::notTrusted;
    if (!app.isValid())
        return AccessibilityError::invalidElement;
    if (hidden)
        return m_workspace->hide(app) ? AccessibilityError::success : AccessibilityError::cannotComplete;
    // Nothing of this application was hidden here: there is nothing to show.
    if (!m_workspace->isHidden(app))
        return AccessibilityError::success;
    return m_workspace->unhide(app) ? AccessibilityError::success : AccessibilityError::cannotComplete;
}

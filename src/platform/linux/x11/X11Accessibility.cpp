// SPDX-License-Identifier: MIT
#include "X11Accessibility.h"

#include "X11Workspace.h"

bool X11Accessibility::isProcessTrusted(TrustPrompt)
{
    return m_workspace && m_workspace->isAvailable();
}

AccessibilityError X11Accessibility::setHidden(const RunningApplication &app, bool hidden)
{
    if (!m_workspace)
        return AccessibilityError::notTrusted;
    return hidden ? m_workspace->iconify(app) : m_workspace->restore(app);
}

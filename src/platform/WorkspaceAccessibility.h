// SPDX-License-Identifier: MIT
#pragma once

#include "Accessibility.h"
#include "Workspace.h"

#include <QPointer>

// Accessibility over a workspace that has one way of hiding (a compositor's
// own, such as sway's scratchpad): trusted while the workspace is available,
// and setting "hidden" is the workspace's hide or unhide.
class WorkspaceAccessibility : public Accessibility
{
public:
    explicit WorkspaceAccessibility(Workspace *workspace) : m_workspace(workspace) {}

    bool isProcessTrusted(TrustPrompt prompt = TrustPrompt::no) override;
    AccessibilityError setHidden(const RunningApplication &app, bool hidden) override;

private:
    QPointer<Workspace> m_workspace;
};

// SPDX-License-Identifier: MIT
#pragma once

#include "Accessibility.h"
#include "X11Workspace.h"

#include <QPointer>

// Accessibility on X11: trusted while an EWMH window manager runs; the
// "hidden" attribute is the window manager's iconic state.
class X11Accessibility : public Accessibility
{
public:
    explicit X11Accessibility(X11Workspace *workspace) : m_workspace(workspace) {}

    bool isProcessTrusted(TrustPrompt prompt = TrustPrompt::no) override;
    AccessibilityError setHidden(const RunningApplication &app, bool hidden) override;

private:
    QPointer<X11Workspace> m_workspace;
};

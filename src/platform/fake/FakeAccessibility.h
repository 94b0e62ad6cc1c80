// SPDX-License-Identifier: MIT
#pragma once

#include "Accessibility.h"

#include <QSet>
#include <QString>

class FakeWorkspace;

// Accessibility over a FakeWorkspace: setHidden flips the workspace's flag
// and logs "ax-hide:<identity>" / "ax-unhide:<identity>" in the workspace's
// call log. Tests make it fail for chosen applications, or make "unhide"
// report success while the application stays hidden.
class FakeAccessibility : public Accessibility
{
public:
    explicit FakeAccessibility(FakeWorkspace *workspace) : m_workspace(workspace) {}

    void setTrusted(bool trusted) { m_trusted = trusted; }
    void failHiding(const QString &identity) { m_failHide.insert(identity); }
    void failUnhiding(const QString &identity) { m_failUnhide.insert(identity); }
    void unhideWithoutEffect(const QString &identity) { m_ineffectiveUnhide.insert(identity); }
    int promptCount() const { return m_prompts; }

    bool isProcessTrusted(TrustPrompt prompt = TrustPrompt::no) override;
    AccessibilityError setHidden(const RunningApplication &app, bool hidden) override;

private:
    FakeWorkspace *m_workspace;
    bool m_trusted = true;
    int m_prompts = 0;
    QSet<QString> m_failHide;
    QSet<QString> m_failUnhide;
    QSet<QString> m_ineffectiveUnhide;
};

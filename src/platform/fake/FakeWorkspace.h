// SPDX-License-Identifier: MIT
#pragma once

#include "Workspace.h"

#include <QSet>
#include <QStringList>

// An in-memory workspace for unit tests: applications are added, launched
// and terminated by the test, hide and unhide flip a flag, and every call
// that changes something is logged in order ("hide:<identity>", ...), together
// with the calls of a FakeAccessibility bound to it.
class FakeWorkspace : public Workspace
{
    Q_OBJECT
public:
    using Workspace::Workspace;

    // An application with the identity "pid:<pid>" (or "app:<n>" without a
    // pid); names are what it goes by besides its application id.
    RunningApplication makeApplication(std::optional<QString> appId, std::optional<qint32> pid,
                                       const QStringList &names = {});
    RunningApplication addApplication(std::optional<QString> appId, std::optional<qint32> pid,
                                      bool hidden = false, const QStringList &names = {});
    void setCurrentApplication(const RunningApplication &app) { m_current = app; }
    // Adds the application and emits applicationLaunched.
    void launch(const RunningApplication &app);
    // Removes the application and emits applicationTerminated.
    void terminate(const RunningApplication &app);
    // Emits availableChanged when the value changes.
    void setAvailable(bool available, const QString &reason = {});

    // Sets the flag directly (as the user or the accessibility service would).
    void setHiddenFlag(const RunningApplication &app, bool hidden, bool byThisProgram = false);
    bool contains(const RunningApplication &app) const;

    QStringList calls() const { return m_calls; }
    void clearCalls() { m_calls.clear(); }
    void logCall(const QString &call) { m_calls.append(call); }

    int launchObserverCount() const;
    int terminationObserverCount() const;

    bool isAvailable() const override { return m_available; }
    QString unavailableReason() const override { return m_available ? QString() : m_reason; }
    QList<RunningApplication> runningApplications() override;
    RunningApplication currentApplication() const override { return m_current; }
    bool isHidden(const RunningApplication &app) const override;
    bool hide(const RunningApplication &app) override;
    bool unhide(const RunningApplication &app) override;
    // {"hidden": [identities hidden by this program, then those about to be]};
    // {} when there are none.
    using Workspace::hiddenWindowsRecord;
    QJsonObject hiddenWindowsRecord(const QList<RunningApplication> &aboutToHide) const override;
    int restoreHiddenWindows(const QJsonObject &record) override;

private:
    int indexOf(const RunningApplication &app) const;

    struct Entry
    {
        RunningApplication app;
        bool hidden = false;
    };
    QList<Entry> m_apps;
    QSet<QString> m_hiddenByThisProgram;
    RunningApplication m_current;
    QStringList m_calls;
    bool m_available = true;
    QString m_reason;
    int m_nextAnonymous = 1;
};

// SPDX-License-Identifier: MIT
#pragma once

#include <QGroupBox>
#include <QPointer>

#include <functional>

class QLabel;
class QPushButton;
class RemoteControl;

// The "Browsers" section of the general settings: whether a browser with
// the Lumora Focus extension is connected (it then keeps to a focus
// screen's allowed websites during a session), and a button that writes
// the per-user native-messaging manifests.
class BrowserSection : public QGroupBox
{
    Q_OBJECT
public:
    // A browser's name is shown cut to this length.
    static constexpr qsizetype kMaxBrowserNameChars = 60;

    explicit BrowserSection(QWidget *parent = nullptr);

    // Where the connected browsers are known (the running instance's remote
    // control); none: no browser can connect.
    void setRemoteControl(RemoteControl *remote);
    // The program the manifests name; this program's file unless set (tests).
    void setHostProgram(const QString &program) { m_program = program; }

    QLabel *statusLabel() const { return m_status; }
    QPushButton *setUpButton() const { return m_setUp; }
    QLabel *resultLabel() const { return m_result; }

    // What the button does: writes the manifests and shows the outcome.
    void setUpForThisUser();

private:
    void showStatus();

    QPointer<RemoteControl> m_remote;
    QString m_program;
    QLabel *m_status = nullptr;
    QPushButton *m_setUp = nullptr;
    QLabel *m_result = nullptr;
};

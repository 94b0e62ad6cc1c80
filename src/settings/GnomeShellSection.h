// SPDX-License-Identifier: MIT
#pragma once

#include <QGroupBox>

class QLabel;
class QPushButton;
class ShellExtension;

// The "GNOME Shell" section of the general settings: whether Lumora's GNOME
// Shell extension is installed, enabled and connected, what it gives, and a
// button that installs it for the user and enables it, with the word that
// GNOME on Wayland loads it only after logging in again. Hidden where the
// desktop has no such shell (no extension handed in).
class GnomeShellSection : public QGroupBox
{
    Q_OBJECT
public:
    explicit GnomeShellSection(QWidget *parent = nullptr);

    // Not owned; none hides the section.
    void setExtension(ShellExtension *extension);

    QLabel *statusLabel() const { return m_status; }
    QPushButton *installButton() const { return m_install; }
    QLabel *resultLabel() const { return m_result; }

    // Reads the extension's state again.
    void refresh();
    // What the button does.
    void installForUser();

private:
    ShellExtension *m_extension = nullptr;
    QLabel *m_status = nullptr;
    QPushButton *m_install = nullptr;
    QLabel *m_result = nullptr;
};

// SPDX-License-Identifier: MIT
#include "GnomeShellSection.h"

#include "ShellExtension.h"
#include "TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

GnomeShellSection::GnomeShellSection(QWidget *parent) : QGroupBox(tr("GNOME Shell"), parent)
{
    setObjectName(QStringLiteral("gnomeShellSection"));
    auto *rows = new QVBoxLayout(this);
    auto *line = new QHBoxLayout;
    m_status = TextStyles::plainLabel(QString(), this);
    m_status->setObjectName(QStringLiteral("gnomeShellStatus"));
    m_status->setWordWrap(true);
    line->addWidget(m_status, 1);
    m_install = new QPushButton(tr("Install for This User"), this);
    m_install->setObjectName(QStringLiteral("gnomeShellInstall"));
    m_install->setToolTip(
        tr("Copies Lumora's extension to ~/.local/share/gnome-shell/extensions and enables it"));
    line->addWidget(m_install);
    rows->addLayout(line);
    auto *caption = TextStyles::captionLabel(
        tr("GNOME lets programs hide other applications, keep a window above every other one, show "
           "a countdown in the top bar and take a global shortcut only through an extension. With "
           "Lumora's extension a session does all of that."),
        this);
    caption->setWordWrap(true);
    rows->addWidget(caption);
    m_result = TextStyles::captionLabel(QString(), this);
    m_result->setObjectName(QStringLiteral("gnomeShellResult"));
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_result->hide();
    rows->addWidget(m_result);
    connect(m_install, &QPushButton::clicked, this, &GnomeShellSection::installForUser);
    setVisible(false);
}

void GnomeShellSection::setExtension(ShellExtension *extension)
{
    m_extension = extension;
    setVisible(m_extension != nullptr);
    refresh();
}

void GnomeShellSection::refresh()
{
    if (!m_extension)
        return;
    const ShellExtension::Status status = m_extension->status();
    QString text;
    if (status.connected)
        text = tr("Lumora's extension is installed, enabled and connected");
    else if (status.installed && status.enabled)
        text = tr("Lumora's extension is installed and enabled, but not connected (%1)").arg(status.problem);
    else if (status.installed)
        text = tr("Lumora's extension is installed but not enabled");
    else
        text = tr("Lumora's extension is not installed");
    m_status->setText(text);
    m_install->setEnabled(!(status.installed && status.enabled));
}

void GnomeShellSection::installForUser()
{
    if (!m_extension)
        return;
    QString error;
    if (!m_extension->installForUser(&error)) {
        m_result->setText(tr("Not installed: %1").arg(error));
    } else {
        const ShellExtension::Status status = m_extension->status();
        if (status.connected)
            m_result->setText(tr("Installed and enabled."));
        else if (m_extension->loadsAfterNewLogin())
            m_result->setText(tr("Installed and enabled. GNOME on Wayland loads a newly installed extension "
                                 "only after you log out and log in again."));
        else
            m_result->setText(tr("Installed and enabled. GNOME loads it when the shell restarts "
                                 "(Alt+F2, then r) or after you log in again."));
    }
    m_result->show();
    refresh();
}

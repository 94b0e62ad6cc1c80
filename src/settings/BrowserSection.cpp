// SPDX-License-Identifier: MIT
#include "BrowserSection.h"

#include "BrowserManifests.h"
#include "DisplayText.h"
#include "RemoteControl.h"
#include "TextStyles.h"

#include <QCoreApplication>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// Paths below the home folder as the user writes them.
QString homeRelative(const QString &path)
{
    const QString home = QDir::homePath();
    return path.startsWith(home + u'/') ? QStringLiteral("~") + path.mid(home.size()) : path;
}

} // namespace

BrowserSection::BrowserSection(QWidget *parent) : QGroupBox(tr("Browsers"), parent)
{
    setObjectName(QStringLiteral("browserSection"));
    auto *rows = new QVBoxLayout(this);
    auto *line = new QHBoxLayout;
    m_status = TextStyles::plainLabel(QString(), this);
    m_status->setObjectName(QStringLiteral("browserStatus"));
    m_status->setWordWrap(true);
    line->addWidget(m_status, 1);
    m_setUp = new QPushButton(tr("Set Up for This User"), this);
    m_setUp->setObjectName(QStringLiteral("browserSetUp"));
    m_setUp->setToolTip(
        tr("Writes the native-messaging manifests for Chromium and Firefox to your home folder"));
    line->addWidget(m_setUp);
    rows->addLayout(line);
    auto *caption =
        TextStyles::captionLabel(tr("With the Lumora Focus extension, a browser keeps to the focus "
                                    "screen's allowed websites while a session runs."),
                                 this);
    caption->setWordWrap(true);
    rows->addWidget(caption);
    m_result = TextStyles::captionLabel(QString(), this);
    m_result->setObjectName(QStringLiteral("browserSetUpResult"));
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_result->hide();
    rows->addWidget(m_result);
    connect(m_setUp, &QPushButton::clicked, this, &BrowserSection::setUpForThisUser);
    showStatus();
}

void BrowserSection::setRemoteControl(RemoteControl *remote)
{
    if (m_remote)
        disconnect(m_remote, nullptr, this, nullptr);
    m_remote = remote;
    if (m_remote)
        connect(m_remote, &RemoteControl::connectedBrowsersChanged, this, &BrowserSection::showStatus);
    showStatus();
}

void BrowserSection::showStatus()
{
    QStringList browsers = m_remote ? m_remote->connectedBrowsers() : QStringList();
    for (QString &name : browsers)
        name = DisplayText::capped(name, kMaxBrowserNameChars);
    m_status->setText(browsers.isEmpty() ? tr("No browser connected")
                                         : tr("Connected: %1").arg(browsers.join(QStringLiteral(", "))));
}

void BrowserSection::setUpForThisUser()
{
    const QString program = m_program.isEmpty() ? QCoreApplication::applicationFilePath() : m_program;
    const BrowserManifests::Result result = BrowserManifests::installForUser(program);
    QStringList lines;
    for (const QString &path : result.written)
        lines << tr("Written: %1").arg(homeRelative(path));
    for (const QString &error : result.errors)
        lines << tr("Not written: %1").arg(homeRelative(error));
    m_result->setText(lines.join(u'\n'));
    m_result->show();
}

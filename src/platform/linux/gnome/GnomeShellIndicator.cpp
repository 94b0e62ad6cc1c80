// SPDX-License-Identifier: MIT
#include "GnomeShellIndicator.h"

#include "GnomeShellExtension.h"

#include <QRegularExpression>

GnomeShellIndicator::GnomeShellIndicator(QObject *parent)
    : TrayIcon(parent), m_extension(std::make_unique<GnomeShellExtension>())
{
    connect(m_extension.get(), &GnomeShellExtension::indicatorActivated, this, &TrayIcon::activated);
    connect(m_extension.get(), &GnomeShellExtension::shellChanged, this, [this] {
        if (m_shown)
            update();
    });
}

GnomeShellIndicator::~GnomeShellIndicator()
{
    if (m_shown && m_extension->state() == GnomeShellExtension::State::connected)
        m_extension->setIndicator(false, {}, {});
}

bool GnomeShellIndicator::isAvailable() const
{
    return m_extension->ensureConnected() == GnomeShellExtension::State::connected;
}

QString GnomeShellIndicator::countdownOf(const QString &title)
{
    static const QRegularExpression countdown(QStringLiteral("^[0-9]{1,3}:[0-5][0-9]$"));
    const QString trimmed = title.trimmed();
    return countdown.match(trimmed).hasMatch() ? trimmed : QString();
}

void GnomeShellIndicator::setIcon(const QIcon &)
{
    // The extension draws the program's symbol itself.
}

void GnomeShellIndicator::setTitle(const QString &title)
{
    const QString countdown = countdownOf(title);
    if (countdown == m_countdown)
        return;
    m_countdown = countdown;
    if (m_shown)
        update();
}

void GnomeShellIndicator::setToolTip(const QString &toolTip)
{
    // The extension takes plain text of one line and bounded length.
    QString text = toolTip.simplified().left(200);
    if (text == m_toolTip)
        return;
    m_toolTip = std::move(text);
    if (m_shown)
        update();
}

void GnomeShellIndicator::show()
{
    m_shown = true;
    update();
}

bool GnomeShellIndicator::isVisible() const
{
    return m_shown && m_extension->state() == GnomeShellExtension::State::connected;
}

QRect GnomeShellIndicator::geometry() const
{
    return {};
}

void GnomeShellIndicator::update()
{
    m_extension->setIndicator(true, m_countdown, m_toolTip);
}

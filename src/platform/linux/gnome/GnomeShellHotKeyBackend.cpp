// SPDX-License-Identifier: MIT
#include "GnomeShellHotKeyBackend.h"

#include "GnomeShellExtension.h"
#include "PortalHotKeyBackend.h"

#include <QStringList>

GnomeShellHotKeyBackend::GnomeShellHotKeyBackend(QObject *parent)
    : QObject(parent), m_extension(std::make_unique<GnomeShellExtension>())
{
    connect(m_extension.get(), &GnomeShellExtension::shortcutActivated, this, [this] {
        if (!m_handler || !m_bound)
            return;
        for (const quint32 kind : {HotKeyEvent::kPressed, HotKeyEvent::kReleased}) {
            HotKeyEvent event;
            event.kind = kind;
            event.hotKeyID = m_boundId;
            m_handler(&event);
        }
    });
}

GnomeShellHotKeyBackend::~GnomeShellHotKeyBackend()
{
    detachFromController();
    if (m_bound && m_extension->state() == GnomeShellExtension::State::connected)
        m_extension->setShortcut({});
}

bool GnomeShellHotKeyBackend::isAvailable() const
{
    return m_extension->ensureConnected() == GnomeShellExtension::State::connected;
}

HotKeyBackend::Keeper GnomeShellHotKeyBackend::keeper() const
{
    return isAvailable() ? Keeper::gnomeShell : Keeper::none;
}

QString GnomeShellHotKeyBackend::accelerator(const QString &trigger)
{
    QStringList parts = trigger.split(QLatin1Char('+'), Qt::SkipEmptyParts);
    if (parts.isEmpty())
        return {};
    const QString key = parts.takeLast();
    QString out;
    for (const QString &part : std::as_const(parts)) {
        if (part == QLatin1String("CTRL"))
            out += QStringLiteral("<Control>");
        else if (part == QLatin1String("ALT"))
            out += QStringLiteral("<Alt>");
        else if (part == QLatin1String("SHIFT"))
            out += QStringLiteral("<Shift>");
        else if (part == QLatin1String("LOGO"))
            out += QStringLiteral("<Super>");
        else
            return {};
    }
    return out + key;
}

std::optional<HotKeyBackend::Reference>
GnomeShellHotKeyBackend::registerHotKey(Key key, ModifierFlags modifiers, EventHotKeyID id)
{
    const QString combination = accelerator(PortalHotKeyBackend::preferredTrigger(key, modifiers));
    if (combination.isEmpty() || !m_extension->setShortcut(combination))
        return std::nullopt;
    m_bound = m_nextReference++;
    m_boundId = id;
    return m_bound;
}

void GnomeShellHotKeyBackend::unregisterHotKey(Reference reference)
{
    if (reference != m_bound)
        return;
    m_bound = 0;
    m_extension->setShortcut({});
}

void GnomeShellHotKeyBackend::installEventHandler(EventHandler handler)
{
    m_handler = std::move(handler);
}

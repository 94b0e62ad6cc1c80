// SPDX-License-Identifier: MIT
#pragma once

#include "HotKeyBackend.h"

#include <QList>

#include <map>

// A hot-key service in memory: it records registrations and delivers presses
// of registered combinations to the installed handler. Like the desktop it
// refuses a combination that is already registered.
class FakeHotKeyBackend : public HotKeyBackend
{
public:
    struct Registration
    {
        quint32 keyCode;
        quint32 modifiers;
        EventHotKeyID id;
    };

    bool available = true;
    bool refuseAll = false;
    std::map<Reference, Registration> registrations;
    QList<Reference> unregistered;
    int handlerInstalls = 0;

    bool isAvailable() const override { return available; }

    std::optional<Reference> registerHotKey(quint32 carbonKeyCode, quint32 carbonModifiers,
                                            EventHotKeyID id) override
    {
        if (refuseAll || find(carbonKeyCode, carbonModifiers))
            return std::nullopt;
        const Reference reference = m_next++;
        registrations[reference] = {carbonKeyCode, carbonModifiers, id};
        return reference;
    }

    void unregisterHotKey(Reference reference) override
    {
        registrations.erase(reference);
        unregistered.append(reference);
    }

    void installEventHandler(EventHandler handler) override
    {
        m_handler = std::move(handler);
        ++handlerInstalls;
    }

    // Presses (or releases) a combination; kHotKeyEventNotHandled when no
    // registration or no handler takes it.
    HotKeyStatus deliver(quint32 keyCode, quint32 modifiers, quint32 kind = HotKeyEvent::kPressed)
    {
        const Registration *registration = find(keyCode, modifiers);
        if (!registration || !m_handler)
            return kHotKeyEventNotHandled;
        HotKeyEvent event;
        event.kind = kind;
        event.hotKeyID = registration->id;
        return m_handler(&event);
    }

    const Registration *find(quint32 keyCode, quint32 modifiers) const
    {
        for (const auto &[reference, registration] : registrations)
            if (registration.keyCode == keyCode && registration.modifiers == modifiers)
                return &registration;
        return nullptr;
    }

private:
    Reference m_next = 1;
    EventHandler m_handler;
};

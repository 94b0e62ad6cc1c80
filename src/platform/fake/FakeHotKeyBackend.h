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
        Key key;
        ModifierFlags modifiers;
        EventHotKeyID id;
    };

    bool available = true;
    bool refuseAll = false;
    std::map<Reference, Registration> registrations;
    QList<Reference> unregistered;
    int handlerInstalls = 0;

    bool isAvailable() const override { return available; }

    std::optional<Reference> registerHotKey(Key key, ModifierFlags modifiers, EventHotKeyID id) override
    {
        if (refuseAll || find(key, modifiers))
            return std::nullopt;
        const Reference reference = m_next++;
        registrations[reference] = {key, modifiers, id};
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
    HotKeyStatus deliver(Key key, ModifierFlags modifiers, quint32 kind = HotKeyEvent::kPressed)
    {
        const Registration *registration = find(key, modifiers);
        if (!registration || !m_handler)
            return kHotKeyEventNotHandled;
        HotKeyEvent event;
        event.kind = kind;
        event.hotKeyID = registration->id;
        return m_handler(&event);
    }

    const Registration *find(Key key, ModifierFlags modifiers) const
    {
        for (const auto &[reference, registration] : registrations)
            if (registration.key == key && registration.modifiers == modifiers)
                return &registration;
        return nullptr;
    }

private:
    Reference m_next = 1;
    EventHandler m_handler;
};

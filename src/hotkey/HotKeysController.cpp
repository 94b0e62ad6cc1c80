// SPDX-License-Identifier: MIT
#include "HotKeysController.h"

#include "HotKey.h"

HotKeyBackend::~HotKeyBackend()
{
    // Too late to unregister anything here: the registrations just go.
    if (m_controller)
        m_controller->detachBackend(this);
}

void HotKeyBackend::detachFromController()
{
    if (m_controller)
        m_controller->setBackend(nullptr);
}

HotKeysController::HotKeysController(HotKeyBackend *backend)
{
    setBackend(backend);
}

HotKeysController::~HotKeysController()
{
    setBackend(nullptr);
    for (auto &box : m_hotKeys)
        if (box.hotKey)
            box.hotKey->m_controller = nullptr;
}

QMap<quint32, HotKeyBox>::iterator HotKeysController::findBox(const QUuid &identifier)
{
    for (auto it = m_hotKeys.begin(); it != m_hotKeys.end(); ++it)
        if (it->identifier == identifier)
            return it;
    return m_hotKeys.end();
}

void HotKeysController::forgetReferences()
{
    for (auto &box : m_hotKeys)
        box.backendReference.reset();
}

void HotKeysController::setBackend(HotKeyBackend *backend)
{
    if (backend == m_backend)
        return;
    if (m_backend) {
        for (const auto &box : std::as_const(m_hotKeys))
            if (box.backendReference)
                m_backend->unregisterHotKey(*box.backendReference);
        m_backend->m_controller = nullptr;
    }
    forgetReferences();
    // A backend serves one controller at a time.
    if (backend && backend->m_controller)
        backend->m_controller->setBackend(nullptr);
    m_backend = backend;
    if (m_backend)
        m_backend->m_controller = this;
    m_eventHandlerInstalled = false;
}

void HotKeysController::detachBackend(HotKeyBackend *backend)
{
    if (backend != m_backend)
        return;
    // The backend is being destroyed: its registrations go with it.
    forgetReferences();
    m_backend->m_controller = nullptr;
    m_backend = nullptr;
    m_eventHandlerInstalled = false;
}

void HotKeysController::registerHotKey(HotKey *hotKey)
{
    if (!hotKey)
        return;
    if (findBox(hotKey->identifier()) != m_hotKeys.end())
        return;

    const quint32 number = ++m_counter;
    HotKeyBox &box = m_hotKeys[number];
    box.identifier = hotKey->identifier();
    box.hotKey = hotKey;
    box.registrationNumber = number;

    if (!m_backend)
        return;
    const KeyCombo combo = hotKey->keyCombo();
    // A stored code no key has cannot be registered anywhere.
    const std::optional<Key> key = combo.key();
    if (!key)
        return;
    const auto reference =
        m_backend->registerHotKey(*key, combo.modifiers(), EventHotKeyID{kSignature, number});
    // A refused registration keeps its box without a reference: the hot key
    // exists but never fires.
    if (!reference)
        return;
    box.backendReference = *reference;
    if (!m_eventHandlerInstalled) {
        m_backend->installEventHandler([this](const HotKeyEvent *event) { return handleEvent(event); });
        m_eventHandlerInstalled = true;
    }
}

bool HotKeysController::isRegistered(const HotKey *hotKey) const
{
    if (!hotKey)
        return false;
    for (const HotKeyBox &box : m_hotKeys)
        if (box.identifier == hotKey->identifier())
            return box.backendReference.has_value();
    return false;
}

void HotKeysController::unregisterHotKey(HotKey *hotKey)
{
    if (!hotKey)
        return;
    const auto it = findBox(hotKey->identifier());
    if (it == m_hotKeys.end())
        return;
    if (it->backendReference && m_backend)
        m_backend->unregisterHotKey(*it->backendReference);
    it->hotKey.clear();
    m_hotKeys.erase(it);
}

HotKeyStatus HotKeysController::handleEvent(const HotKeyEvent *event)
{
    if (!event)
        return kHotKeyEventNotHandled;
    if (event->parameterStatus != kHotKeyNoError)
        return event->parameterStatus;
    if (event->hotKeyID.signature != kSignature)
        return kHotKeyEventNotHandled;

    const auto it = m_hotKeys.find(event->hotKeyID.id);
    if (it == m_hotKeys.end())
        return kHotKeyEventNotHandled;
    const QPointer<HotKey> hotKey = it->hotKey;
    if (!hotKey) {
        // Its owner went away without unregistering: let go of the
        // registration as well as the entry.
        if (it->backendReference && m_backend)
            m_backend->unregisterHotKey(*it->backendReference);
        m_hotKeys.erase(it);
        return kHotKeyEventNotHandled;
    }

    HotKey::Handler handler;
    switch (event->kind) {
    case HotKeyEvent::kPressed:
        handler = hotKey->keyDownHandler();
        break;
    case HotKeyEvent::kReleased:
        handler = hotKey->keyUpHandler();
        break;
    default:
        return kHotKeyEventNotHandled;
    }
    if (hotKey->isPaused() || !handler)
        return kHotKeyEventNotHandled;
    // A copy: the handler may release its own hot key.
    handler();
    return kHotKeyNoError;
}

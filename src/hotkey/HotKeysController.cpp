#include "HotKeysController.h"

#include "HotKey.h"

namespace {

struct Registry
{
    QMap<quint32, HotKeyBox> hotKeys;
    quint32 counter = 0;
    HotKeyBackend *backend = nullptr;
    bool eventHandlerInstalled = false;
};

Registry &registry()
{
    static Registry instance;
    return instance;
}

QMap<quint32, HotKeyBox>::iterator findBox(const QUuid &identifier)
{
    auto &boxes = registry().hotKeys;
    for (auto it = boxes.begin(); it != boxes.end(); ++it)
        if (it->identifier == identifier)
            return it;
    return boxes.end();
}

void forgetReferences()
{
    for (auto &box : registry().hotKeys)
        box.carbonEventHotKey.reset();
}

} // namespace

HotKeyBackend::~HotKeyBackend()
{
    HotKeysController::detachBackend(this);
}

void HotKeysController::setBackend(HotKeyBackend *backend)
{
    auto &r = registry();
    if (backend == r.backend)
        return;
    if (r.backend) {
        for (const auto &box : std::as_const(r.hotKeys))
            if (box.carbonEventHotKey)
                r.backend->unregisterHotKey(*box.carbonEventHotKey);
    }
    forgetReferences();
    r.backend = backend;
    r.eventHandlerInstalled = false;
}

HotKeyBackend *HotKeysController::backend()
{
    return registry().backend;
}

void HotKeysController::detachBackend(HotKeyBackend *backend)
{
    auto &r = registry();
    if (backend != r.backend)
        return;
    // The backend is being destroyed: its registrations go with it.
    forgetReferences();
    r.backend = nullptr;
    r.eventHandlerInstalled = false;
}

void HotKeysController::registerHotKey(HotKey *hotKey)
{
    if (!hotKey)
        return;
    auto &r = registry();
    if (findBox(hotKey->identifier()) != r.hotKeys.end())
        return;

    const quint32 number = ++r.counter;
    HotKeyBox &box = r.hotKeys[number];
    box.identifier = hotKey->identifier();
    box.hotKey = hotKey;
    box.carbonHotKeyID = number;

    if (!r.backend)
        return;
    const KeyCombo combo = hotKey->keyCombo();
    const auto reference = r.backend->registerHotKey(combo.carbonKeyCode(), combo.carbonModifiers(),
                                                     EventHotKeyID{kSignature, number});
    // A refused registration keeps its box without a reference: the hot key
    // exists but never fires.
    if (!reference)
        return;
    box.carbonEventHotKey = *reference;
    if (!r.eventHandlerInstalled) {
        r.backend->installEventHandler(&HotKeysController::handleEvent);
        r.eventHandlerInstalled = true;
    }
}

void HotKeysController::unregisterHotKey(HotKey *hotKey)
{
    if (!hotKey)
        return;
    auto &r = registry();
    const auto it = findBox(hotKey->identifier());
    if (it == r.hotKeys.end())
        return;
    if (it->carbonEventHotKey && r.backend)
        r.backend->unregisterHotKey(*it->carbonEventHotKey);
    it->hotKey.clear();
    r.hotKeys.erase(it);
}

HotKeyStatus HotKeysController::handleEvent(const HotKeyEvent *event)
{
    if (!event)
        return kHotKeyEventNotHandled;
    if (event->parameterStatus != kHotKeyNoError)
        return event->parameterStatus;
    if (event->hotKeyID.signature != kSignature)
        return kHotKeyEventNotHandled;

    auto &r = registry();
    const auto it = r.hotKeys.find(event->hotKeyID.id);
    if (it == r.hotKeys.end())
        return kHotKeyEventNotHandled;
    const QPointer<HotKey> hotKey = it->hotKey;
    if (!hotKey) {
        // Its owner went away without unregistering: let go of the
        // registration as well as the entry.
        if (it->carbonEventHotKey && r.backend)
            r.backend->unregisterHotKey(*it->carbonEventHotKey);
        r.hotKeys.erase(it);
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

const QMap<quint32, HotKeyBox> &HotKeysController::hotKeys()
{
    return registry().hotKeys;
}

bool HotKeysController::isEventHandlerInstalled()
{
    return registry().eventHandlerInstalled;
}

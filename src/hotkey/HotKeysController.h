// SPDX-License-Identifier: MIT
#pragma once

#include "HotKeyBackend.h"

#include <QMap>
#include <QPointer>
#include <QUuid>

#include <optional>

class HotKey;

// The registry's entry for one registration.
struct HotKeyBox
{
    QUuid identifier;
    QPointer<HotKey> hotKey;
    // The number events name the registration by.
    quint32 registrationNumber = 0;
    // The backend's handle, when the backend took the combination.
    std::optional<HotKeyBackend::Reference> backendReference;
};

// The registry between HotKey objects and the desktop's hot-key service: it
// numbers registrations, registers them with the backend and dispatches the
// backend's events to the hot keys' handlers. The shell owns the program's
// one controller and hands it to whatever makes hot keys. Main thread only.
class HotKeysController
{
public:
    // 'LmHK': placed in every registration's identifier and checked on every
    // event, so that events of other registrants are passed on.
    static constexpr quint32 kSignature =
        (quint32('L') << 24) | (quint32('m') << 16) | (quint32('H') << 8) | 'K';

    explicit HotKeysController(HotKeyBackend *backend = nullptr);
    // Unregisters what is registered; hot keys that outlive the controller
    // are never registered again.
    ~HotKeysController();
    HotKeysController(const HotKeysController &) = delete;
    HotKeysController &operator=(const HotKeysController &) = delete;

    // The service registrations go to. Not owned; a backend detaches itself
    // when destroyed. Changing it drops the registrations made with the old
    // one (their hot keys stay in the table and simply never fire). With no
    // backend every registration fails silently.
    void setBackend(HotKeyBackend *backend);
    HotKeyBackend *backend() const { return m_backend; }

    void registerHotKey(HotKey *hotKey);
    void unregisterHotKey(HotKey *hotKey);
    // Whether the desktop took the hot key's combination (false when it
    // refused it or there is no backend).
    bool isRegistered(const HotKey *hotKey) const;

    // The installed event handler: kHotKeyNoError when a handler ran,
    // kHotKeyEventNotHandled (or the event's read failure) otherwise.
    HotKeyStatus handleEvent(const HotKeyEvent *event);

    // Registration number -> entry.
    const QMap<quint32, HotKeyBox> &hotKeys() const { return m_hotKeys; }
    // Whether the event handler has been installed on the current backend.
    bool isEventHandlerInstalled() const { return m_eventHandlerInstalled; }

private:
    friend class HotKeyBackend;
    void detachBackend(HotKeyBackend *backend);
    QMap<quint32, HotKeyBox>::iterator findBox(const QUuid &identifier);
    void forgetReferences();

    QMap<quint32, HotKeyBox> m_hotKeys;
    quint32 m_counter = 0;
    HotKeyBackend *m_backend = nullptr;
    bool m_eventHandlerInstalled = false;
};

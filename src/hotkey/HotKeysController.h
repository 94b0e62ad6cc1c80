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
    quint32 carbonHotKeyID = 0;
    std::optional<HotKeyBackend::Reference> carbonEventHotKey;
};

// The process-wide registry between HotKey objects and the desktop's hot-key
// service: it numbers registrations, registers them with the backend and
// dispatches the backend's events to the hot keys' handlers. No instances;
// main thread only.
class HotKeysController
{
public:
    HotKeysController() = delete;

    // 'LmHK': placed in every registration's identifier and checked on every
    // event, so that events of other registrants are passed on.
    static constexpr quint32 kSignature =
        (quint32('L') << 24) | (quint32('m') << 16) | (quint32('H') << 8) | 'K';

    // The service registrations go to. Not owned; a backend detaches itself
    // when destroyed. Changing it drops the registrations made with the old
    // one (their hot keys stay in the table and simply never fire). With no
    // backend every registration fails silently.
    static void setBackend(HotKeyBackend *backend);
    static HotKeyBackend *backend();

    static void registerHotKey(HotKey *hotKey);
    static void unregisterHotKey(HotKey *hotKey);

    // The installed event handler: kHotKeyNoError when a handler ran,
    // kHotKeyEventNotHandled (or the event's read failure) otherwise.
    static HotKeyStatus handleEvent(const HotKeyEvent *event);

    // Registration number -> entry.
    static const QMap<quint32, HotKeyBox> &hotKeys();
    // Whether the event handler has been installed on the current backend.
    static bool isEventHandlerInstalled();

private:
    friend class HotKeyBackend;
    static void detachBackend(HotKeyBackend *backend);
};

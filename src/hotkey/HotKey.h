// SPDX-License-Identifier: MIT
#pragma once

#include "KeyCombo.h"

#include <QObject>
#include <QUuid>

#include <functional>

class HotKeysController;

// One system-wide shortcut with its handlers, registered with a controller
// from creation until it is paused or destroyed; pausing keeps the object and
// its handlers, and un-pausing registers it again (under a new registration
// number). Without a controller (or once it is gone) it never fires.
class HotKey : public QObject
{
    Q_OBJECT
public:
    using Handler = std::function<void()>;

    HotKey(HotKeysController *controller, const KeyCombo &keyCombo, Handler keyDownHandler = {},
           Handler keyUpHandler = {}, QObject *parent = nullptr);
    // The stored form: a virtual key code and a modifier mask (see KeyCombo).
    HotKey(HotKeysController *controller, quint32 keyCode, quint32 modifierMask, Handler keyDownHandler = {},
           Handler keyUpHandler = {}, QObject *parent = nullptr);
    HotKey(HotKeysController *controller, Key key, ModifierFlags modifiers, Handler keyDownHandler = {},
           Handler keyUpHandler = {}, QObject *parent = nullptr);
    ~HotKey() override;

    QUuid identifier() const { return m_identifier; }
    KeyCombo keyCombo() const { return m_keyCombo; }

    // Called on the main thread inside the desktop's event delivery; handlers
    // that do real work should queue it.
    const Handler &keyDownHandler() const { return m_keyDownHandler; }
    void setKeyDownHandler(Handler handler) { m_keyDownHandler = std::move(handler); }
    const Handler &keyUpHandler() const { return m_keyUpHandler; }
    void setKeyUpHandler(Handler handler) { m_keyUpHandler = std::move(handler); }

    bool isPaused() const { return m_isPaused; }
    // true unregisters, false registers again; repeating a value is harmless.
    void setPaused(bool paused);

private:
    friend class HotKeysController;
    HotKeysController *m_controller = nullptr;
    QUuid m_identifier = QUuid::createUuid();
    KeyCombo m_keyCombo;
    Handler m_keyDownHandler;
    Handler m_keyUpHandler;
    bool m_isPaused = false;
};

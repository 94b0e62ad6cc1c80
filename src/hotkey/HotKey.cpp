// SPDX-License-Identifier: MIT
#include "HotKey.h"

#include "HotKeysController.h"

HotKey::HotKey(HotKeysController *controller, const KeyCombo &keyCombo, Handler keyDownHandler,
               Handler keyUpHandler, QObject *parent)
    : QObject(parent), m_controller(controller), m_keyCombo(keyCombo),
      m_keyDownHandler(std::move(keyDownHandler)), m_keyUpHandler(std::move(keyUpHandler))
{
    if (m_controller)
        m_controller->registerHotKey(this);
}

HotKey::HotKey(HotKeysController *controller, quint32 keyCode, quint32 modifierMask, Handler keyDownHandler,
               Handler keyUpHandler, QObject *parent)
    : HotKey(controller, KeyCombo(keyCode, modifierMask), std::move(keyDownHandler), std::move(keyUpHandler),
             parent)
{}

HotKey::HotKey(HotKeysController *controller, Key key, ModifierFlags modifiers, Handler keyDownHandler,
               Handler keyUpHandler, QObject *parent)
    : HotKey(controller, KeyCombo(key, modifiers), std::move(keyDownHandler), std::move(keyUpHandler), parent)
{}

HotKey::~HotKey()
{
    if (m_controller)
        m_controller->unregisterHotKey(this);
}

void HotKey::setPaused(bool paused)
{
    m_isPaused = paused;
    if (!m_controller)
        return;
    if (paused)
        m_controller->unregisterHotKey(this);
    else
        m_controller->registerHotKey(this);
}

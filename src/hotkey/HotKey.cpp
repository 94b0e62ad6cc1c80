#include "HotKey.h"

#include "HotKeysController.h"

HotKey::HotKey(const KeyCombo &keyCombo, Handler keyDownHandler, Handler keyUpHandler, QObject *parent)
    : QObject(parent), m_keyCombo(keyCombo), m_keyDownHandler(std::move(keyDownHandler)),
      m_keyUpHandler(std::move(keyUpHandler))
{
    HotKeysController::registerHotKey(this);
}

HotKey::HotKey(quint32 carbonKeyCode, quint32 carbonModifiers, Handler keyDownHandler, Handler keyUpHandler,
               QObject *parent)
    : HotKey(KeyCombo(carbonKeyCode, carbonModifiers), std::move(keyDownHandler), std::move(keyUpHandler),
             parent)
{}

HotKey::HotKey(Key key, ModifierFlags modifiers, Handler keyDownHandler, Handler keyUpHandler,
               QObject *parent)
    : HotKey(KeyCombo(key, modifiers), std::move(keyDownHandler), std::move(keyUpHandler), parent)
{}

HotKey::~HotKey()
{
    HotKeysController::unregisterHotKey(this);
}

void HotKey::setPaused(bool paused)
{
    m_isPaused = paused;
    if (paused)
        HotKeysController::unregisterHotKey(this);
    else
        HotKeysController::registerHotKey(this);
}

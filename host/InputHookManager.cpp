#include "host/InputHookManager.h"

namespace {
InputHookManager *current = nullptr;
}

InputHookManager::InputHookManager(bool alternateBackslash)
    : m_alternateBackslash(alternateBackslash),
      m_tables(keys::KeyTables::build(alternateBackslash))
{
    current = this;
    m_backend = createInputBackend(*this);
    installHooks();
}

InputHookManager::~InputHookManager()
{
    removeHooks();
    m_backend.reset();
    if (current == this)
        current = nullptr;
}

InputHookManager *InputHookManager::instance()
{
    return current;
}

bool InputHookManager::installHooks()
{
    if (m_installed)
        removeHooks();
    m_installed = m_backend && m_backend->install();
    return m_installed;
}

void InputHookManager::removeHooks()
{
    if (m_installed && m_backend)
        m_backend->remove();
    m_installed = false;
}

void InputHookManager::setKeyboardCallback(KeyboardCallback callback, void *context)
{
    m_keyboard = callback;
    m_keyboardContext = context;
}

void InputHookManager::setMouseCallback(MouseCallback callback, void *context)
{
    m_mouse = callback;
    m_mouseContext = context;
}

void InputHookManager::setCopyDataCallback(CopyDataCallback callback, void *context)
{
    m_copyData = callback;
    m_copyDataContext = context;
}

void InputHookManager::keyEvent(unsigned scanCode, bool extended, unsigned flags, bool pressed)
{
    const uint8_t hid = keys::translateKey(m_tables, scanCode, extended, flags);
    if (hid == 0 || !m_keyState.change(hid, pressed))
        return;
    if (m_keyboard)
        m_keyboard(pressed, hid, m_keyboardContext);
}

void InputHookManager::mouseMessage(unsigned message, int x, int y)
{
    keys::MouseButtonEvent button;
    if (!keys::mouseButtonForMessage(message, &button) || !m_mouse)
        return;
    m_mouse(button.code, button.pressed, x, y, m_mouseContext);
}

bool InputHookManager::copyData(const NoticeRecord &record)
{
    if (!m_copyData)
        return false;
    m_copyData(record, m_copyDataContext);
    return true;
}

#pragma once

// The input-hook manager: while the user records a macro or picks a key, the
// scene must see every key press and release and the three main mouse
// buttons of the whole desktop, as HID usage codes. The manager holds the
// key-code tables, the key state and the callbacks; a platform backend
// (host/linux, host/win) feeds it the desktop's events.
//
// Qt-free, so that the Windows side can be built and checked on its own.

#include "host/KeyTables.h"

#include <cstddef>
#include <cstdint>
#include <memory>

class InputHookManager;

// A notice handed over by another process: the copy-data record of Windows
// (dwData, cbData, lpData), or the same three fields from the single-instance
// socket elsewhere. size is how many bytes data really holds.
struct NoticeRecord
{
    uint32_t tag = 0;
    uint32_t declaredLength = 0;
    const char *data = nullptr;
    std::size_t size = 0;
};

// Captures the desktop's input for a manager. One implementation per OS.
class InputBackend
{
public:
    virtual ~InputBackend() = default;
    virtual bool install() = 0;
    virtual void remove() = 0;
};

std::unique_ptr<InputBackend> createInputBackend(InputHookManager &manager);

class InputHookManager
{
public:
    using KeyboardCallback = void (*)(bool pressed, int hidCode, void *context);
    using MouseCallback = void (*)(int buttonCode, bool pressed, int x, int y, void *context);
    using CopyDataCallback = void (*)(const NoticeRecord &record, void *context);

    // Builds the tables and installs the hooks; whether they could be
    // installed is left to installHooks() callers who care.
    explicit InputHookManager(bool alternateBackslash);
    ~InputHookManager();

    InputHookManager(const InputHookManager &) = delete;
    InputHookManager &operator=(const InputHookManager &) = delete;

    // The manager the platform's hook procedures report to (the latest one
    // built), or null.
    static InputHookManager *instance();

    // Removes installed hooks first; true when capture runs afterwards.
    bool installHooks();
    void removeHooks();

    void setKeyboardCallback(KeyboardCallback callback, void *context);
    void setMouseCallback(MouseCallback callback, void *context);
    void setCopyDataCallback(CopyDataCallback callback, void *context);
    bool hasCopyDataCallback() const { return m_copyData != nullptr; }

    // Entry points of the backends, called on the GUI thread.
    void keyEvent(unsigned scanCode, bool extended, unsigned flags, bool pressed);
    void mouseMessage(unsigned message, int x, int y);
    // Hands a notice to the copy-data callback; true when one is set, which
    // is when the notice counts as handled.
    bool copyData(const NoticeRecord &record);

    const keys::KeyTables &tables() const { return m_tables; }
    bool alternateBackslash() const { return m_alternateBackslash; }

private:
    bool m_alternateBackslash;
    keys::KeyTables m_tables;
    keys::KeyState m_keyState;
    std::unique_ptr<InputBackend> m_backend;
    bool m_installed = false;

    KeyboardCallback m_keyboard = nullptr;
    void *m_keyboardContext = nullptr;
    MouseCallback m_mouse = nullptr;
    void *m_mouseContext = nullptr;
    CopyDataCallback m_copyData = nullptr;
    void *m_copyDataContext = nullptr;
};

// Low-level keyboard and mouse hooks of Windows. They see the input of the
// whole desktop and run on the thread that installed them while it pumps
// messages; events are always passed on, never swallowed.
#ifdef _WIN32

#include "host/InputHookManager.h"

#include <windows.h>

namespace {

LRESULT CALLBACK keyboardProc(int code, WPARAM message, LPARAM lParam)
{
    InputHookManager *manager = InputHookManager::instance();
    // Only HC_ACTION carries an event record; other codes are passed on
    // untouched, as the hook contract asks.
    if (code == HC_ACTION && manager) {
        const auto *info = reinterpret_cast<const KBDLLHOOKSTRUCT *>(lParam);
        const bool pressed = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        manager->keyEvent(info->scanCode, (info->flags & LLKHF_EXTENDED) != 0, info->flags, pressed);
    }
    return CallNextHookEx(nullptr, code, message, lParam);
}

LRESULT CALLBACK mouseProc(int code, WPARAM message, LPARAM lParam)
{
    InputHookManager *manager = InputHookManager::instance();
    if (code == HC_ACTION && manager && message >= WM_LBUTTONDOWN && message <= WM_MBUTTONUP) {
        const auto *info = reinterpret_cast<const MSLLHOOKSTRUCT *>(lParam);
        manager->mouseMessage(unsigned(message), info->pt.x, info->pt.y);
    }
    return CallNextHookEx(nullptr, code, message, lParam);
}

class WinInputBackend : public InputBackend
{
public:
    bool install() override
    {
        if (m_keyboard || m_mouse)
            remove();
        HINSTANCE module = GetModuleHandleW(nullptr);
        m_keyboard = SetWindowsHookExW(WH_KEYBOARD_LL, keyboardProc, module, 0);
        m_mouse = SetWindowsHookExW(WH_MOUSE_LL, mouseProc, module, 0);
        if (m_keyboard && m_mouse)
            return true;
        // Half a capture is no capture: release whichever one did install.
        remove();
        return false;
    }

    void remove() override
    {
        if (m_keyboard)
            UnhookWindowsHookEx(m_keyboard);
        if (m_mouse)
            UnhookWindowsHookEx(m_mouse);
        m_keyboard = nullptr;
        m_mouse = nullptr;
    }

    ~WinInputBackend() override { remove(); }

private:
    HHOOK m_keyboard = nullptr;
    HHOOK m_mouse = nullptr;
};

} // namespace

std::unique_ptr<InputBackend> createInputBackend(InputHookManager &)
{
    return std::make_unique<WinInputBackend>();
}

#endif // _WIN32

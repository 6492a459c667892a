#pragma once

// The foreground-window hook of Windows: the system calls back whenever
// another window comes to the foreground, on the thread that installed the
// hook while it pumps messages. Qt-free, so the Windows check builds it on
// its own.

#include <string>

#ifdef _WIN32
#include <windows.h>

class ForegroundHook
{
public:
    // exeName is the executable's file name without folder, windowClass the
    // window's class name; both UTF-8, either may be empty.
    using Callback = void (*)(const std::string &exeName, const std::string &windowClass, void *context);

    ForegroundHook() = default;
    ~ForegroundHook() { remove(); }
    ForegroundHook(const ForegroundHook &) = delete;
    ForegroundHook &operator=(const ForegroundHook &) = delete;

    bool install(Callback callback, void *context);
    void remove();
    bool installed() const { return m_hook != nullptr; }

    // The names for one window; false when it is gone.
    static bool describe(HWND window, std::string *exeName, std::string *windowClass);

private:
    static void CALLBACK onEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child,
                                 DWORD, DWORD);

    HWINEVENTHOOK m_hook = nullptr;
    Callback m_callback = nullptr;
    void *m_context = nullptr;
};
#endif

#ifdef _WIN32

#include "host/win/WinForegroundHook.h"

namespace {

// The one installed hook: the event procedure has no context argument.
ForegroundHook *current = nullptr;

std::string utf8(const wchar_t *text, int length)
{
    if (length <= 0)
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(size > 0 ? size : 0), '\0');
    if (size > 0)
        WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace

bool ForegroundHook::install(Callback callback, void *context)
{
    remove();
    m_callback = callback;
    m_context = context;
    // Out of context: the callback runs in this process, no DLL is injected
    // into other programs.
    m_hook = SetWinEventHook(EVENT_SYSTEM_FOREGROUND, EVENT_SYSTEM_FOREGROUND, nullptr, onEvent, 0, 0,
                             WINEVENT_OUTOFCONTEXT | WINEVENT_SKIPOWNPROCESS);
    if (m_hook)
        current = this;
    return m_hook != nullptr;
}

void ForegroundHook::remove()
{
    if (m_hook)
        UnhookWinEvent(m_hook);
    m_hook = nullptr;
    if (current == this)
        current = nullptr;
}

bool ForegroundHook::describe(HWND window, std::string *exeName, std::string *windowClass)
{
    if (!window || !IsWindow(window))
        return false;
    wchar_t cls[256];
    const int clsLength = GetClassNameW(window, cls, 256);
    *windowClass = utf8(cls, clsLength);

    exeName->clear();
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    // The limited right is enough for the image name and is granted for
    // processes of other users and elevated ones, too.
    if (HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid)) {
        wchar_t path[MAX_PATH * 4];
        DWORD size = DWORD(sizeof path / sizeof path[0]);
        if (QueryFullProcessImageNameW(process, 0, path, &size)) {
            int start = int(size);
            while (start > 0 && path[start - 1] != L'\\' && path[start - 1] != L'/')
                --start;
            *exeName = utf8(path + start, int(size) - start);
        }
        CloseHandle(process);
    }
    return true;
}

void CALLBACK ForegroundHook::onEvent(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG, DWORD,
                                      DWORD)
{
    if (event != EVENT_SYSTEM_FOREGROUND || object != OBJID_WINDOW || !current || !current->m_callback)
        return;
    std::string exe, cls;
    if (describe(window, &exe, &cls))
        current->m_callback(exe, cls, current->m_context);
}

#endif

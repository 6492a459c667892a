#ifdef _WIN32

#include "host/win/WinNotice.h"

#include <windows.h>

bool noticeFromMessage(const void *message, NoticeRecord *record)
{
    const MSG *msg = static_cast<const MSG *>(message);
    if (!msg || msg->message != WM_COPYDATA || !msg->lParam)
        return false;
    const auto *copy = reinterpret_cast<const COPYDATASTRUCT *>(msg->lParam);
    record->tag = uint32_t(copy->dwData);
    record->declaredLength = copy->cbData;
    record->data = static_cast<const char *>(copy->lpData);
    // Only cbData bytes are readable; none without a buffer.
    record->size = copy->lpData ? copy->cbData : 0;
    return true;
}

#endif

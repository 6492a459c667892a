#pragma once

// The copy-data record of a WM_COPYDATA message, for the notice filter.
#ifdef _WIN32

#include "host/InputHookManager.h"

// message is the MSG of a native event; false for any other message.
bool noticeFromMessage(const void *message, NoticeRecord *record);

#endif

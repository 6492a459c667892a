// The report cipher: for any 8-byte block and any six key bytes,
// deciphering undoes enciphering and the other way round, and the key is
// left as it was.

#include "FuzzSupport.h"

#include "device/Hid_Thread.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 8)
        return 0;
    uchar key[8] = {};
    std::memcpy(key, data + 8, std::min<size_t>(size - 8, sizeof key));
    uchar keyBefore[8];
    std::memcpy(keyBefore, key, sizeof key);

    uchar block[8];
    std::memcpy(block, data, 8);
    Hid_Thread::USBDataEncryption(block, key);
    Hid_Thread::USBDataDecipher(block, key);
    FUZZ_CHECK(std::memcmp(block, data, 8) == 0);

    Hid_Thread::USBDataDecipher(block, key);
    Hid_Thread::USBDataEncryption(block, key);
    FUZZ_CHECK(std::memcmp(block, data, 8) == 0);
    FUZZ_CHECK(std::memcmp(key, keyBefore, sizeof key) == 0);
    return 0;
}

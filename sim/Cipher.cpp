// The firmware's side of the report cipher: an 8-byte block, keyed by the
// device's six-character secrecy code. Written independently of the
// program's transport so that each can check the other.
#include "sim/VirtualMouse.h"

#include <utility>

namespace vmouse {

namespace {

const uint8_t AddTable[8] = {'D', 'u', 'K', 'e', 's', 'V', 'a', 'm'};

uint8_t nibbleSwap(uint8_t x)
{
    return uint8_t((x << 4) | (x >> 4));
}

uint64_t load(const uint8_t b[8])
{
    uint64_t v = 0;
    for (int i = 0; i < 8; ++i)
        v = (v << 8) | b[i];
    return v;
}

void store(uint64_t v, uint8_t b[8])
{
    for (int i = 7; i >= 0; --i, v >>= 8)
        b[i] = uint8_t(v);
}

void exchange(uint8_t b[8])
{
    std::swap(b[0], b[5]);
    std::swap(b[1], b[4]);
    std::swap(b[2], b[7]);
    std::swap(b[3], b[6]);
}

// Only the six variable bytes take part; the key's outer bytes are unused.
void mixKey(uint8_t b[8], const std::string &code)
{
    for (int i = 1; i <= 6; ++i)
        b[i] ^= i - 1 < int(code.size()) ? uint8_t(code[size_t(i - 1)]) : uint8_t(0);
}

} // namespace

void encipher(uint8_t b[8], const std::string &code)
{
    exchange(b);
    mixKey(b, code);
    const uint64_t v = load(b);
    store((v << 3) | (v >> 61), b);
    for (int i = 0; i < 8; ++i)
        b[i] = uint8_t(b[i] + nibbleSwap(AddTable[i]));
}

void decipher(uint8_t b[8], const std::string &code)
{
    for (int i = 0; i < 8; ++i)
        b[i] = uint8_t(b[i] - nibbleSwap(AddTable[i]));
    const uint64_t v = load(b);
    store((v >> 3) | (v << 61), b);
    mixKey(b, code);
    exchange(b);
}

} // namespace vmouse

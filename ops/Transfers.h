#pragma once

#include <QVariant>
#include <QVariantList>

#include <array>
#include <optional>

// Payloads of the macro and gun transfers.
namespace Transfers {

constexpr int MacroPayloadSize = 128;
constexpr int MacroSlotCount = 12;

using MacroPayload = std::array<uchar, MacroPayloadSize>;

// The scene's macro byte stream in a 128-byte payload: element i as byte i,
// elements after the 128th cut off, the rest zero.
MacroPayload macroPayload(const QVariantList &macroData);

// The device's macro number (1-12) for a macro slot (0-11); nothing for a
// slot the device does not have, or an index that is not a number.
std::optional<uchar> macroNumber(const QVariant &macroIndex);

struct GunValues
{
    uchar count = 0;
    uchar x = 0;
    uchar y = 0;
};

// Shot count, X and Y correction as low bytes; missing values are 0.
GunValues gunValues(const QVariantList &src6);

// The Y correction for the 553 family: negated (two's complement byte) when
// the third keyboard-option byte says the vertical axis is inverted.
uchar gunY553(uchar y, uchar keyboardOption3);

} // namespace Transfers

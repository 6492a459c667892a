#include "ops/Transfers.h"

namespace Transfers {

MacroPayload macroPayload(const QVariantList &macroData)
{
    MacroPayload p{};
    for (int i = 0; i < MacroPayloadSize && i < macroData.size(); ++i)
        p[size_t(i)] = uchar(macroData.at(i).toInt());
    return p;
}

std::optional<uchar> macroNumber(const QVariant &macroIndex)
{
    bool ok = false;
    const qlonglong slot = macroIndex.toLongLong(&ok);
    // Compared before any narrowing, so that slot 256 is not taken for 0.
    if (!ok || slot < 0 || slot >= MacroSlotCount)
        return std::nullopt;
    return uchar(slot + 1);
}

GunValues gunValues(const QVariantList &src6)
{
    auto value = [&](int i) { return i < src6.size() ? uchar(src6.at(i).toUInt() & 0xFF) : uchar(0); };
    return {value(0), value(1), value(2)};
}

uchar gunY553(uchar y, uchar keyboardOption3)
{
    return keyboardOption3 ? uchar(-y) : y;
}

} // namespace Transfers

#pragma once

#include <QString>

// The two firmware protocol families. The 553 family has one command per
// setting; the 560 family keeps most settings in per-profile 128-byte blocks.
enum class Family { Hid553, Hid560 };

// "560" selects the 560 family, any other text (empty included) the 553 one.
inline Family familyOf(const QString &icType)
{
    return icType == QLatin1String("560") ? Family::Hid560 : Family::Hid553;
}

#pragma once

#include <QVariantList>

#include <array>

// Lighting effects and colours as the firmware takes them.
namespace Lighting {

constexpr int ColourBytes = 24; // eight colours, R G B each

// The three effect bytes. On a colourful device: effect code, brightness
// byte, speed byte. On a single-colour device: code, value, mode byte.
struct Effect
{
    uchar code = 0;
    uchar second = 0;
    uchar third = 0;
    bool operator==(const Effect &) const = default;
};

// Effect of a colourful (RGB) device from the scene's effect index (0-10),
// speed step and brightness step (0-4 each).
Effect colourful(uchar effect, uchar speedStep, uchar brightnessStep);

// Effect of a single-colour device from the scene's effect index (0 Static,
// 1 Breath, 2 Neon, 3 OFF, 4 Breath Loop).
Effect singleColour(uchar effect, uchar speedStep, uchar brightnessStep);

// Mode byte that a single-colour device that is not a 55328 always gets on
// the 553 family, and that the 560 family writes into every profile block.
constexpr uchar PlainModeByte = 2;

using Colours = std::array<uchar, ColourBytes>;

// The first 24 values of the list as bytes; missing ones are 0.
Colours colours(const QVariantList &src24);

// Colour 8 (bytes 21-23) is not black.
bool hasEighthColour(const Colours &c);

} // namespace Lighting

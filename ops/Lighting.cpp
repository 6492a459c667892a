#include "ops/Lighting.h"

namespace Lighting {

namespace {

constexpr int StepCount = 5;
using StepRow = std::array<uchar, StepCount>;

uchar byStep(const StepRow &row, uchar step)
{
    return step < StepCount ? row[step] : 0;
}

struct ColourfulRow
{
    bool brightnessByStep;
    StepRow speed;
};

constexpr StepRow NoSpeed{0, 0, 0, 0, 0};
constexpr StepRow Slow{10, 7, 5, 3, 1};

// One row per scene effect index.
constexpr ColourfulRow ColourfulRows[] = {
    {false, NoSpeed},                 // 0 Static
    {true, Slow},                     // 1 Breath
    {true, {20, 18, 15, 14, 13}},     // 2 Neon
    {false, Slow},                    // 3 OFF
    {true, NoSpeed},                  // 4 Twinkling
    {true, NoSpeed},                  // 5 Wave
    {false, Slow},                    // 6 Gliding
    {false, NoSpeed},                 // 7 Finger Moving
    {true, NoSpeed},                  // 8 Vertical Flipping
    {true, {15, 13, 10, 7, 5}},       // 9 YO-YO
    {true, {30, 28, 26, 24, 23}},     // 10 Spotlight
};
constexpr int ColourfulEffectCount = int(std::size(ColourfulRows));

constexpr StepRow Brightness{0x00, 0x40, 0x80, 0xC0, 0xFF};
constexpr StepRow SingleBrightness{1, 3, 5, 7, 10};
constexpr StepRow NeonSpeed{30, 24, 18, 12, 6};

} // namespace

Effect colourful(uchar effect, uchar speedStep, uchar brightnessStep)
{
    if (effect >= ColourfulEffectCount)
        return {};
    const ColourfulRow &row = ColourfulRows[effect];
    return {effect, row.brightnessByStep ? byStep(Brightness, brightnessStep) : uchar(0),
            byStep(row.speed, speedStep)};
}

Effect singleColour(uchar effect, uchar speedStep, uchar brightnessStep)
{
    switch (effect) {
    case 0: // Static
        return {1, byStep(SingleBrightness, brightnessStep), 1};
    case 1: // Breath
        return {2, uchar(speedStep + 1), 1};
    case 2: // Neon
        return {3, byStep(NeonSpeed, speedStep), 1};
    case 4: // Breath Loop
        return {2, uchar(speedStep + 1), 3};
    default: // OFF
        return {0, 0, 0};
    }
}

Colours colours(const QVariantList &src24)
{
    Colours c{};
    for (int i = 0; i < ColourBytes && i < src24.size(); ++i)
        c[size_t(i)] = uchar(src24.at(i).toInt());
    return c;
}

bool hasEighthColour(const Colours &c)
{
    return c[21] || c[22] || c[23];
}

} // namespace Lighting

#pragma once

#include <QString>
#include <QVariantList>

#include <array>

// DPI values as the sensor firmware wants them: one code byte per stage.
namespace DpiCodes {

constexpr int StageCount = 8;
// Code of a stage that the 553 firmware is to skip.
constexpr uchar StageOff = 0x80;

struct Code
{
    uchar code = 0;
    // Only the "3389" sensor has more than eight bits of code; the ninth bit
    // travels in a separate mask.
    bool highBit = false;
};

// The code of one value for a sensor. Sensor names that are not known are
// treated like "4090".
Code encode(const QString &sensorType, int value);

struct Stages
{
    std::array<uchar, StageCount> codes{};
    uchar highMask = 0;       // bit i: ninth bit of stage i's code
    bool usesHighMask = false; // the sensor carries the mask at all
};

// Codes of the first eight values of the list, in order; stages without a
// value keep code 0, values after the eighth are ignored.
Stages encodeStages(const QString &sensorType, const QVariantList &values);

// The 553 payload: the stage codes with every stage from dpiCount on
// switched off.
std::array<uchar, StageCount> withStagesOff(const Stages &stages, int dpiCount);

// The 560 stage-enable mask: bit i set for each of the first dpiCount stages.
uchar enableMask(int dpiCount);

} // namespace DpiCodes

#include "ops/DpiCodes.h"

namespace DpiCodes {

namespace {

// "3050" steps: the first limit at or above the value decides the code.
struct Step
{
    int limit;
    uchar code;
};
constexpr Step Steps3050[] = {
    {250, 0x01},  {500, 0x02},  {750, 0x03},  {1000, 0x04},
    {1250, 0x05}, {1500, 0x06}, {1750, 0x07}, {2000, 0x08},
    {2500, 0x45}, {3000, 0x46}, {3500, 0x47}, {4000, 0x48},
};

uchar code3050(int v)
{
    for (const Step &s : Steps3050) {
        if (s.limit >= v)
            return s.code;
    }
    return 0; // above the sensor's range
}

uchar code4090(int v)
{
    if (v <= 5000)
        return uchar(v / 100 - 1);
    return uchar((v / 200) | 0x40);
}

} // namespace

Code encode(const QString &sensorType, int v)
{
    if (sensorType == QLatin1String("4090"))
        return {code4090(v), false};
    if (sensorType == QLatin1String("3360"))
        return {uchar(v / 100 - 1), false};
    if (sensorType == QLatin1String("3050"))
        return {code3050(v), false};
    if (sensorType == QLatin1String("3389"))
        return {uchar((v / 50) & 0xFF), v > 12799};
    if (sensorType == QLatin1String("3327"))
        return {uchar(v / 100), false};
    return {code4090(v), false};
}

Stages encodeStages(const QString &sensorType, const QVariantList &values)
{
    Stages s;
    s.usesHighMask = sensorType == QLatin1String("3389");
    const int n = qMin(int(values.size()), StageCount);
    for (int i = 0; i < n; ++i) {
        const Code c = encode(sensorType, values.at(i).toInt());
        s.codes[size_t(i)] = c.code;
        if (c.highBit)
            s.highMask |= uchar(1u << i);
    }
    return s;
}

std::array<uchar, StageCount> withStagesOff(const Stages &stages, int dpiCount)
{
    std::array<uchar, StageCount> out = stages.codes;
    for (int i = qMax(dpiCount, 0); i < StageCount; ++i)
        out[size_t(i)] = StageOff;
    return out;
}

uchar enableMask(int dpiCount)
{
    uchar mask = 0;
    for (int i = 0; i < qMin(dpiCount, StageCount); ++i)
        mask |= uchar(1u << i);
    return mask;
}

} // namespace DpiCodes

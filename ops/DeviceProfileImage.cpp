#include "ops/DeviceProfileImage.h"

#include <algorithm>

DeviceProfileImage::DeviceProfileImage(QByteArray &image) : m_image(image)
{
    if (m_image.size() != BlockCount * BlockSize)
        m_image = QByteArray(BlockCount * BlockSize, '\0');
}

uchar *DeviceProfileImage::block(int n)
{
    if (!hasBlock(n))
        return nullptr;
    return reinterpret_cast<uchar *>(m_image.data()) + n * BlockSize;
}

uchar DeviceProfileImage::at(int n, int offset) const
{
    return uchar(m_image.at(n * BlockSize + offset));
}

void DeviceProfileImage::setDpi(const DpiCodes::Stages &stages, uchar enableMask)
{
    for (int n = FirstProfileBlock; n <= LastProfileBlock; ++n) {
        uchar *b = block(n);
        std::copy(stages.codes.begin(), stages.codes.end(), b + Offset::DpiCodes);
        std::copy(stages.codes.begin(), stages.codes.end(),
                  b + Offset::DpiCodes + DpiCodes::StageCount);
        b[Offset::DpiEnable] = enableMask;
        if (stages.usesHighMask) {
            b[Offset::DpiHighMask] = stages.highMask;
            b[Offset::DpiHighMask + 1] = stages.highMask;
        }
    }
}

void DeviceProfileImage::setStageCount(uchar count)
{
    block(0)[Offset::StageCount] = count;
}

void DeviceProfileImage::setColourfulColours(const Lighting::Colours &colours)
{
    std::copy(colours.begin(), colours.end(), block(0) + Offset::ColourfulColours);
}

void DeviceProfileImage::setSingleColours(const Lighting::Colours &colours)
{
    std::copy(colours.begin(), colours.end(), block(1) + Offset::SingleColours);
}

bool DeviceProfileImage::setEffect(int n, const Lighting::Effect &effect)
{
    uchar *b = block(n);
    if (!b)
        return false;
    b[Offset::Effect] = effect.code;
    b[Offset::Effect + 1] = effect.second;
    b[Offset::Effect + 2] = effect.third;
    return true;
}

void DeviceProfileImage::setEffectAllProfiles(const Lighting::Effect &effect)
{
    for (int n = FirstProfileBlock; n <= LastProfileBlock; ++n)
        setEffect(n, effect);
}

bool DeviceProfileImage::setGun(int slot, uchar count, uchar x, uchar y)
{
    const int n = slot + 1;
    if (!isProfileBlock(n))
        return false;
    uchar *b = block(n);
    b[Offset::GunFlags] &= uchar(~0x04);
    b[Offset::GunMarker] = 0xF0;
    b[Offset::GunCount] = count;
    b[Offset::GunX] = x;
    b[Offset::GunY] = y;
    return true;
}

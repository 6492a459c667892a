#pragma once

#include "ops/DpiCodes.h"
#include "ops/Lighting.h"

#include <QByteArray>

// The 560 family's device profile image: five 128-byte blocks. Block 0 holds
// device-wide values, blocks 1 to 4 the four device profiles. Block n is the
// payload sent or read under block number n.
//
// The class works on the caller's bytes (the view owns them), so that a
// block read from the device is what the next change starts from. Every
// offset the program writes is listed here, each owned by one setting.
class DeviceProfileImage
{
public:
    static constexpr int BlockSize = 128;
    static constexpr int BlockCount = 5;
    static constexpr int FirstProfileBlock = 1;
    static constexpr int LastProfileBlock = 4;

    struct Offset
    {
        // Lighting: colours of a colourful device (block 0), of a
        // single-colour device (block 1), and the effect (profile blocks).
        static constexpr int ColourfulColours = 24;
        static constexpr int SingleColours = 104;
        static constexpr int Effect = 71;
        // Gun slot values (the slot's profile block).
        static constexpr int GunFlags = 65;
        static constexpr int GunMarker = 78;
        static constexpr int GunCount = 79;
        static constexpr int GunX = 80;
        static constexpr int GunY = 81;
        // DPI (profile blocks) and the stage count (block 0).
        static constexpr int StageCount = 70;
        static constexpr int DpiHighMask = 82; // and 83
        static constexpr int DpiCodes = 84;    // 84-91, copy at 92-99
        static constexpr int DpiEnable = 100;
    };

    // A buffer of another size is first brought to five zeroed blocks.
    explicit DeviceProfileImage(QByteArray &image);

    static bool hasBlock(int n) { return n >= 0 && n < BlockCount; }
    static bool isProfileBlock(int n) { return n >= FirstProfileBlock && n <= LastProfileBlock; }
    // Block n, or null when the image has no such block.
    uchar *block(int n);
    uchar at(int n, int offset) const;

    // Codes, their copy, the enable mask and (for the sensor that has one)
    // the high-bit mask, into every profile block alike.
    void setDpi(const DpiCodes::Stages &stages, uchar enableMask);
    void setStageCount(uchar count);

    void setColourfulColours(const Lighting::Colours &colours);
    void setSingleColours(const Lighting::Colours &colours);
    // False when the image has no block n.
    bool setEffect(int n, const Lighting::Effect &effect);
    void setEffectAllProfiles(const Lighting::Effect &effect);

    // Gun slot 1-3 lives in block slot + 1. False for a slot without block.
    bool setGun(int slot, uchar count, uchar x, uchar y);

private:
    QByteArray &m_image;
};

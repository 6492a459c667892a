// Device operations: values the user edits become command bytes.
//
// Each operation encodes its values with ops/ and then chooses the command
// family in exactly one place: the switch on familyOf(icType). Without a HID
// worker (the view built alone) the stores and the device profile image are
// still updated, and nothing is sent.
#include "app/myQQuickView.h"

#include "device/Hid_Thread.h"
#include "ops/DeviceProfileImage.h"
#include "ops/DpiCodes.h"
#include "ops/Family.h"
#include "ops/KeyMatrix.h"
#include "ops/Lighting.h"
#include "ops/Transfers.h"

#include <QDebug>

namespace {

QString keyMatrixKey(bool altLayer, int button)
{
    return (altLayer ? QStringLiteral("mouseKeyMatrix0/") : QStringLiteral("mouseKeyMatrix/"))
        + QString::number(button);
}

// Stored lists read back as text; the scene and the tool get numbers.
QVariantList toInts(const QVariantList &list)
{
    QVariantList out;
    out.reserve(list.size());
    for (const QVariant &v : list) {
        bool ok = false;
        const int n = v.toInt(&ok);
        out.append(ok ? QVariant(n) : v);
    }
    return out;
}

// Device profile number of the view's current profile, and its block in the
// image; the image has no block for a profile index above 3.
int currentProfileBlock(const myQQuickView &view)
{
    return view.currentProfileIndex() + 1;
}

} // namespace

// ---- DPI stages ----

void myQQuickView::mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray)
{
    const DpiCodes::Stages stages = DpiCodes::encodeStages(sensorType, dpiValueArray);
    switch (familyOf(icType)) {
    case Family::Hid553: {
        std::array<uchar, DpiCodes::StageCount> src8 = DpiCodes::withStagesOff(stages, dpiCount);
        if (m_hid)
            m_hid->hid553_11H_SetDPISet(uchar(dpiCount), src8.data());
        break;
    }
    case Family::Hid560: {
        // All four profiles get the new stages; only the current one is sent.
        const int n = currentProfileBlock(*this);
        const bool send = m_hid && DeviceProfileImage::isProfileBlock(n) && deviceBlockReady(n);
        DeviceProfileImage image(deviceProfileImage);
        image.setDpi(stages, DpiCodes::enableMask(dpiCount));
        if (send)
            m_hid->hid560_0CH_setProfile(image.block(n), uchar(n));
        break;
    }
    }
}

void myQQuickView::mouseSetCurrentDPI(uchar currentDPI)
{
    if (!m_hid)
        return;
    switch (familyOf(icType)) {
    case Family::Hid553:
        m_hid->hid553_0BH_SetCurrentDPI(currentDPI);
        break;
    case Family::Hid560:
        m_hid->hid560_04H_SetCurrentDPI(currentDPI);
        break;
    }
}

QVariant myQQuickView::mouseGetCurrentDPI()
{
    // Stage 3 is what the scene shows when the device does not answer.
    uchar stage = 3;
    if (m_hid) {
        switch (familyOf(icType)) {
        case Family::Hid553:
            m_hid->hid553_8BH_GetCurrentDPI(stage);
            break;
        case Family::Hid560: {
            uchar profile = uchar(currentProfileBlock(*this));
            m_hid->hid560_84H_GetCurrentDPI(profile, stage);
            break;
        }
        }
    }
    return int(stage);
}

void myQQuickView::mouseSetMaxDpi(int dpiCount)
{
    // Only the 560 firmware has profile blocks; the 553 firmware would take
    // code 0x0C for its fixed LED colour and the block for stray reports.
    const bool send = m_hid && familyOf(icType) == Family::Hid560 && deviceBlockReady(0);
    DeviceProfileImage image(deviceProfileImage);
    image.setStageCount(uchar(dpiCount));
    if (send)
        m_hid->hid560_0CH_setProfile(image.block(0), 0);
}

// ---- key matrix ----

void myQQuickView::mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam)
{
    Q_UNUSED(otherParam); // the gun periods travel with the gun data
    const QVariantList values = KeyMatrix::padded(src64);
    const bool altLayer = altKeyLayer;
    if (QSettings *s = store.current()) {
        for (int n = 0; n < KeyMatrix::ButtonCount; ++n)
            s->setValue(keyMatrixKey(altLayer, n), KeyMatrix::definition(values, n));
    }
    if (!isSendData)
        return;

    const Family family = familyOf(icType);
    KeyMatrix::Payload payload = KeyMatrix::toDevice(values, family);
    if (!m_hid)
        return;
    switch (family) {
    case Family::Hid553: {
        // The alternate layer is key matrix 2, selected as matrix 1.
        m_hid->hid553_02H_SetCurrentKeyMatrix(altLayer ? 1 : 0);
        m_hid->hid553_12H_SetKeyMatrix(payload.data(), altLayer ? 2 : 0);
        break;
    }
    case Family::Hid560:
        m_hid->hid560_0DH_SetKeyMatrix(payload.data(), uchar(currentProfileBlock(*this)));
        break;
    }
}

QVariantList myQQuickView::mouseGetKeydefine(QVariant index, bool isRecovery)
{
    bool ok = false;
    const int button = index.toInt(&ok);
    if (!ok)
        return {};
    QSettings *s = isRecovery ? store.defaultProfile() : store.current();
    if (!s)
        return {};
    const QString key = keyMatrixKey(!isRecovery && altKeyLayer, button);
    return toInts(SettingsStore::toList(s->value(key)));
}

void myQQuickView::mouseResetKeyMatrix()
{
    QList<QVariantList> entries;
    if (QSettings *s = store.current()) {
        for (int n = 0; n < KeyMatrix::ButtonCount; ++n)
            entries.append(SettingsStore::toList(
                s->value(QStringLiteral("mouseFwKeyMatrix/") + QString::number(n))));
    }
    if (!m_hid)
        return;
    // The 560 transfer reads 64 bytes and pads the rest itself; the buffer is
    // the size of the largest payload either family reads from it.
    std::array<uchar, 128> buffer{};
    const KeyMatrix::Payload payload = KeyMatrix::fromDeviceEntries(entries);
    std::copy(payload.begin(), payload.end(), buffer.begin());
    const Family family = familyOf(icType);
    for (uchar matrix : {uchar(2), uchar(3), uchar(4)}) {
        switch (family) {
        case Family::Hid553:
            m_hid->hid553_12H_SetKeyMatrix(buffer.data(), matrix);
            break;
        case Family::Hid560:
            m_hid->hid560_0DH_SetKeyMatrix(buffer.data(), matrix);
            break;
        }
    }
}

void myQQuickView::mouseSwitchKeyMatrix(int indexNo)
{
    if (!m_hid)
        return;
    switch (familyOf(icType)) {
    case Family::Hid553:
        m_hid->hid553_02H_SetCurrentKeyMatrix(uchar(indexNo - 1));
        break;
    case Family::Hid560:
        m_hid->hid560_02H_SetCurrentProfile(uchar(indexNo));
        break;
    }
}

void myQQuickView::mouseGetRight()
{
    // One query on every family; no answer counts as the normal layer.
    uchar value = 0;
    if (m_hid)
        m_hid->hid553_8BH_GetCurrentDPI(value);
    qDebug() << "test" << value;
    altKeyLayer = value != 0;
}

// ---- macro transfer ----

QVariant myQQuickView::mouseSendMacroData(QVariantList macroData, QVariant macroIndex)
{
    const std::optional<uchar> number = Transfers::macroNumber(macroIndex);
    if (!number || !m_hid)
        return true;
    Transfers::MacroPayload payload = Transfers::macroPayload(macroData);
    switch (familyOf(icType)) {
    case Family::Hid553:
        m_hid->hid553_13H_SetMacroKey(*number, payload.data());
        break;
    case Family::Hid560:
        m_hid->hid560_0FH_SetMacroKey(*number, payload.data());
        break;
    }
    return true;
}

// ---- lighting ----

void myQQuickView::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2)
{
    const Family family = familyOf(icType);
    DeviceProfileImage image(deviceProfileImage);
    if (isColorful) {
        const Lighting::Effect e = Lighting::colourful(effect, option1, option2);
        switch (family) {
        case Family::Hid553:
            if (m_hid)
                m_hid->hid553_0DH_SetRGBLedEffect(e.code, e.second, e.third);
            break;
        case Family::Hid560: {
            const int n = currentProfileBlock(*this);
            if (!DeviceProfileImage::isProfileBlock(n))
                break;
            const bool send = m_hid && deviceBlockReady(n);
            image.setEffect(n, e);
            if (send)
                m_hid->hid560_0CH_setProfile(image.block(n), uchar(n));
            break;
        }
        }
        return;
    }

    const Lighting::Effect e = Lighting::singleColour(effect, option1, option2);
    switch (family) {
    case Family::Hid553:
        if (m_hid)
            m_hid->hid553_0DH_SetRGBLedEffect(e.code, e.second,
                                              is55328 ? e.third : Lighting::PlainModeByte);
        break;
    case Family::Hid560: {
        // The blocks to send are made ready before the effect goes into
        // every profile block, so that a block read now gets it too.
        std::array<bool, DeviceProfileImage::BlockCount> send{};
        if (isGun) {
            for (int n = DeviceProfileImage::FirstProfileBlock;
                 n <= DeviceProfileImage::LastProfileBlock; ++n)
                send[size_t(n)] = m_hid && deviceBlockReady(n);
        } else {
            // A device without gun slots gets mode 3 in block 1 and the
            // block numbered like the profile index itself, unlike every
            // other block write, which uses index + 1.
            const int n = currentProfileIndex();
            if (DeviceProfileImage::hasBlock(n))
                send[size_t(n)] = m_hid && deviceBlockReady(n);
        }
        image.setEffectAllProfiles({e.code, e.second, Lighting::PlainModeByte});
        if (!isGun)
            image.block(1)[DeviceProfileImage::Offset::Effect + 2] = 3;
        for (int n = 0; n < DeviceProfileImage::BlockCount; ++n)
            if (send[size_t(n)])
                m_hid->hid560_0CH_setProfile(image.block(n), uchar(n));
        break;
    }
    }
}

void myQQuickView::mouseSetRGBColor(uchar type, QVariantList src24)
{
    Lighting::Colours colours = Lighting::colours(src24);
    switch (familyOf(icType)) {
    case Family::Hid553:
        if (!m_hid)
            break;
        if (is55328) {
            // Without an eighth colour the device runs on one fixed colour.
            if (Lighting::hasEighthColour(colours))
                m_hid->hid553_10H_SetLED8StageColor(0, colours.data());
            else
                m_hid->hid553_0CH_SetFixLEDColor(colours.data());
        } else {
            // These devices get the colour table twice in a row.
            m_hid->hid553_10H_SetLED8StageColor(type, colours.data());
            m_hid->hid553_10H_SetLED8StageColor(type, colours.data());
        }
        break;
    case Family::Hid560: {
        const int n = isColorful ? 0 : 1;
        const bool send = m_hid && deviceBlockReady(n);
        DeviceProfileImage image(deviceProfileImage);
        if (isColorful)
            image.setColourfulColours(colours);
        else
            image.setSingleColours(colours);
        if (send)
            m_hid->hid560_0CH_setProfile(image.block(n), uchar(n));
        break;
    }
    }
}

// ---- report rate, lift-off, device profiles, keyboard options ----

void myQQuickView::mouseSetReportRate(uchar rate)
{
    if (!m_hid)
        return;
    switch (familyOf(icType)) {
    case Family::Hid553:
        m_hid->hid553_01H_SetReportRate(rate);
        break;
    case Family::Hid560:
        m_hid->hid560_03H_SetReportRate(rate);
        break;
    }
}

void myQQuickView::mouseSetLod(uchar rate, uchar en)
{
    // The firmware has no lift-off command yet; the scene only stores it.
    qDebug() << "test" << rate << en;
}

void myQQuickView::mouseSetProfile(uint profileNo)
{
    // A number above 4 names no block of the image, and only the 560
    // firmware takes blocks (see mouseSetMaxDpi).
    if (!m_hid || profileNo >= uint(DeviceProfileImage::BlockCount)
        || familyOf(icType) != Family::Hid560 || !deviceBlockReady(int(profileNo)))
        return;
    DeviceProfileImage image(deviceProfileImage);
    m_hid->hid560_0CH_setProfile(image.block(int(profileNo)), uchar(profileNo));
}

void myQQuickView::mouseReadProfile(uint profileNo)
{
    if (!m_hid || profileNo >= uint(DeviceProfileImage::BlockCount))
        return;
    DeviceProfileImage image(deviceProfileImage);
    m_hid->hid560_8CH_readProfile(image.block(int(profileNo)), uchar(profileNo));
    // A failed read keeps what the block held, and whether that was the
    // mouse's: a block read before stays sendable.
    if (m_hid->lastBlockReadOk)
        deviceBlockRead[profileNo] = true;
}

bool myQQuickView::deviceBlockReady(int n)
{
    if (deviceBlockRead[size_t(n)])
        return true;
    mouseReadProfile(uint(n));
    if (deviceBlockRead[size_t(n)])
        return true;
    qDebug().noquote() << QStringLiteral("Profile block %1 not sent: it could not be read from the mouse first").arg(n);
    return false;
}

QVariant myQQuickView::mouseReadCurrentProfile()
{
    uchar profile = 0;
    if (m_hid)
        m_hid->hid560_82H_GetCurrentProfile(profile);
    return int(profile);
}

void myQQuickView::mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    // The four option bytes are the 553 firmware's; to the 560 firmware code
    // 0x03 sets the report rate of profile byte1.
    if (m_hid && familyOf(icType) == Family::Hid553)
        m_hid->hid553_03H_SetKeyboardoption(byte1, byte2, byte3, byte4);
}

QVariantList myQQuickView::GetKeyboardoption()
{
    uchar b1 = 0, b2 = 0, b3 = 0, b4 = 0;
    if (m_hid)
        m_hid->hid553_83H_GetKeyboardoption(b1, b2, b3, b4);
    return {int(b1), int(b2), int(b3), int(b4)};
}

// ---- gun data ----

void myQQuickView::mouseSendGundata(int index, QVariantList src6)
{
    if (!isGun)
        return;
    const Transfers::GunValues gun = Transfers::gunValues(src6);
    switch (familyOf(icType)) {
    case Family::Hid553: {
        if (!m_hid)
            break;
        // A failed read leaves the options at 0: Y is then sent as it is.
        uchar b1 = 0, b2 = 0, b3 = 0, b4 = 0;
        m_hid->hid553_83H_GetKeyboardoption(b1, b2, b3, b4);
        m_hid->hid553_04H_SetGunData(gun.count, gun.x, Transfers::gunY553(gun.y, b3),
                                     uchar(index - 1));
        break;
    }
    case Family::Hid560: {
        const int n = index + 1;
        if (!DeviceProfileImage::isProfileBlock(n))
            break;
        const bool send = m_hid && deviceBlockReady(n);
        DeviceProfileImage image(deviceProfileImage);
        image.setGun(index, gun.count, gun.x, gun.y);
        if (send)
            m_hid->hid560_0CH_setProfile(image.block(n), uchar(n));
        break;
    }
    }
}

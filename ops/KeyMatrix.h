#pragma once

#include "ops/Family.h"

#include <QVariantList>

#include <array>

// The sixteen four-byte key definitions of the scene and the 64-byte key
// matrix the firmware stores.
namespace KeyMatrix {

constexpr int ButtonCount = 16;
constexpr int EntrySize = 4;
constexpr int Size = ButtonCount * EntrySize;

using Payload = std::array<uchar, Size>;

// The scene's list cut or padded with zeros to exactly 64 values.
QVariantList padded(const QVariantList &src64);

// The four values of button n of a padded list.
QVariantList definition(const QVariantList &padded64, int button);

// Translates the scene's definitions into the device encoding of a family:
// function codes, the consumer-control rule, gun fire on the left button,
// the order of buttons 3 to 5 and the fixed entry 8.
Payload toDevice(const QVariantList &src64, Family family);

// Definitions already in device encoding (one list of four per button, as
// stored for the factory reset), copied unchanged. A missing entry or one
// with fewer than four values gives four zero bytes.
Payload fromDeviceEntries(const QList<QVariantList> &entries);

} // namespace KeyMatrix

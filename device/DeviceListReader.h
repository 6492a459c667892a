#pragma once

#include "device/DeviceEntry.h"

class QSettings;

namespace DeviceListReader {

// Reads entries 0 .. common/deviceCount - 1 from an open INI store. The count
// is read again before every entry, so the list ends at whatever count the
// file holds at that moment. Paths are left empty.
DeviceList read(QSettings &store);

// The same for a file; a missing or unreadable file gives an empty list.
DeviceList readFile(const QString &path);

// Upper bound on the number of entries read, so that a damaged count cannot
// make the reader allocate without end. Real lists hold a handful.
constexpr int MaxEntries = 256;

// Longest data report a HID device can declare.
constexpr int MaxReportLength = 4096;

} // namespace DeviceListReader

// The device list of the global settings file (apConfig.bin), read from
// arbitrary bytes: a bounded list of entries with usable report lengths.

#include "FuzzSupport.h"

#include "device/DeviceListReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = FuzzSupport::modules("setting/apConfig.bin");
    FuzzSupport::putFile(path, data, size);
    const DeviceList list = DeviceListReader::readFile(path);
    FUZZ_CHECK(list.size() <= DeviceListReader::MaxEntries);
    for (const DeviceEntry &e : list) {
        FUZZ_CHECK(e.reportLength >= 1 && e.reportLength <= DeviceListReader::MaxReportLength);
        FUZZ_CHECK(e.path.isEmpty() && e.path2.isEmpty());
    }
    return 0;
}

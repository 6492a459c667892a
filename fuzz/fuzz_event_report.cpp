// One read of the read interface: the result code of the read (-1 .. 4)
// and up to four report bytes. Only a complete event report has an effect,
// and exactly the one its bytes name.

#include "FuzzSupport.h"

#include "device/HidOwner.h"
#include "device/Hid_Thread.h"

#include <cstring>

namespace {

struct RecordingOwner : HidOwner
{
    QString icType() const override { return QStringLiteral("553"); }
    int currentProfileIndex() const override { return 0; }
    void deviceDpiStage(int stage) override
    {
        ++calls;
        stages.append(stage);
    }
    void deviceKeyLayer(bool on) override
    {
        ++calls;
        layers.append(on);
    }
    void deviceRemoved() override { ++calls; }

    int calls = 0;
    QList<int> stages;
    QList<bool> layers;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const int length = int(data[0] % 6) - 1;
    uchar report[4] = {};
    std::memcpy(report, data + 1, std::min<size_t>(size - 1, sizeof report));

    RecordingOwner owner;
    Hid_Thread::handleEventReport(report, length, &owner);
    Hid_Thread::handleEventReport(report, length, nullptr);

    const bool event = length == 4 && report[0] == 0x06;
    const bool dpi = event && report[1] == 0x07;
    const bool layer = event && report[1] == 0x0D;
    FUZZ_CHECK(owner.calls == (dpi || layer ? 1 : 0));
    if (dpi)
        FUZZ_CHECK(owner.stages == QList<int>{report[3]});
    if (layer)
        FUZZ_CHECK(owner.layers == QList<bool>{report[2] != 0});
    return 0;
}

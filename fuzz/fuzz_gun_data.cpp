// The weapon data file of arbitrary bytes: every entry it names is read and
// turned into the values the weapon-data transfer sends.

#include "FuzzSupport.h"

#include "ops/Transfers.h"
#include "store/GunData.h"
#include "store/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SettingsStore store(FuzzSupport::dataRoot());
    GunData gun(store);
    FuzzSupport::putFile(gun.path(), data, size);
    const QStringList keys = gun.keys();
    for (const QString &key : keys.mid(0, 64)) {
        const QVariantList entry = gun.entry(key);
        Transfers::gunValues(entry);
        Transfers::gunValues(entry.mid(1));
    }
    FUZZ_CHECK(gun.entry(QString()).isEmpty());
    return 0;
}

// The name lists file of arbitrary bytes: each list type reads as a list,
// an unknown type as nothing.

#include "FuzzSupport.h"

#include "store/NameLists.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const NameLists names(FuzzSupport::dataRoot());
    FuzzSupport::putFile(names.path(), data, size);
    for (uint type = 0; type < 4; ++type) {
        const QVariantList list = names.get(type);
        for (const QVariant &v : list)
            FUZZ_CHECK(v.toString().size() >= 0);
    }
    FUZZ_CHECK(names.get(4u).isEmpty());
    return 0;
}

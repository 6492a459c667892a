// kelda-hidraw-probe: what the real hidapi (Debian's hidapi-hidraw) sees of
// the devices of one vendor, one line per enumeration entry:
//   path vid:pid interface usage_page/usage manufacturer|product
// Used by the tests of the virtual mouse's system front.
#include <hidapi.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    const unsigned vid = argc > 1 ? unsigned(std::strtoul(argv[1], nullptr, 16)) : 0x04d9;
    if (hid_init() != 0)
        return 1;
    hid_device_info *all = hid_enumerate(static_cast<unsigned short>(vid), 0);
    for (hid_device_info *d = all; d; d = d->next)
        std::printf("%s %04x:%04x %d %04x/%04x %ls|%ls\n", d->path, d->vendor_id, d->product_id,
                    d->interface_number, d->usage_page, d->usage, d->manufacturer_string, d->product_string);
    hid_free_enumeration(all);
    hid_exit();
    return 0;
}

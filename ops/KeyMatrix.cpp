#include "ops/KeyMatrix.h"

namespace KeyMatrix {

namespace {

// Device function codes.
constexpr uchar DevKeys = 0x00;
constexpr uchar DevMouseButton = 0x01;
constexpr uchar DevConsumer = 0x03;
constexpr uchar DevEmpty = 0x04;
constexpr uchar DevDpi = 0x07;
constexpr uchar DevGunSelect = 0x08;
constexpr uchar DevMacro = 0x09;
constexpr uchar DevRepeat = 0x0A;
constexpr uchar DevGunFire = 0x0B;
constexpr uchar DevFixed = 0x0C;

// Scene function codes (keyCode0).
constexpr uchar SceneMouse = 0x00;
constexpr uchar SceneAutoFire = 0x01;
constexpr uchar SceneCombination = 0x02;
constexpr uchar SceneMedia = 0x03;
constexpr uchar SceneMacro = 0x04;
constexpr uchar SceneDpi = 0x05;
constexpr uchar SceneWindows = 0x06;
constexpr uchar SceneShortcut = 0x07;
constexpr uchar SceneGunSelect = 0x08;
constexpr uchar SceneEmpty = 0xFF;

constexpr uchar DpiSniper = 4;
constexpr int FixedEntry = 8;

using Entry = std::array<uchar, EntrySize>;

Entry translate(Entry e, Family family)
{
    switch (e[0]) {
    case SceneMouse:
        // The double click (F0 1E 02) is a repeated left button.
        e[0] = (e[2] == 0x1E && e[3] == 0x02) ? DevRepeat : DevMouseButton;
        break;
    case SceneAutoFire:
        e[0] = DevRepeat;
        break;
    case SceneCombination:
    case SceneWindows:
    case SceneShortcut:
        e[0] = DevKeys;
        break;
    case SceneMedia:
        e[0] = DevConsumer;
        break;
    case SceneMacro:
        e[0] = DevMacro;
        e[2] = uchar(e[2] + 1); // the device numbers macros from 1
        break;
    case SceneDpi:
        e[0] = DevDpi;
        if (e[2] == DpiSniper)
            e = family == Family::Hid560 ? Entry{DevGunFire, 0x00, 0x03, 0x03}
                                         : Entry{DevDpi, 0x00, 0x04, 0x01};
        break;
    case SceneGunSelect:
        e[0] = DevGunSelect;
        break;
    case SceneEmpty:
        e[0] = DevEmpty;
        break;
    default:
        break; // gun fire (0x0B) and unknown codes pass unchanged
    }
    // Home page, search and my computer are consumer-control usages, whatever
    // function the entry came with.
    if (((e[2] == 0x21 || e[2] == 0x23) && e[3] == 0x02) || (e[2] == 0x94 && e[3] == 0x01))
        e[0] = DevConsumer;
    return e;
}

Entry entryAt(const Payload &p, int n)
{
    Entry e;
    std::copy_n(p.begin() + n * EntrySize, EntrySize, e.begin());
    return e;
}

void setEntry(Payload &p, int n, const Entry &e)
{
    std::copy(e.begin(), e.end(), p.begin() + n * EntrySize);
}

} // namespace

QVariantList padded(const QVariantList &src64)
{
    QVariantList out = src64.mid(0, Size);
    while (out.size() < Size)
        out.append(0);
    return out;
}

QVariantList definition(const QVariantList &padded64, int button)
{
    return padded64.mid(button * EntrySize, EntrySize);
}

Payload toDevice(const QVariantList &src64, Family family)
{
    const QVariantList values = padded(src64);
    Payload p{};
    for (int n = 0; n < ButtonCount; ++n) {
        Entry e;
        for (int k = 0; k < EntrySize; ++k)
            e[size_t(k)] = uchar(values.at(n * EntrySize + k).toInt());
        setEntry(p, n, translate(e, family));
    }

    // The firmware fires the gun only from the left button: a gun-fire
    // assignment moves there and its own button selects gun 2 instead.
    for (int n = 0; n < ButtonCount; ++n) {
        const Entry e = entryAt(p, n);
        if (e[0] == DevGunFire && e[1] == 0xFF) {
            setEntry(p, 0, {DevGunFire, 0x00, e[2], e[3]});
            setEntry(p, n, {DevGunSelect, 0x00, 0x02, 0x00});
        }
    }

    // The firmware's order of the side buttons differs from the scene's.
    const Entry e3 = entryAt(p, 3), e4 = entryAt(p, 4), e5 = entryAt(p, 5);
    setEntry(p, 3, e4);
    setEntry(p, 4, e5);
    setEntry(p, 5, e3);

    setEntry(p, FixedEntry, {DevFixed, 0x00, 0x00, 0x00});
    return p;
}

Payload fromDeviceEntries(const QList<QVariantList> &entries)
{
    Payload p{};
    for (int n = 0; n < ButtonCount && n < entries.size(); ++n) {
        const QVariantList &e = entries.at(n);
        if (e.size() < EntrySize)
            continue;
        for (int k = 0; k < EntrySize; ++k)
            p[size_t(n * EntrySize + k)] = uchar(e.at(k).toInt());
    }
    return p;
}

} // namespace KeyMatrix

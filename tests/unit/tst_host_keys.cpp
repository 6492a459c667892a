// Key-code tables, the translation of hook events into HID codes, the key
// state and the mouse message table, as the input-hook manager uses them.
#include "host/InputHookManager.h"
#include "host/KeyTables.h"
#include "unit/host_key_cases.h"

#include <QtTest>

#include <utility>
#include <vector>

namespace {

struct Recorder
{
    std::vector<std::pair<bool, int>> keys;
    std::vector<std::vector<int>> buttons;

    static void key(bool pressed, int hid, void *context)
    {
        static_cast<Recorder *>(context)->keys.emplace_back(pressed, hid);
    }
    static void button(int code, bool pressed, int x, int y, void *context)
    {
        static_cast<Recorder *>(context)->buttons.push_back({code, int(pressed), x, y});
    }
};

} // namespace

class TestHostKeys : public QObject
{
    Q_OBJECT

private slots:
    void tablesHaveEveryEntry()
    {
        const auto t = keys::KeyTables::build(false);
        QCOMPARE(t.scanToVirtualKey.size(), std::size_t(105));
        QCOMPARE(t.virtualKeyToHid.size(), std::size_t(121));
    }

    void translate_data()
    {
        QTest::addColumn<unsigned>("scanCode");
        QTest::addColumn<bool>("extended");
        QTest::addColumn<unsigned>("flags");
        QTest::addColumn<unsigned>("hid");
        for (const HostKeyCase &c : hostKeyCases)
            QTest::newRow(c.name) << c.scanCode << c.extended << c.flags << c.hid;
    }

    void translate()
    {
        QFETCH(unsigned, scanCode);
        QFETCH(bool, extended);
        QFETCH(unsigned, flags);
        QFETCH(unsigned, hid);
        const auto tables = keys::KeyTables::build(false);
        QCOMPARE(unsigned(keys::translateKey(tables, scanCode, extended, flags)), hid);
    }

    void alternateBackslash()
    {
        const auto plain = keys::KeyTables::build(false);
        const auto alternate = keys::KeyTables::build(true);
        QCOMPARE(keys::translateKey(plain, 0x2B, false, 0), uint8_t(0x31));
        QCOMPARE(keys::translateKey(alternate, 0x2B, false, 0), uint8_t(0x32));
        // Only the backslash key moves.
        QCOMPARE(keys::translateKey(alternate, 0x1E, false, 0), uint8_t(0x04));
        InputHookManager manager(true);
        QVERIFY(manager.alternateBackslash());
        QCOMPARE(keys::translateKey(manager.tables(), 0x2B, false, 0), uint8_t(0x32));
    }

    // The same physical key gives the same HID code on Linux as on Windows.
    void linuxKeys_data()
    {
        QTest::addColumn<unsigned>("evdev");
        QTest::addColumn<unsigned>("hid");
        QTest::newRow("a") << 30u << 0x04u;
        QTest::newRow("Enter") << 28u << 0x28u;
        QTest::newRow("Keypad Enter") << 96u << 0x58u;
        QTest::newRow("Pause") << 119u << 0x48u;
        QTest::newRow("Num Lock") << 69u << 0x53u;
        QTest::newRow("Scroll Lock") << 70u << 0x47u;
        QTest::newRow("Print Screen") << 99u << 0x46u;
        QTest::newRow("left Shift") << 42u << 0xE1u;
        QTest::newRow("right Shift") << 54u << 0xE5u;
        QTest::newRow("right Ctrl") << 97u << 0xE4u;
        QTest::newRow("right Alt") << 100u << 0xE6u;
        QTest::newRow("keypad /") << 98u << 0x54u;
        QTest::newRow("Home") << 102u << 0x4Au;
        QTest::newRow("keypad 7") << 71u << 0x5Fu;
        QTest::newRow("Up") << 103u << 0x52u;
        QTest::newRow("keypad 8") << 72u << 0x60u;
        QTest::newRow("Delete") << 111u << 0x4Cu;
        QTest::newRow("left Windows") << 125u << 0xE3u;
        QTest::newRow("right Windows") << 126u << 0u;
        QTest::newRow("Menu") << 127u << 0x65u;
        QTest::newRow("F12") << 88u << 0x45u;
        QTest::newRow("F23") << 193u << 0x72u;
        QTest::newRow("ISO backslash") << 86u << 0x64u;
        QTest::newRow("volume up") << 115u << 0u;
    }

    void linuxKeys()
    {
        QFETCH(unsigned, evdev);
        QFETCH(unsigned, hid);
        const auto tables = keys::KeyTables::build(false);
        keys::ScanCode scan;
        QVERIFY(keys::scanCodeForLinuxKey(evdev, &scan));
        QCOMPARE(unsigned(keys::translateKey(tables, scan.code, scan.extended, 0)), hid);
    }

    void linuxKeysWithoutScanCode()
    {
        keys::ScanCode scan;
        QVERIFY(!keys::scanCodeForLinuxKey(0, &scan));
        QVERIFY(!keys::scanCodeForLinuxKey(84, &scan));
        QVERIFY(!keys::scanCodeForLinuxKey(0x2FF, &scan));
    }

    void heldKeyGivesOnePressAndOneRelease()
    {
        InputHookManager manager(false);
        Recorder r;
        manager.setKeyboardCallback(&Recorder::key, &r);
        for (int i = 0; i < 5; ++i) // auto-repeat
            manager.keyEvent(0x1E, false, 0, true);
        manager.keyEvent(0x1E, false, 0, false);
        manager.keyEvent(0x1E, false, 0, false);
        // A second key while the first is held is its own event.
        manager.keyEvent(0x2A, false, 0, true);
        manager.keyEvent(0x1C, true, keys::FlagExtended, true);
        manager.keyEvent(0x1C, true, keys::FlagExtended, true);
        manager.keyEvent(0x2A, false, 0, false);
        // Keys without a HID code leave no trace.
        manager.keyEvent(0x5C, true, keys::FlagExtended, true);
        const std::vector<std::pair<bool, int>> expected = {
            {true, 0x04}, {false, 0x04}, {true, 0xE1}, {true, 0x58}, {false, 0xE1}};
        QCOMPARE(r.keys, expected);
    }

    void mouseMessages()
    {
        InputHookManager manager(false);
        Recorder r;
        manager.setMouseCallback(&Recorder::button, &r);
        const unsigned messages[] = {0x200, 0x201, 0x202, 0x203, 0x204, 0x205, 0x206,
                                     0x207, 0x208, 0x209, 0x20A, 0x20B};
        for (unsigned m : messages)
            manager.mouseMessage(m, int(m), -7);
        const std::vector<std::vector<int>> expected = {
            {0xF0, 1, 0x201, -7}, {0xF0, 0, 0x202, -7}, {0xF1, 1, 0x204, -7},
            {0xF1, 0, 0x205, -7}, {0xF2, 1, 0x207, -7}, {0xF2, 0, 0x208, -7}};
        QCOMPARE(r.buttons, expected);
    }

    void callbacksGetTheirOwnContext()
    {
        InputHookManager manager(false);
        Recorder keysOnly, buttonsOnly;
        manager.setKeyboardCallback(&Recorder::key, &keysOnly);
        manager.setMouseCallback(&Recorder::button, &buttonsOnly);
        manager.keyEvent(0x39, false, 0, true);
        manager.mouseMessage(keys::RButtonDown, 3, 4);
        QCOMPARE(keysOnly.keys.size(), std::size_t(1));
        QVERIFY(keysOnly.buttons.empty());
        QCOMPARE(buttonsOnly.buttons.size(), std::size_t(1));
        QVERIFY(buttonsOnly.keys.empty());
        QCOMPARE(InputHookManager::instance(), &manager);
    }
};

QTEST_MAIN(TestHostKeys)
#include "tst_host_keys.moc"

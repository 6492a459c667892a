// Every command of both firmware families, byte for byte as the mouse sees
// it, with the pauses the program keeps. Each row runs against a plain and
// an enciphered mouse; the expected reports are the plain blocks.
#include "support/VirtualMouseFixture.h"

#include <QtTest>

using Op = std::function<void(Hid_Thread &)>;
Q_DECLARE_METATYPE(Op)

namespace {

QByteArray pattern(int n, int seed)
{
    QByteArray b(n, '\0');
    for (int i = 0; i < n; ++i)
        b[i] = char((i * seed + 3) & 0xff);
    return b;
}

uchar *bytes(QByteArray &b)
{
    return reinterpret_cast<uchar *>(b.data());
}

QStringList dataReports(const QByteArray &payload, int reportLength)
{
    QStringList out;
    const int chunk = std::min<int>(int(payload.size()), reportLength);
    for (int off = 0; off < payload.size(); off += chunk)
        out << "write " + dataHex(payload.mid(off, chunk), reportLength);
    return out;
}

const QList<int> Settle{64, 64};
const QList<int> After{8};

QList<int> blockPauses(int reports)
{
    return Settle + QList<int>(reports, 120) + Settle;
}

// What the firmware reports before each row runs.
void presetFirmware(vmouse::FirmwareState &s)
{
    s.options553 = {0x11, 0x22, 0x33, 0x44};
    s.currentDpi = 6;
    s.options560 = {0x05, 0x60};
    s.currentProfile = 4;
    s.profileCurrentDpi[3] = 7;
    const QByteArray b = pattern(128, 5);
    std::copy_n(b.constData(), 128, s.profileBlocks[2].begin());
}

} // namespace

class TestHidCommands : public QObject
{
    Q_OBJECT

private slots:
    void wire_data();
    void wire();
    void unansweredQueriesKeepOutParameters_data();
    void unansweredQueriesKeepOutParameters();
    void responsesAreNotVerified();

private:
    void row(const char *name, int family, int reportLength, Op op, QStringList expected, QList<int> pauses);
};

void TestHidCommands::row(const char *name, int family, int reportLength, Op op, QStringList expected,
                          QList<int> pauses)
{
    for (bool encoded : {false, true}) {
        QTest::addRow("%d %s r%d %s", family, name, reportLength, encoded ? "enciphered" : "plain")
            << family << reportLength << encoded << op << expected << pauses;
    }
}

void TestHidCommands::wire_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("reportLength");
    QTest::addColumn<bool>("encoded");
    QTest::addColumn<Op>("op");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QList<int>>("pauses");

    // ---- 553 family ----
    row("01H report rate", 553, 32, [](Hid_Thread &h) { h.hid553_01H_SetReportRate(4); },
        {"send_feature 0001040000000000fa"}, Settle);
    row("02H key matrix", 553, 32, [](Hid_Thread &h) { h.hid553_02H_SetCurrentKeyMatrix(2); },
        {"send_feature 0002020000000000fb"}, Settle);
    row("03H options", 553, 32, [](Hid_Thread &h) { h.hid553_03H_SetKeyboardoption(1, 2, 3, 0x44); },
        {"send_feature 0003010203440000b2"}, After);
    row("04H gun data", 553, 32, [](Hid_Thread &h) { h.hid553_04H_SetGunData(1, 2, 3, 4); },
        {"send_feature 0004000102030400f1"}, After);
    row("0BH stage", 553, 32, [](Hid_Thread &h) { h.hid553_0BH_SetCurrentDPI(5); },
        {"send_feature 000b050000000000ef"}, Settle);
    row("0CH colour", 553, 32, [](Hid_Thread &h) { uchar c[3] = {0x10, 0x20, 0x30}; h.hid553_0CH_SetFixLEDColor(c); },
        {"send_feature 000c10203000000093"}, Settle);
    row("0DH effect", 553, 32, [](Hid_Thread &h) { h.hid553_0DH_SetRGBLedEffect(3, 4, 5); },
        {"send_feature 000d030405000000e6"}, Settle);
    {
        QByteArray c = pattern(24, 9);
        row("10H type 2", 553, 32, [c](Hid_Thread &h) mutable { h.hid553_10H_SetLED8StageColor(2, bytes(c)); },
            QStringList{"send_feature 0010020400000000e9"} + dataReports(c.left(4), 32), blockPauses(1));
        row("10H type 1", 553, 32, [c](Hid_Thread &h) mutable { h.hid553_10H_SetLED8StageColor(1, bytes(c)); },
            QStringList{"send_feature 0010011800000000d6"} + dataReports(c, 32), blockPauses(1));
    }
    {
        QByteArray d = QByteArray::fromHex("070f1f2f80808080");
        row("11H DPI set", 553, 32, [d](Hid_Thread &h) mutable { h.hid553_11H_SetDPISet(4, bytes(d)); },
            QStringList{"send_feature 0011040800000000e2"} + dataReports(d, 32), blockPauses(1));
    }
    {
        QByteArray m = pattern(64, 3);
        row("12H key matrix", 553, 32, [m](Hid_Thread &h) mutable { h.hid553_12H_SetKeyMatrix(bytes(m), 3); },
            QStringList{"send_feature 0012034008000000a2"} + dataReports(m, 32), blockPauses(2));
        row("12H key matrix", 553, 64, [m](Hid_Thread &h) mutable { h.hid553_12H_SetKeyMatrix(bytes(m), 3); },
            QStringList{"send_feature 0012034008000000a2"} + dataReports(m, 64), blockPauses(1));
    }
    {
        QByteArray m = pattern(128, 7);
        row("13H macro", 553, 32, [m](Hid_Thread &h) mutable { h.hid553_13H_SetMacroKey(2, bytes(m)); },
            QStringList{"send_feature 00130280000000006a"} + dataReports(m, 32), blockPauses(4));
        row("13H macro", 553, 64, [m](Hid_Thread &h) mutable { h.hid553_13H_SetMacroKey(2, bytes(m)); },
            QStringList{"send_feature 00130280000000006a"} + dataReports(m, 64), blockPauses(2));
    }
    row("83H options", 553, 32, [](Hid_Thread &h) {
        uchar a = 0, b = 0, c = 0, d = 0;
        h.hid553_83H_GetKeyboardoption(a, b, c, d);
        QCOMPARE(QList<int>({a, b, c, d}), QList<int>({0x11, 0x22, 0x33, 0x44}));
    }, {"send_feature 00830000000000007c", "get_feature 0083112233440000d2"}, {});
    // Both 8BH operations send code 0x82.
    row("8BH current DPI", 553, 32, [](Hid_Thread &h) {
        uchar s = 0;
        h.hid553_8BH_GetCurrentDPI(s);
        QCOMPARE(int(s), 6);
    }, {"send_feature 00820000000000007d", "get_feature 008206000000000077"}, {});
    row("8BH right", 553, 32, [](Hid_Thread &h) {
        uchar s = 0;
        h.hid553_8BH_GetRight(s);
        QCOMPARE(int(s), 6);
    }, {"send_feature 00820000000000007d", "get_feature 008206000000000077"}, {});

    // ---- 560 family (the view's current profile index is 2) ----
    row("01H options", 560, 32, [](Hid_Thread &h) { h.hid560_01H_SetKeyboardoption(9, 2); },
        {"send_feature 0001090200000000f3"}, After);
    row("02H profile", 560, 32, [](Hid_Thread &h) { h.hid560_02H_SetCurrentProfile(3); },
        {"send_feature 0002030000000000fa"}, After);
    row("03H report rate", 560, 32, [](Hid_Thread &h) { h.hid560_03H_SetReportRate(2); },
        {"send_feature 0003030200000000f7"}, Settle);
    row("04H stage", 560, 32, [](Hid_Thread &h) { h.hid560_04H_SetCurrentDPI(5); },
        {"send_feature 0004030500000000f3"}, Settle);
    {
        QByteArray b = pattern(128, 11);
        row("0CH profile block", 560, 32, [b](Hid_Thread &h) mutable { h.hid560_0CH_setProfile(bytes(b), 1); },
            QStringList{"send_feature 000c01800000000072"} + dataReports(b, 32), blockPauses(4));
        row("0CH profile block", 560, 64, [b](Hid_Thread &h) mutable { h.hid560_0CH_setProfile(bytes(b), 1); },
            QStringList{"send_feature 000c01800000000072"} + dataReports(b, 64), blockPauses(2));
    }
    {
        // A 64-byte matrix goes out as 128 bytes: the last two reports are zero.
        QByteArray m = pattern(64, 13);
        row("0DH key matrix", 560, 32, [m](Hid_Thread &h) mutable { h.hid560_0DH_SetKeyMatrix(bytes(m), 2); },
            QStringList{"send_feature 000d02800000000070"} + dataReports(m + QByteArray(64, '\0'), 32),
            blockPauses(4));
    }
    {
        QByteArray m = pattern(128, 17);
        row("0FH macro", 560, 32, [m](Hid_Thread &h) mutable { h.hid560_0FH_SetMacroKey(4, bytes(m)); },
            QStringList{"send_feature 000f0480000000006c"} + dataReports(m, 32), blockPauses(4));
    }
    row("81H options", 560, 32, [](Hid_Thread &h) {
        uchar a = 0, b = 0;
        h.hid560_81H_GetKeyboardoption(a, b);
        QCOMPARE(QList<int>({a, b}), QList<int>({0x05, 0x60}));
    }, {"send_feature 00810000000000007e", "get_feature 008105600000000019"}, {});
    row("82H profile", 560, 32, [](Hid_Thread &h) {
        uchar p = 0;
        h.hid560_82H_GetCurrentProfile(p);
        QCOMPARE(int(p), 4);
    }, {"send_feature 00820000000000007d", "get_feature 008204000000000079"}, {});
    row("84H stage of profile 3", 560, 32, [](Hid_Thread &h) {
        uchar p = 3, s = 0;
        h.hid560_84H_GetCurrentDPI(p, s);
        QCOMPARE(QList<int>({p, s}), QList<int>({3, 7}));
    }, {"send_feature 008403000000000078", "get_feature 008403070000000071"}, {});
    {
        const QByteArray block = pattern(128, 5);
        QStringList reads;
        for (int off = 0; off < 128; off += 32)
            reads << "read " + QString::fromLatin1(block.mid(off, 32).toHex());
        row("8CH read block", 560, 32, [block](Hid_Thread &h) {
            QByteArray buf(128, '\x33');
            h.hid560_8CH_readProfile(bytes(buf), 2);
            QCOMPARE(buf.toHex(), block.toHex());
        }, QStringList{"send_feature 008c02000000000071", "get_feature 008c02000000000071"} + reads, {});
    }
}

void TestHidCommands::wire()
{
    QFETCH(int, family);
    QFETCH(int, reportLength);
    QFETCH(bool, encoded);
    QFETCH(Op, op);
    QFETCH(QStringList, expected);
    QFETCH(QList<int>, pauses);

    vmouse::Config c;
    c.family = family;
    c.reportLength = reportLength;
    c.encoded = encoded;
    c.code = encoded ? "Q7w!2x" : "482916";
    HidFixture f(c);
    f.owner.profileIndex = 2;
    vmouse::editState(presetFirmware);
    vmouse::clearTranscript();

    op(f.hid);
    if (QTest::currentTestFailed())
        return;

    QCOMPARE(plainWire(), expected);
    QCOMPARE(f.pauses.pauses(), pauses);
    QCOMPARE(vmouse::violations(), std::vector<std::string>());
    QVERIFY(f.hid.channelFree);
    QCOMPARE(vmouse::openHandles(), 0);

    // On the wire an enciphered device gets the enciphered block, and the
    // data reports stay plain.
    const QStringList sent = ::wire();
    QCOMPARE(sent.size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        if (!expected[i].startsWith(QLatin1String("send_feature")) || !encoded) {
            if (!expected[i].startsWith(QLatin1String("get_feature")))
                QCOMPARE(sent[i], expected[i]);
            continue;
        }
        QByteArray block = QByteArray::fromHex(expected[i].mid(15).toLatin1());
        vmouse::encipher(reinterpret_cast<uint8_t *>(block.data()), c.code);
        QCOMPARE(sent[i], QStringLiteral("send_feature 00") + QString::fromLatin1(block.toHex()));
    }
}

void TestHidCommands::unansweredQueriesKeepOutParameters_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<bool>("unplugged");
    for (int family : {553, 560}) {
        QTest::addRow("%d muted", family) << family << false;
        QTest::addRow("%d unplugged", family) << family << true;
    }
}

// A query the device does not answer hands back exactly what was passed in.
void TestHidCommands::unansweredQueriesKeepOutParameters()
{
    QFETCH(int, family);
    QFETCH(bool, unplugged);
    vmouse::Config c;
    c.family = family;
    HidFixture f(c);
    vmouse::editState(presetFirmware);
    if (unplugged)
        vmouse::unplug();
    else
        vmouse::setMuted(true);

    uchar a = 0xa1, b = 0xb2, cc = 0xc3, d = 0xd4;
    if (family == 553) {
        f.hid.hid553_83H_GetKeyboardoption(a, b, cc, d);
        QCOMPARE(QList<int>({a, b, cc, d}), QList<int>({0xa1, 0xb2, 0xc3, 0xd4}));
        f.hid.hid553_8BH_GetCurrentDPI(a);
        QCOMPARE(int(a), 0xa1);
    } else {
        f.hid.hid560_81H_GetKeyboardoption(a, b);
        f.hid.hid560_82H_GetCurrentProfile(cc);
        QCOMPARE(QList<int>({a, b, cc}), QList<int>({0xa1, 0xb2, 0xc3}));
        uchar profile = 1;
        f.hid.hid560_84H_GetCurrentDPI(profile, d);
        QCOMPARE(QList<int>({profile, d}), QList<int>({1, 0xd4}));
    }
    QVERIFY(f.hid.channelFree);
    QCOMPARE(vmouse::openHandles(), 0);
}

// The program checks nothing in a response: a corrupted byte comes through.
void TestHidCommands::responsesAreNotVerified()
{
    vmouse::Config c;
    c.family = 553;
    HidFixture f(c);
    vmouse::editState(presetFirmware);
    vmouse::corruptNextReport();
    uchar stage = 0;
    f.hid.hid553_8BH_GetCurrentDPI(stage);
    QCOMPARE(int(stage), 6 ^ 0x5a);
    f.hid.hid553_8BH_GetCurrentDPI(stage);
    QCOMPARE(int(stage), 6);
}

QTEST_MAIN(TestHidCommands)
#include "tst_hid_commands.moc"

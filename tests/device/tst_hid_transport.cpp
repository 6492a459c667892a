// The report transport: checksum, cipher, channel lock, opening, bulk
// transfers and their failure paths, against the virtual mouse.
#include "device/Pause.h"
#include "support/LogCapture.h"
#include "support/VirtualMouseFixture.h"

#include <QRandomGenerator>
#include <hidapi.h>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

class TestHidTransport : public QObject
{
    Q_OBJECT

private slots:
    void init() { vmouse::configure({}); }

    void checksum_data();
    void checksum();
    void cipherKnownAnswers_data();
    void cipherKnownAnswers();
    void cipherRoundTripAndUnusedKeyBytes();
    void secrecyKeyFromCode();
    void busyChannelSendsNothing_data();
    void busyChannelSendsNothing();
    void mouseClaimedElsewhereSendsNothing();
    void failedOpenEmptiesPath();
    void partialFinalChunkIsZeroPadded();
    void reopenFailingMidTransferStopsBeforeHidapi();
    void blockReadFailingPartWay();
    void unansweredBlockReadKeepsBuffer();
    void destructionEndsLoopAndClosesHandles();
    void operationsInvokableByName();
};

void TestHidTransport::checksum_data()
{
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<int>("expected");
    QTest::newRow("01 03") << QByteArray::fromHex("01030000000000") << 0xfb;
    QTest::newRow("gun data") << QByteArray::fromHex("04000102030400") << 0xf1;
    QTest::newRow("sum wraps") << QByteArray::fromHex("ffffffffffffff") << 0x06;
    QTest::newRow("all zero") << QByteArray::fromHex("00000000000000") << 0xff;
}

void TestHidTransport::checksum()
{
    QFETCH(QByteArray, block);
    QFETCH(int, expected);
    QCOMPARE(int(Hid_Thread::hidCS(reinterpret_cast<const uchar *>(block.constData()))), expected);
}

void TestHidTransport::cipherKnownAnswers_data()
{
    QTest::addColumn<QByteArray>("plain");
    QTest::addColumn<QByteArray>("code");
    QTest::addColumn<QByteArray>("cipher");
    QTest::newRow("01 03, shipped code") << QByteArray::fromHex("01030000000000fb") << QByteArray("482916")
                                         << QByteArray::fromHex("45fdcde708e6c6d6");
    QTest::newRow("8C 02, other code") << QByteArray::fromHex("8c02000000000071") << QByteArray("Ab9$zQ")
                                       << QByteArray::fromHex("465f4d1f6e179ed6");
    QTest::newRow("zero block") << QByteArray(8, '\0') << QByteArray("000000")
                                << QByteArray::fromHex("45d835d7b8e696d6");
}

// Vectors worked out by hand from the cipher's steps; the program and the
// virtual mouse's firmware must both produce them.
void TestHidTransport::cipherKnownAnswers()
{
    QFETCH(QByteArray, plain);
    QFETCH(QByteArray, code);
    QFETCH(QByteArray, cipher);
    uchar key[8] = {};
    std::copy_n(code.constData(), 6, key + 1);

    QByteArray b = plain;
    Hid_Thread::USBDataEncryption(reinterpret_cast<uchar *>(b.data()), key);
    QCOMPARE(b.toHex(), cipher.toHex());
    Hid_Thread::USBDataDecipher(reinterpret_cast<uchar *>(b.data()), key);
    QCOMPARE(b.toHex(), plain.toHex());

    QByteArray f = plain;
    vmouse::encipher(reinterpret_cast<uint8_t *>(f.data()), code.toStdString());
    QCOMPARE(f.toHex(), cipher.toHex());
}

void TestHidTransport::cipherRoundTripAndUnusedKeyBytes()
{
    QRandomGenerator rng(20240607);
    for (int round = 0; round < 5000; ++round) {
        uchar block[8], key[8];
        for (uchar &b : block)
            b = uchar(rng.bounded(256));
        for (uchar &k : key)
            k = uchar(rng.bounded(256));

        uchar enc[8];
        std::copy_n(block, 8, enc);
        Hid_Thread::USBDataEncryption(enc, key);

        // Same block, same middle key bytes, other outer bytes.
        uchar key2[8];
        std::copy_n(key, 8, key2);
        key2[0] = uchar(key[0] ^ 0xa5);
        key2[7] = uchar(key[7] + 77);
        uchar enc2[8];
        std::copy_n(block, 8, enc2);
        Hid_Thread::USBDataEncryption(enc2, key2);
        QVERIFY2(std::equal(enc, enc + 8, enc2), "key bytes 0 and 7 changed the cipher");

        // The firmware, keyed by the six characters, agrees.
        uint8_t fw[8];
        std::copy_n(block, 8, fw);
        vmouse::encipher(fw, std::string(reinterpret_cast<char *>(key + 1), 6));
        QVERIFY(std::equal(enc, enc + 8, fw));

        Hid_Thread::USBDataDecipher(enc, key2);
        QVERIFY2(std::equal(enc, enc + 8, block), qPrintable(QStringLiteral("round %1").arg(round)));
    }
}

void TestHidTransport::secrecyKeyFromCode()
{
    Hid_Thread hid;
    DeviceEntry a, shortCode, longCode;
    a.sCode = QStringLiteral("Zq81x!");
    shortCode.sCode = QStringLiteral("12345");
    longCode.sCode = QStringLiteral("1234567");
    hid.devices = {a, shortCode, longCode};
    Hid_Thread::secrecyKey[0] = 0x11;
    Hid_Thread::secrecyKey[7] = 0x77;

    hid.selectDevice(0);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(Hid_Thread::secrecyKey), 8),
             QByteArray("\x11Zq81x!\x77", 8));
    for (int other : {1, 2}) {
        hid.selectDevice(other);
        QCOMPARE(hid.currentIndex, other);
        QCOMPARE(QByteArray(reinterpret_cast<char *>(Hid_Thread::secrecyKey + 1), 6), QByteArray("Zq81x!"));
    }
    std::fill_n(Hid_Thread::secrecyKey, 8, uchar(0));
}

using Op = std::function<void(Hid_Thread &)>;
Q_DECLARE_METATYPE(Op)

void TestHidTransport::busyChannelSendsNothing_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<QString>("line");
    QTest::newRow("12H") << Op([](Hid_Thread &h) { uchar m[64] = {}; h.hid553_12H_SetKeyMatrix(m, 1); })
                         << "cmd Failed 12";
    QTest::newRow("0DH 560") << Op([](Hid_Thread &h) { uchar m[64] = {}; h.hid560_0DH_SetKeyMatrix(m, 1); })
                             << "cmd Failed 0D";
    QTest::newRow("8BH") << Op([](Hid_Thread &h) {
        uchar v = 0x42;
        h.hid553_8BH_GetCurrentDPI(v);
        QCOMPARE(int(v), 0x42);
    }) << "cmd Failed 8BH";
    QTest::newRow("GetRight") << Op([](Hid_Thread &h) { uchar v = 0; h.hid553_8BH_GetRight(v); })
                              << "cmd Failed 82H";
    QTest::newRow("8CH") << Op([](Hid_Thread &h) {
        uchar buf[128];
        std::fill_n(buf, 128, uchar(0x5c));
        h.hid560_8CH_readProfile(buf, 1);
        QVERIFY(std::all_of(buf, buf + 128, [](uchar c) { return c == 0x5c; }));
    }) << "cmd Failed 8c";
}

// A command issued while another holds the channel gives up after 255
// polls 8 ms apart (about 2 s), says so, and touches nothing.
void TestHidTransport::busyChannelSendsNothing()
{
    QFETCH(Op, op);
    QFETCH(QString, line);
    HidFixture f;
    LogCapture log;
    vmouse::clearTranscript();
    f.hid.channelFree = false;

    op(f.hid);

    QCOMPARE(log.lines(), QStringList{line});
    QCOMPARE(f.pauses.pauses(), QList<int>(255, 8));
    QVERIFY(vmouse::transcript().empty());
    QVERIFY(!f.hid.channelFree);
}

// Another process holds the mouse's lock file (here: a descriptor of its
// own, which flock treats as another owner): neither a command nor a query
// reaches the wire, until it lets go.
void TestHidTransport::mouseClaimedElsewhereSendsNothing()
{
    HidFixture f;
    const QByteArray file = QFile::encodeName(DeviceLock::runtimeFolder() + QLatin1Char('/')
                                              + DeviceLock::lockFileFor(f.hid.devices[0].path));
    const int other = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY(other >= 0);
    QCOMPARE(::flock(other, LOCK_EX | LOCK_NB), 0);
    vmouse::clearTranscript();
    f.hid.hid553_0BH_SetCurrentDPI(3);
    uchar b1 = 9, b2 = 9;
    f.hid.hid560_81H_GetKeyboardoption(b1, b2);
    QVERIFY(vmouse::transcript().empty());
    QCOMPARE(int(b1), 9);
    QVERIFY(f.hid.channelFree);
    QVERIFY(!f.hid.holdDeviceLock(0));

    ::close(other);
    f.hid.hid553_0BH_SetCurrentDPI(3);
    QCOMPARE(wire(), QStringList{"send_feature " + commandHex({0x0B, 3})});
    // Held now: another owner is refused.
    const int late = ::open(file.constData(), O_RDWR | O_CLOEXEC);
    QVERIFY(late >= 0);
    QVERIFY(::flock(late, LOCK_EX | LOCK_NB) != 0);
    f.hid.releaseDeviceLock();
    QCOMPARE(::flock(late, LOCK_EX | LOCK_NB), 0);
    ::close(late);
}

void TestHidTransport::failedOpenEmptiesPath()
{
    HidFixture f;
    vmouse::unplug();
    vmouse::clearTranscript();
    f.hid.hid553_0BH_SetCurrentDPI(3);
    QCOMPARE(ifaceOps("cmd"), QStringList{"open -1"});
    QVERIFY(f.hid.devices[0].path.isEmpty());
    QVERIFY(f.hid.channelFree);

    // Back on the bus, but the entry stays absent until discovery finds it.
    vmouse::plug();
    vmouse::clearTranscript();
    uchar b1 = 9, b2 = 9;
    f.hid.hid560_81H_GetKeyboardoption(b1, b2);
    QVERIFY(vmouse::transcript().empty());
    QCOMPARE(int(b1), 9);
    QVERIFY(f.hid.channelFree);
}

// A report length that does not divide the payload: the last report holds
// the remaining payload bytes and zeros, never stale bytes.
void TestHidTransport::partialFinalChunkIsZeroPadded()
{
    vmouse::Config c;
    c.family = 553;
    c.reportLength = 20;
    HidFixture f(c);
    std::fill_n(f.hid.bulkBuffer, sizeof f.hid.bulkBuffer, uchar(0xee));
    QByteArray macro(128, '\0');
    for (int i = 0; i < 128; ++i)
        macro[i] = char(i + 1);
    vmouse::clearTranscript();

    f.hid.hid553_13H_SetMacroKey(2, reinterpret_cast<uchar *>(macro.data()));

    QStringList expected{"send_feature 00130280000000006a"};
    for (int off = 0; off < 128; off += 20)
        expected << "write " + dataHex(macro.mid(off, 20), 20);
    QCOMPARE(wire(), expected);
    QCOMPARE(expected.last(), QStringLiteral("write 00797a7b7c7d7e7f80000000000000000000000000"));
    QCOMPARE(f.pauses.pauses(), (QList<int>{64, 64, 120, 120, 120, 120, 120, 120, 120, 64, 64}));
    const auto st = vmouse::state();
    QCOMPARE(QByteArray(reinterpret_cast<const char *>(st.macros.at(2).data()), 128), macro);
    QVERIFY(vmouse::violations().empty());
}

void TestHidTransport::reopenFailingMidTransferStopsBeforeHidapi()
{
    HidFixture f;
    // The mouse goes away during the pause after the first data report.
    Pause::setHandler([](int ms) {
        vmouse::advanceClock(ms);
        if (ms == 120)
            vmouse::unplug();
    });
    uchar block[128] = {};
    vmouse::clearTranscript();
    f.hid.hid560_0CH_setProfile(block, 1);
    Pause::setHandler([](int ms) { vmouse::advanceClock(ms); });

    QCOMPARE(ifaceOps("cmd"), (QStringList{"open 0", "close 0", "open 0", "send_feature 9", "close 0",
                                           "open 0", "write 33", "close 0", "open -1"}));
    QVERIFY(f.hid.channelFree);
    QVERIFY(!f.hid.cmdHandle);
    QCOMPARE(vmouse::openHandles(), 0);
}

// The data reports of a block read are waited for at most 1000 ms in all;
// a read cut short leaves the caller's block whole, never the reports that
// did arrive followed by stale bytes.
void TestHidTransport::blockReadFailingPartWay()
{
    HidFixture f;
    vmouse::editState([](vmouse::FirmwareState &s) {
        for (int i = 0; i < 128; ++i)
            s.profileBlocks[3][size_t(i)] = uint8_t(0x80 + i / 2);
    });
    vmouse::dropInputReports(2);
    uchar buf[128];
    std::fill_n(buf, 128, uchar(0x11));
    const double before = vmouse::nowMs();

    f.hid.hid560_8CH_readProfile(buf, 3);

    // The first two reports were lost; two came, the wait for a third ended
    // after 1000 ms.
    QVERIFY(vmouse::nowMs() - before >= 999);
    QCOMPARE(ifaceOps("cmd").count("read 32"), 2);
    QVERIFY(std::all_of(buf, buf + 128, [](uchar c) { return c == 0x11; }));
    QVERIFY(f.hid.channelFree);
    QCOMPARE(vmouse::openHandles(), 0);
    QCOMPARE(ifaceOps("cmd").mid(ifaceOps("cmd").size() - 2), (QStringList{"read 0", "close 0"}));
}

void TestHidTransport::unansweredBlockReadKeepsBuffer()
{
    HidFixture f;
    vmouse::setMuted(true);
    uchar buf[128];
    for (int i = 0; i < 128; ++i)
        buf[i] = uchar(i);
    f.hid.hid560_8CH_readProfile(buf, 0);
    for (int i = 0; i < 128; ++i)
        QCOMPARE(int(buf[i]), i);
    QVERIFY(f.hid.channelFree);
    QCOMPARE(vmouse::openHandles(), 0);
}

void TestHidTransport::destructionEndsLoopAndClosesHandles()
{
    QFuture<void> loop;
    {
        HidFixture f;
        f.hid.connectDevice(0);
        QVERIFY(f.hid.readLoopRunning);
        loop = f.hid.readLoopFuture;
        // A handle left open by an interrupted command.
        f.hid.cmdHandle = hid_open_path(vmouse::commandPath().c_str());
        QVERIFY(f.hid.cmdHandle);
    }
    QVERIFY(loop.isFinished());
    QCOMPARE(vmouse::openHandles(), 0);
}

void TestHidTransport::operationsInvokableByName()
{
    HidFixture f;
    vmouse::editState([](vmouse::FirmwareState &s) { s.profileCurrentDpi[2] = 6; });
    uchar profile = 2, stage = 0;
    QVERIFY(QMetaObject::invokeMethod(&f.hid, "hid560_84H_GetCurrentDPI", Qt::DirectConnection,
                                      Q_ARG(uchar &, profile), Q_ARG(uchar &, stage)));
    QCOMPARE(int(stage), 6);
    uchar block[128] = {};
    QVERIFY(QMetaObject::invokeMethod(&f.hid, "hid560_0CH_setProfile", Qt::DirectConnection,
                                      Q_ARG(uchar *, block), Q_ARG(uchar, uchar(4))));
    QCOMPARE(vmouse::state().commands, 2);
}

QTEST_MAIN(TestHidTransport)
#include "tst_hid_transport.moc"

// The transport with its real pauses against the virtual mouse on the real
// clock: the mouse must see no protocol violation, and a block write takes
// the time its pauses require, not much more.
#include "support/VirtualMouseFixture.h"

#include <QElapsedTimer>
#include <QtTest>

class TestRealtime : public QObject
{
    Q_OBJECT

private slots:
    void connectAndCommandsKeepTheProtocol();
};

void TestRealtime::connectAndCommandsKeepTheProtocol()
{
    HidFixture f(vmouse::Config(), true);
    f.hid.connectDevice(0);

    QByteArray block(128, '\0');
    for (int i = 0; i < 128; ++i)
        block[i] = char(i * 3);
    QElapsedTimer timer;
    timer.start();
    f.hid.hid560_0CH_setProfile(reinterpret_cast<uchar *>(block.data()), 1);
    const qint64 blockMs = timer.elapsed();

    uchar matrix[64] = {1, 2, 3};
    f.hid.hid560_0DH_SetKeyMatrix(matrix, 1);
    f.hid.hid560_03H_SetReportRate(2);
    f.hid.hid560_04H_SetCurrentDPI(3);
    uchar profile = 1, stage = 0;
    f.hid.hid560_84H_GetCurrentDPI(profile, stage);
    uchar readBack[128] = {};
    f.hid.hid560_8CH_readProfile(readBack, 1);

    qInfo("128-byte block write at 32-byte reports: %lld ms (the pauses require 736 ms)", blockMs);
    QVERIFY(blockMs >= 736);
    QVERIFY2(blockMs < 1500, "the transport adds far more than its pauses");
    QCOMPARE(int(stage), 3);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(readBack), 128), block);
    QCOMPARE(vmouse::violations(), std::vector<std::string>());
    QVERIFY(vmouse::state().options560[0] & 0x08);
}

QTEST_MAIN(TestRealtime)
#include "tst_realtime.moc"

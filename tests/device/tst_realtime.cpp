// The transport with its real pauses against the virtual mouse on the real
// clock: the mouse must see no protocol violation, and a block write takes
// the time its pauses require, not much more. The GUI thread keeps turning
// its event loop meanwhile, also through a report the mouse leaves
// unanswered, and what runs there sees the device at work.
#include "device/DeviceGate.h"
#include "support/LogCapture.h"
#include "support/VirtualMouseFixture.h"

#include <QElapsedTimer>
#include <QTimer>
#include <QtTest>

class TestRealtime : public QObject
{
    Q_OBJECT

private slots:
    void connectAndCommandsKeepTheProtocol();
    void unansweredReportKeepsTheWindowAlive();
};

void TestRealtime::connectAndCommandsKeepTheProtocol()
{
    HidFixture f(vmouse::Config(), true);
    f.hid.connectDevice(0);

    QByteArray block(128, '\0');
    for (int i = 0; i < 128; ++i)
        block[i] = char(i * 3);
    // A 10 ms timer on the GUI thread must keep ticking during the write,
    // and a command it starts is refused instead of cutting into the write.
    QElapsedTimer timer;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    qint64 lastTick = 0, longestGap = 0;
    int ticks = 0, busyTicks = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        const qint64 now = timer.elapsed();
        longestGap = std::max(longestGap, now - lastTick);
        lastTick = now;
        ++ticks;
        if (DeviceGate::instance().busy()) {
            ++busyTicks;
            f.hid.hid560_04H_SetCurrentDPI(5);
        }
    });
    tick.start(10);
    timer.start();
    f.hid.hid560_0CH_setProfile(reinterpret_cast<uchar *>(block.data()), 1);
    const qint64 blockMs = timer.elapsed();
    tick.stop();
    longestGap = std::max(longestGap, blockMs - lastTick);

    uchar matrix[64] = {1, 2, 3};
    f.hid.hid560_0DH_SetKeyMatrix(matrix, 1);
    f.hid.hid560_03H_SetReportRate(2);
    f.hid.hid560_04H_SetCurrentDPI(3);
    uchar profile = 1, stage = 0;
    f.hid.hid560_84H_GetCurrentDPI(profile, stage);
    uchar readBack[128] = {};
    f.hid.hid560_8CH_readProfile(readBack, 1);

    qInfo("128-byte block write at 32-byte reports: %lld ms (the pauses require 736 ms); "
          "%d timer ticks, longest gap %lld ms", blockMs, ticks, longestGap);
    QVERIFY(blockMs >= 736);
    QVERIFY2(blockMs < 1500, "the transport adds far more than its pauses");
    QVERIFY2(busyTicks >= 20, "the event loop stood still during the write");
    QVERIFY2(longestGap < 200, "a pause blocked the event loop");
    QVERIFY(!DeviceGate::instance().busy());
    QCOMPARE(int(stage), 3);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(readBack), 128), block);
    QCOMPARE(vmouse::violations(), std::vector<std::string>());
    QVERIFY(vmouse::state().options560[0] & 0x08);
}

// A feature report the mouse never answers blocks until the USB time-out
// (5 s): the GUI thread's timer keeps ticking through it, the query fails
// with its line and leaves its value, and the next query is answered.
void TestRealtime::unansweredReportKeepsTheWindowAlive()
{
    HidFixture f(vmouse::Config(), true);
    LogCapture log;
    QElapsedTimer timer;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    qint64 lastTick = 0, longestGap = 0;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longestGap = std::max(longestGap, timer.elapsed() - lastTick);
        lastTick = timer.elapsed();
    });
    vmouse::setStalled(true);
    uchar profile = 0x77;
    tick.start(10);
    timer.start();
    f.hid.hid560_82H_GetCurrentProfile(profile);
    const qint64 queryMs = timer.elapsed();
    tick.stop();
    longestGap = std::max(longestGap, queryMs - lastTick);
    vmouse::setStalled(false);
    const QStringList lines = log.lines();

    qInfo("unanswered feature report: query failed after %lld ms, longest timer gap %lld ms",
          queryMs, longestGap);
    QVERIFY2(queryMs >= 4000, "the report was not left unanswered");
    QVERIFY2(longestGap < 1000, "the event loop stood still during the report");
    QCOMPARE(int(profile), 0x77);
    QCOMPARE(lines, QStringList{"cmd Failed 82"});
    QVERIFY(f.hid.channelFree);
    QVERIFY(!f.hid.cmdHandle);
    QCOMPARE(vmouse::openHandles(), 0);

    f.hid.hid560_82H_GetCurrentProfile(profile);
    QCOMPARE(int(profile), 1);
}

QTEST_MAIN(TestRealtime)
#include "tst_realtime.moc"

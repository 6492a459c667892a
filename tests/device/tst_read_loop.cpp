// The connect operation and the read loop of the HID worker: event reports,
// removal, the keyboard-option bit, and never two loops at once.
#include "support/LogCapture.h"
#include "support/VirtualMouseFixture.h"

#include <QtConcurrent/QtConcurrentRun>
#include <QtTest>

class TestReadLoop : public QObject
{
    Q_OBJECT

private slots:
    void events_data();
    void events();
    void removalWithinOneTurn();
    void entryWithoutReadInterface();
    void connectSetsOptionBit_data();
    void connectSetsOptionBit();
    void reconnectWaitsForThePreviousLoop();
};

void TestReadLoop::events_data()
{
    QTest::addColumn<QStringList>("reports");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<QStringList>("log");
    QTest::newRow("stage 5") << QStringList{"06070005"} << QStringList{"dpi 5"} << QStringList{};
    QTest::newRow("stage 0") << QStringList{"06070000"} << QStringList{"dpi 0"} << QStringList{};
    QTest::newRow("stage byte 2 ignored") << QStringList{"06077702"} << QStringList{"dpi 2"} << QStringList{};
    QTest::newRow("layer on") << QStringList{"060d0100"} << QStringList{"layer 1"} << QStringList{"test 1"};
    QTest::newRow("layer any non-zero") << QStringList{"060d7f00"} << QStringList{"layer 1"} << QStringList{"test 127"};
    QTest::newRow("layer off") << QStringList{"060d0000"} << QStringList{"layer 0"} << QStringList{"test 0"};
    QTest::newRow("not 06") << QStringList{"05070003"} << QStringList{} << QStringList{};
    QTest::newRow("other event") << QStringList{"06090003"} << QStringList{} << QStringList{};
    QTest::newRow("short report") << QStringList{"060700"} << QStringList{} << QStringList{};
    QTest::newRow("in order") << QStringList{"06070001", "060d0100", "06070008"}
                              << QStringList{"dpi 1", "layer 1", "dpi 8"} << QStringList{"test 1"};
}

void TestReadLoop::events()
{
    QFETCH(QStringList, reports);
    QFETCH(QStringList, events);
    QFETCH(QStringList, log);
    HidFixture f;
    LogCapture capture;
    f.hid.readLoopRunning = true;
    f.hid.readLoopFuture = QtConcurrent::run([&f] { f.hid.readLoop(0); });

    for (const QString &r : reports) {
        const QByteArray b = QByteArray::fromHex(r.toLatin1());
        vmouse::sendEvent(std::vector<uint8_t>(b.begin(), b.end()));
    }
    // A last stage event shows that everything before it has been handled.
    vmouse::pressDpi(4);
    QVERIFY(f.owner.waitForEvents(int(events.size()) + 1));
    QCOMPARE(f.owner.events(), events + QStringList{"dpi 4"});
    QCOMPARE(capture.lines(), log);

    f.hid.stopReadLoop();
    // Wakes the loop from its 500 ms wait; it ignores the report and ends.
    vmouse::sendEvent({0x00});
    f.hid.readLoopFuture.waitForFinished();
    QCOMPARE(vmouse::openHandles(), 0);
    QVERIFY(vmouse::violations().empty());
}

void TestReadLoop::removalWithinOneTurn()
{
    HidFixture f;
    LogCapture capture;
    f.hid.readLoopRunning = true;
    f.hid.readLoopFuture = QtConcurrent::run([&f] { f.hid.readLoop(0); });
    QTest::qWait(50);

    QElapsedTimer timer;
    timer.start();
    vmouse::unplug();
    QVERIFY(f.owner.waitForEvents(1, 2000));
    f.hid.readLoopFuture.waitForFinished();
    // One turn lasts at most 500 ms; a second turn would take past 1000 ms.
    QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));

    QCOMPARE(f.owner.events(), QStringList{"removed"});
    QCOMPARE(capture.lines(), QStringList{"Device removed"});
    QVERIFY(f.hid.devices[0].path2.isEmpty());
    QVERIFY(!f.hid.devices[0].path.isEmpty()); // the command path is not touched
    QVERIFY(!f.hid.readLoopRunning);
    QVERIFY(!f.hid.readHandle);
    QCOMPARE(vmouse::openHandles(), 0);
}

// Without a read interface the loop ends at once and leaves the running
// flag set, so the main window keeps ignoring device changes.
void TestReadLoop::entryWithoutReadInterface()
{
    HidFixture f;
    f.hid.devices[0].path2.clear();
    f.hid.connectDevice(0);
    f.hid.readLoopFuture.waitForFinished();
    QVERIFY(f.hid.readLoopRunning.load());
    QVERIFY(ifaceOps("read").isEmpty());
    QVERIFY(f.owner.events().isEmpty());
}

void TestReadLoop::connectSetsOptionBit_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<bool>("muted");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("560") << 560 << false
                         << QStringList{"send_feature 00810000000000007e", "get_feature 008105600000000019",
                                        "send_feature 00010d600000000091"};
    QTest::newRow("553") << 553 << false
                         << QStringList{"send_feature 00830000000000007c", "get_feature 008311223304000012",
                                        "send_feature 000311223344000052"};
    // A device that does not answer keeps its options: nothing is written.
    QTest::newRow("560 unanswered") << 560 << true
                                    << QStringList{"send_feature 00810000000000007e", "get_feature failed"};
    QTest::newRow("553 unanswered") << 553 << true
                                    << QStringList{"send_feature 00830000000000007c", "get_feature failed"};
}

void TestReadLoop::connectSetsOptionBit()
{
    QFETCH(int, family);
    QFETCH(bool, muted);
    QFETCH(QStringList, expected);
    vmouse::Config c;
    c.family = family;
    HidFixture f(c);
    f.owner.family = QString::number(family);
    vmouse::editState([](vmouse::FirmwareState &s) {
        s.options553 = {0x11, 0x22, 0x33, 0x04};
        s.options560 = {0x05, 0x60};
    });
    vmouse::setMuted(muted);
    vmouse::clearTranscript();

    f.hid.connectDevice(0);

    QCOMPARE(wire(), expected);
    QVERIFY(f.hid.readLoopRunning);
    QVERIFY(f.hid.readLoopFuture.isRunning());
    QVERIFY(vmouse::violations().empty());
}

void TestReadLoop::reconnectWaitsForThePreviousLoop()
{
    HidFixture f;
    f.hid.connectDevice(0);
    QFuture<void> first = f.hid.readLoopFuture;
    QTest::qWait(20);
    f.hid.connectDevice(0);
    QVERIFY(first.isFinished());
    QVERIFY(f.hid.readLoopFuture.isRunning());
    // Both loops would otherwise hold the read interface at once.
    vmouse::pressDpi(2);
    QVERIFY(f.owner.waitForEvents(1));
    QTest::qWait(100);
    QCOMPARE(f.owner.events(), QStringList{"dpi 2"});
    QVERIFY(vmouse::violations().empty());
}

QTEST_MAIN(TestReadLoop)
#include "tst_read_loop.moc"

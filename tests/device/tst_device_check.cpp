// The main window's side of the device link: discovery and the connect and
// disconnect sequences, device events reaching the scene and the tray, the
// refused open, and hot-plugging through device-change events.
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "host/DeviceWatch.h"
#include "store/DpiSwitchMessages.h"
#include "support/DataFolder.h"
#include "support/LogCapture.h"
#include "support/VirtualMouseFixture.h"

#include <QQmlProperty>
#include <QQuickItem>
#include <QtTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

// Stands in for the scene's root: records how the back end calls it.
const char *const SceneQml = R"(import QtQuick
Item {
    property var calls: []
    property var times: []
    function initUI() { calls.push("initUI") }
    function run() { calls.push("run") }
    function setProtectUI(t) { calls.push("setProtectUI " + t) }
    function setDeviceConnected(c) {}
    function setCurrentDPI(v) { calls.push("setCurrentDPI " + v + " " + typeof v); times.push(Date.now()) }
}
)";

class EnabledWatcher : public QObject
{
public:
    std::function<void(bool)> changed;
    bool eventFilter(QObject *o, QEvent *e) override
    {
        if (e->type() == QEvent::EnabledChange && changed)
            changed(static_cast<QWidget *>(o)->isEnabled());
        return false;
    }
};

const QStringList MouseEntry{"type=1", "vid=04d9", "pid=a1ee", "usagePage=ff00", "usage=ff00",
                             "usagePage2=ff01", "usage2=ff01", "reportLength=32", "isEncode=false",
                             "sCode=482916"};
const QStringList KeyboardEntry{"type=0", "vid=04d9", "pid=8008", "usagePage=ff01", "usage=0001",
                                "usagePage2=ff02", "usage2=0001", "reportLength=64"};

// A data folder, the virtual mouse, recorded pauses and a main window whose
// view shows the stand-in scene. The timeline holds the program's log lines
// and the view's enabled changes in the order they happened.
struct Rig
{
    explicit Rig(const vmouse::Config &config = vmouse::Config(), const QString &icType = QStringLiteral("560"),
                 const QList<QStringList> &deviceList = {})
    {
        vmouse::configure(config);
        if (!deviceList.isEmpty())
            folder.setDeviceList(deviceList);
        QSettings(folder.path("modules/setting/apConfig.bin"), QSettings::IniFormat)
            .setValue("mouse/icType", icType);
        QFile scene(folder.path("scene.qml"));
        scene.open(QIODevice::WriteOnly);
        scene.write(SceneQml);
        scene.close();

        log.setOnLine([this](const QString &line) { add(line); });
        deviceConnected = false;
        w = std::make_unique<Widget>(nullptr, false);
        w->view()->setSource(QUrl::fromLocalFile(folder.path("scene.qml")));
        w->view()->setEnabled(false);
        watcher.changed = [this](bool on) { add(on ? "enabled" : "disabled"); };
        w->view()->installEventFilter(&watcher);
        // Start-up lines of the window are not part of any test.
        log.clear();
        timeline.clear();
    }

    ~Rig()
    {
        w.reset();
        QCOMPARE(vmouse::openHandles(), 0);
    }

    void add(const QString &entry)
    {
        QMutexLocker lock(&mutex);
        timeline << entry;
    }
    QStringList events() const
    {
        QMutexLocker lock(&mutex);
        return timeline;
    }
    QStringList calls() const
    {
        return w->view()->rootObject()->property("calls").toStringList();
    }
    void stop()
    {
        w->hid.stopReadLoop();
        w->hid.readLoopFuture.waitForFinished();
    }

    DataFolder folder;
    LogCapture log;
    PauseRecorder pauses;
    EnabledWatcher watcher;
    std::unique_ptr<Widget> w;
    mutable QMutex mutex;
    QStringList timeline;
};

QStringList commandCodes(const QString &dev = QStringLiteral("mouse"))
{
    QStringList codes;
    for (const QString &l : plainWire(dev))
        if (l.startsWith("send_feature"))
            codes << l.mid(15, 2);
    return codes;
}

} // namespace

class TestDeviceCheck : public QObject
{
    Q_OBJECT

private slots:
    void connectSequence560();
    void connectSequence553();
    void fourthProfileKeepsDeviceBlock();
    void whichEntryConnects_data();
    void whichEntryConnects();
    void noDevice();
    void refusedOpenIsToldOnce();
    void mouseInUseElsewhereIsToldOnceAndRetried();
    void dpiEventReachesSceneThenTray_data();
    void dpiEventReachesSceneThenTray();
    void dpiEventLatency();
    void keyLayerEvent();
    void removalThenDeviceChange();
    void replugStress();
};

void TestDeviceCheck::connectSequence560()
{
    Rig rig;
    QStringList readsAtEnable;
    rig.watcher.changed = [&](bool on) {
        rig.add(on ? "enabled" : "disabled");
        for (const QString &l : plainWire())
            if (l.startsWith("send_feature 008c"))
                readsAtEnable << l.mid(15, 4);
    };

    rig.w->checkDevice();

    const QStringList t = rig.events();
    const qsizetype connect = t.indexOf("Device Connect");
    const qsizetype balloon = t.indexOf("Info: Detect Device");
    const qsizetype enabled = t.indexOf("enabled");
    QVERIFY(connect >= 0 && connect < balloon && balloon < enabled);
    QVERIFY(deviceConnected);
    // The keyboard option is read, bit 0x08 set and written back.
    QCOMPARE(commandCodes().mid(0, 2), (QStringList{"81", "01"}));
    QCOMPARE(plainWire().at(2), QStringLiteral("send_feature 0001080000000000f6"));
    // Five block reads, 0 to 4, come before the view is enabled: block 4
    // is profile 4's, which a save would otherwise send from zeros.
    QCOMPARE(readsAtEnable, (QStringList{"8c00", "8c01", "8c02", "8c03", "8c04"}));
    // initUI is queued: it reaches the scene once the loop runs.
    QVERIFY(!rig.calls().contains("initUI"));
    QTRY_COMPARE(rig.calls(), QStringList{"initUI"});
    QVERIFY(rig.w->hid.readLoopRunning);
    QVERIFY(vmouse::violations().empty());
    rig.stop();
}

// The fourth profile's first save keeps the mouse's own block 4: only the
// DPI bytes change.
void TestDeviceCheck::fourthProfileKeepsDeviceBlock()
{
    Rig rig;
    std::array<uint8_t, 128> device{};
    for (size_t i = 0; i < device.size(); ++i)
        device[i] = uint8_t(0x40 + i);
    vmouse::editState([&](vmouse::FirmwareState &s) { s.profileBlocks[4] = device; });
    rig.w->checkDevice();
    rig.stop();
    rig.w->view()->store.currentProfileIndex = 3;
    vmouse::clearTranscript();
    rig.w->view()->mouseSetDpi(2, "3360", {800, 1600});
    std::array<uint8_t, 128> expected = device;
    const uint8_t dpi[] = {7, 15, 0, 0, 0, 0, 0, 0, 7, 15, 0, 0, 0, 0, 0, 0, 0x03};
    std::copy(std::begin(dpi), std::end(dpi), expected.begin() + 84);
    QCOMPARE(commandCodes(), QStringList{"0c"});
    const auto bytes = [](const std::array<uint8_t, 128> &b) {
        return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size()));
    };
    QCOMPARE(bytes(vmouse::state().profileBlocks[4]), bytes(expected));
    QVERIFY(vmouse::violations().empty());
}

void TestDeviceCheck::connectSequence553()
{
    vmouse::Config c;
    c.family = 553;
    Rig rig(c, "553");
    rig.w->checkDevice();
    // Bit 0x40 of the fourth option byte is set; no block reads follow.
    QCOMPARE(plainWire(), (QStringList{"send_feature 00830000000000007c", "get_feature 00830000000000007c",
                                       "send_feature 0003000000400000bc"}));
    QVERIFY(!plainWire().join(' ').contains("send_feature 008c"));
    QVERIFY(rig.events().contains("enabled"));
    rig.stop();
}

void TestDeviceCheck::whichEntryConnects_data()
{
    QTest::addColumn<bool>("keyboardFirst");
    QTest::addColumn<bool>("duplicate");
    QTest::addColumn<QString>("connected");
    QTest::newRow("mouse, then keyboard") << false << false << "mouse";
    QTest::newRow("keyboard first") << true << false << "keyboard";
    QTest::newRow("command collection twice") << false << true << "mouse";
}

// The first present entry in list order connects, whatever its type; the
// others get their paths and nothing else.
void TestDeviceCheck::whichEntryConnects()
{
    QFETCH(bool, keyboardFirst);
    QFETCH(bool, duplicate);
    QFETCH(QString, connected);
    vmouse::Config c;
    c.keyboard = true;
    c.duplicateCommand = duplicate;
    const QList<QStringList> list = keyboardFirst ? QList<QStringList>{KeyboardEntry, MouseEntry}
                                                  : QList<QStringList>{MouseEntry, KeyboardEntry};
    Rig rig(c, "560", list);

    rig.w->checkDevice();

    const QString other = connected == "mouse" ? "keyboard" : "mouse";
    QCOMPARE(commandCodes(connected).mid(0, 2), (QStringList{"81", "01"}));
    QVERIFY(commandCodes(other).isEmpty());
    const int mouse = keyboardFirst ? 1 : 0;
    const DeviceList &d = rig.w->hid.devices;
    QCOMPARE(rig.w->hid.currentIndex, 0);
    QCOMPARE(d.at(mouse).path, QString::fromStdString(vmouse::commandPath(0)));
    QCOMPARE(d.at(1 - mouse).path, QString::fromStdString(vmouse::commandPath(1)));
    QCOMPARE(d.at(1 - mouse).path2, QString::fromStdString(vmouse::readPath(1)));
    if (duplicate) // the last of the two records wins
        QCOMPARE(d.at(mouse).path, QStringLiteral("/dev/vmouse/hidraw3"));
    rig.stop();
}

void TestDeviceCheck::noDevice()
{
    Rig rig;
    vmouse::unplug();
    rig.w->checkDevice();
    QCOMPARE(rig.events(), QStringList{"Device DisConnect"});
    QVERIFY(!deviceConnected);
    QVERIFY(!rig.w->hid.readLoopRunning);
    QTRY_COMPARE(rig.calls(), QStringList{"initUI"});
    QVERIFY(vmouse::transcript().empty());
}

// A node the user may not open is named in the log and the user is told,
// once, what to install; it is not silently treated as absent.
void TestDeviceCheck::refusedOpenIsToldOnce()
{
    vmouse::Config c;
    c.denyOpen = true;
    Rig rig(c);
    rig.w->checkDevice();
    QTRY_VERIFY(!rig.w->hid.readLoopRunning);
    rig.w->hid.readLoopFuture.waitForFinished();
    rig.w->checkDevice(); // a second look finds the same nodes
    QTRY_COMPARE(rig.log.countContaining("70-kelda-x7.rules"), 3);

    QCOMPARE(rig.log.count("cannot open /dev/vmouse/hidraw1: permission denied (the udev rule "
                           "70-kelda-x7.rules is not installed)"), 1);
    QCOMPARE(rig.log.count("cannot open /dev/vmouse/hidraw2: permission denied (the udev rule "
                           "70-kelda-x7.rules is not installed)"), 1);
    QCOMPARE(rig.log.countContaining("Info: The mouse is connected, but this user may not use it yet."), 1);
    QCOMPARE(rig.log.countContaining("sudo make install-udev-rule"), 1);
}

// Another process holds the mouse (its own descriptor on the lock file):
// the window says so once, sends nothing, stays disconnected and looks
// again at its next check; once the other one lets go, it connects.
void TestDeviceCheck::mouseInUseElsewhereIsToldOnceAndRetried()
{
    Rig rig;
    const QByteArray file = QFile::encodeName(
        DeviceLock::runtimeFolder() + QLatin1Char('/')
        + DeviceLock::lockFileFor(QString::fromStdString(vmouse::commandPath())));
    const int other = ::open(file.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    QVERIFY(other >= 0);
    QCOMPARE(::flock(other, LOCK_EX | LOCK_NB), 0);
    vmouse::clearTranscript();

    rig.w->checkDevice();
    QVERIFY(rig.w->mouseBusy);
    QVERIFY(!deviceConnected);
    QVERIFY(rig.w->checkTimer.isActive());
    rig.w->checkDevice();
    QCOMPARE(rig.log.count("another program is using the mouse"), 1);
    QCOMPARE(rig.log.count("Info: another program is using the mouse"), 1);
    QCOMPARE(ifaceOps("cmd"), QStringList());
    QVERIFY(!rig.w->hid.readLoopRunning);

    ::close(other);
    rig.w->checkDevice();
    QVERIFY(!rig.w->mouseBusy);
    QVERIFY(deviceConnected);
    QVERIFY(!plainWire().isEmpty());
    rig.stop();
}

void TestDeviceCheck::dpiEventReachesSceneThenTray_data()
{
    QTest::addColumn<int>("stage");
    QTest::addColumn<QString>("text");
    QTest::newRow("stage 1") << 1 << "m0";
    QTest::newRow("stage 5") << 5 << "m4";
    QTest::newRow("stage 8") << 8 << "m7";
    QTest::newRow("stage 0") << 0 << "m7";
    QTest::newRow("stage 12") << 12 << "m7";
}

void TestDeviceCheck::dpiEventReachesSceneThenTray()
{
    QFETCH(int, stage);
    QFETCH(QString, text);
    for (int i = 0; i < 8; ++i)
        dpiSwitchMessages[i] = QStringLiteral("m%1").arg(i);
    Rig rig;
    rig.w->checkDevice();
    QTRY_COMPARE(rig.calls(), QStringList{"initUI"});
    QStringList callsAtBalloon;
    rig.log.setOnLine([&](const QString &line) {
        if (line.startsWith("Info: m"))
            callsAtBalloon = rig.calls();
        rig.add(line);
    });

    vmouse::pressDpi(stage);

    QVERIFY(rig.log.waitFor("Info: m"));
    QCOMPARE(rig.log.count("Info: " + text + " "), 1);
    const QString call = QStringLiteral("setCurrentDPI %1 number").arg(stage);
    QCOMPARE(callsAtBalloon, (QStringList{"initUI", call}));
    rig.stop();
    for (QString &m : dpiSwitchMessages)
        m = QStringLiteral("DPI Switch to");
}

// From the mouse's event report to the scene's setCurrentDPI.
void TestDeviceCheck::dpiEventLatency()
{
    // `make bench` asks for more events than the default run needs.
    const int count = qEnvironmentVariableIsSet("KELDA_BENCH_DPI_EVENTS")
        ? qBound(1, qEnvironmentVariableIntValue("KELDA_BENCH_DPI_EVENTS"), 10000) : 20;
    Rig rig;
    rig.w->checkDevice();
    QTRY_COMPARE(rig.calls(), QStringList{"initUI"});
    QList<qint64> latencies;
    for (int i = 0; i < count; ++i) {
        QTest::qWait(30);
        const qint64 sent = QDateTime::currentMSecsSinceEpoch();
        vmouse::pressDpi(1 + i % 8);
        // Sleeps only until the next event arrives, as the program's loop does.
        QDeadlineTimer deadline(2000);
        while (rig.calls().size() < i + 2 && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 100);
        QCOMPARE(rig.calls().size(), i + 2);
        const QVariantList times = rig.w->view()->rootObject()->property("times").toList();
        latencies << qint64(times.last().toDouble()) - sent;
    }
    QStringList all;
    for (qint64 l : latencies)
        all << QString::number(l);
    qInfo("event report to setCurrentDPI, ms: %s", qPrintable(all.join(' ')));
    std::sort(latencies.begin(), latencies.end());
    qInfo("event report to setCurrentDPI: median %lld ms, max %lld ms", latencies[count / 2], latencies.last());
    QVERIFY(latencies[count / 2] < 50);
    rig.stop();
}

void TestDeviceCheck::keyLayerEvent()
{
    Rig rig;
    rig.w->checkDevice();
    QTRY_COMPARE(rig.calls(), QStringList{"initUI"});
    vmouse::setLayer(true);
    QTRY_COMPARE(rig.calls(), (QStringList{"initUI", "run"}));
    QVERIFY(rig.w->view()->altKeyLayer);
    QCOMPARE(rig.log.count("test 1"), 1);
    vmouse::setLayer(false);
    QTRY_COMPARE(rig.calls(), (QStringList{"initUI", "run", "run"}));
    QVERIFY(!rig.w->view()->altKeyLayer);
    rig.stop();
}

void TestDeviceCheck::removalThenDeviceChange()
{
    Rig rig;
    rig.w->checkTimer.setInterval(1);
    rig.w->checkDevice();
    QTRY_VERIFY(rig.w->view()->isEnabled());
    vmouse::unplug();
    QTRY_VERIFY(!rig.w->view()->isEnabled());
    QVERIFY(!rig.w->hid.readLoopRunning);
    QCOMPARE(rig.log.count("Device removed"), 1);
    QVERIFY(deviceConnected); // until a check connects nothing
    QVERIFY(rig.w->hid.devices.at(0).path2.isEmpty());

    rig.w->findChild<DeviceWatch *>()->inject();
    QTRY_COMPARE(rig.log.count("Device DisConnect"), 1);
    QVERIFY(!deviceConnected);
}

// Two hundred times out and back in, each with its device-change events:
// afterwards exactly one read loop runs and no handle is left open.
void TestDeviceCheck::replugStress()
{
    Rig rig;
    rig.w->checkTimer.setInterval(0);
    DeviceWatch *watch = rig.w->findChild<DeviceWatch *>();
    QVERIFY(watch);
    rig.w->checkDevice();
    for (int cycle = 0; cycle < 200; ++cycle) {
        vmouse::unplug();
        QTRY_VERIFY_WITH_TIMEOUT(!rig.w->hid.readLoopRunning, 2000);
        watch->inject();
        QTRY_COMPARE_WITH_TIMEOUT(rig.log.count("Device DisConnect"), cycle + 1, 2000);
        vmouse::plug();
        watch->inject();
        QTRY_COMPARE_WITH_TIMEOUT(rig.log.count("Device Connect"), cycle + 2, 2000);
        QVERIFY(rig.w->hid.readLoopRunning);
        // Device changes while connected schedule nothing.
        watch->inject();
        QVERIFY(!rig.w->checkTimer.isActive());
    }
    QCOMPARE(rig.log.count("Device removed"), 200);

    // One loop: the read interface is opened and closed strictly in turn.
    vmouse::clearTranscript();
    QTest::qWait(1200);
    QVERIFY(rig.w->hid.readLoopFuture.isRunning());
    const QStringList ops = ifaceOps("read");
    QVERIFY(ops.size() >= 6);
    for (int i = 0; i + 1 < ops.size(); ++i)
        QVERIFY2(!(ops[i] == "open 0" && ops[i + 1] == "open 0"), "two loops share the read interface");
    QVERIFY(vmouse::openHandles() <= 1);
    QVERIFY(vmouse::violations().empty());
    rig.stop();
    QCOMPARE(vmouse::openHandles(), 0);
}

QTEST_MAIN(TestDeviceCheck)
#include "tst_device_check.moc"

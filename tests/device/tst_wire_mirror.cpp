// Writes the mouse already holds are not sent again. Whatever the program
// skips, the mouse must end up holding exactly what it would hold had every
// write gone out; after a fault everything goes out again.
#include "app/myQQuickView.h"
#include "store/FileChooser.h"
#include "support/DataFolder.h"
#include "support/VirtualMouseFixture.h"

#include <QtTest>

namespace {

// Answers the import dialog with one file.
class FixedChooser : public FileChooser
{
public:
    QString answer;
    QString choose(const FileRequest &) override { return answer; }
};

int sentReports()
{
    int n = 0;
    for (const QString &line : wire())
        if (line.startsWith(QLatin1String("send_feature")) || line.startsWith(QLatin1String("write")))
            ++n;
    return n;
}

// The firmware's state without its command counters.
std::string settings()
{
    vmouse::FirmwareState s = vmouse::state();
    s.commands = 0;
    s.ignoredCommands = 0;
    return s.toJson();
}

QVariantList macroStream(int key)
{
    return {0, 1, key, 4, 0x81, key, 0, 0};
}

// A connected mouse of one family and a view driving it as the scene does.
struct Rig
{
    Rig(int family, bool mirror) : fx(config(family)), view(nullptr, data.root())
    {
        view.icType = QString::number(family);
        view.isColorful = true;
        fx.owner.family = view.icType;
        fx.hid.mirror.setEnabled(mirror);
        view.setHidThread(&fx.hid);
        // The second profile differs from the first in every setting.
        view.store.currentProfileIndex = 1;
        view.setData(QStringLiteral("mouse/reportRate"), 1);
        view.setDataList(QStringLiteral("mouse/dpiValueArray"),
                         {800, 1600, 2400, 3200, 4000, 4800, 5600, 6400});
        view.setDataList(QStringLiteral("mouse/lightValue"), {2, 1, 3});
        QVariantList colours;
        for (int i = 0; i < 24; ++i)
            colours.append((i * 37) % 256);
        view.setDataList(QStringLiteral("mouse/colorValue"), colours);
        view.setData(QStringLiteral("mouseKeyMatrix/3"), QStringLiteral("0, 0, 5, 0"));
        view.store.currentProfileIndex = 0;
        connect();
    }

    static vmouse::Config config(int family)
    {
        vmouse::Config c;
        c.family = family;
        return c;
    }

    // The device check: connect sequence, then the 560 blocks.
    void connect()
    {
        fx.hid.devices = {HidFixture::entryFor(config(fx.owner.family.toInt()))};
        fx.hid.selectDevice(0);
        fx.hid.connectDevice(0);
        if (view.icType == QLatin1String("560")) {
            view.deviceBlockRead.fill(false);
            for (uint n = 0; n < 5; ++n)
                view.mouseReadProfile(n);
        }
    }

    void replug()
    {
        fx.owner.clear();
        vmouse::unplug();
        QVERIFY(fx.owner.waitForEvents(1));
        fx.hid.readLoopFuture.waitForFinished();
        vmouse::plug();
        connect();
    }

    // What the scene sends for the current profile after a switch or reset.
    void sendProfile()
    {
        QVariantList keys;
        for (int n = 0; n < 16; ++n)
            keys += view.mouseGetKeydefine(n, false);
        view.mouseSetKeyMatrix(keys, true, {3, 3, 3});
        view.mouseSetReportRate(uchar(view.getData(QStringLiteral("mouse/reportRate"), false).toInt()));
        view.mouseSetDpi(view.getData(QStringLiteral("mouse/currentDpiCount"), false).toInt(),
                         QStringLiteral("3360"),
                         view.getDataList(QStringLiteral("mouse/dpiValueArray"), false));
        const QVariantList light = view.getDataList(QStringLiteral("mouse/lightValue"), false);
        const QVariantList colours = view.getDataList(QStringLiteral("mouse/colorValue"), false);
        for (int twice = 0; twice < 2; ++twice) {
            view.mouseSetRGBColor(0, colours);
            view.mouseSetRGBEffect(uchar(light.value(0).toInt()), uchar(light.value(1).toInt()),
                                   uchar(light.value(2).toInt()));
        }
        view.mouseGetCurrentDPI();
    }

    void switchTo(int profile)
    {
        view.setCurrentProfile(profile);
        sendProfile();
    }

    DataFolder data;
    HidFixture fx;
    myQQuickView view;
};

enum Step { Switch0, Switch1, SaveDpi, FactoryReset, MacroEdit, Import, Reconnect, Stage2, DpiButton };

void run(Rig &rig, const QList<int> &journey)
{
    FixedChooser chooser;
    chooser.answer = rig.data.path(QStringLiteral("modules/setting/p1.bin"));
    FileChooser *previous = FileChooser::install(&chooser);
    int macro = 4;
    for (int step : journey) {
        switch (Step(step)) {
        case Switch0: rig.switchTo(0); break;
        case Switch1: rig.switchTo(1); break;
        case SaveDpi:
            rig.view.setDataList(QStringLiteral("mouse/dpiValueArray"),
                                 {400, 1200, 2000, 2800, 3600, 4400, 5200, 6000});
            rig.view.mouseSetDpi(6, QStringLiteral("3360"),
                                 rig.view.getDataList(QStringLiteral("mouse/dpiValueArray"), false));
            break;
        case FactoryReset:
            rig.view.resetProfile(rig.view.currentProfileIndex());
            rig.view.mouseGetRight();
            rig.sendProfile();
            rig.view.mouseSetCurrentDPI(2);
            break;
        case MacroEdit:
            rig.view.mouseSendMacroData(macroStream(macro), 3);
            rig.view.mouseSendMacroData(macroStream(macro), 5);
            macro = macro == 4 ? 7 : 4;
            break;
        case Import: rig.view.loadProfile(1); break;
        case Reconnect: rig.replug(); break;
        case Stage2: rig.view.mouseSetCurrentDPI(2); break;
        case DpiButton:
            rig.fx.owner.clear();
            vmouse::pressDpi(5);
            QVERIFY(rig.fx.owner.waitForEvents(1));
            break;
        }
    }
    FileChooser::install(previous);
}

} // namespace

class tst_wire_mirror : public QObject
{
    Q_OBJECT
private slots:
    void mouseEndsAsIfEverythingWasSent_data();
    void mouseEndsAsIfEverythingWasSent();
    void faultsForgetWhatTheMouseHolds_data();
    void faultsForgetWhatTheMouseHolds();
};

void tst_wire_mirror::mouseEndsAsIfEverythingWasSent_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<QList<int>>("journey");
    const QList<int> switches{Switch1, Switch0, Switch1, Switch0};
    const QList<int> edits{Switch1, SaveDpi, Switch0, MacroEdit, Switch1, MacroEdit, MacroEdit,
                            FactoryReset, Switch0, Switch1};
    const QList<int> importAndReplug{Switch1, Import, Switch0, Switch1, Reconnect, Switch0,
                                     Stage2, DpiButton, Stage2, Switch1, Switch0};
    for (int family : {553, 560}) {
        const QByteArray f = QByteArray::number(family);
        QTest::newRow(f + " switches") << family << switches;
        QTest::newRow(f + " saves, macros, factory reset") << family << edits;
        QTest::newRow(f + " import, replug, DPI button") << family << importAndReplug;
    }
}

void tst_wire_mirror::mouseEndsAsIfEverythingWasSent()
{
    QFETCH(int, family);
    QFETCH(QList<int>, journey);
    std::string expected;
    int reportsSendingAll = 0;
    for (bool mirror : {false, true}) {
        Rig rig(family, mirror);
        vmouse::clearTranscript();
        run(rig, journey);
        QCOMPARE(vmouse::violations(), std::vector<std::string>());
        if (!mirror) {
            expected = settings();
            reportsSendingAll = sentReports();
            continue;
        }
        const std::string got = settings();
        size_t at = 0;
        while (at < got.size() && at < expected.size() && got[at] == expected[at])
            ++at;
        QVERIFY2(got == expected, qPrintable(QStringLiteral("differs at %1: %2 | sending all: %3")
                                                 .arg(at)
                                                 .arg(QString::fromStdString(got.substr(at > 80 ? at - 80 : 0, 160)),
                                                      QString::fromStdString(expected.substr(at > 80 ? at - 80 : 0, 160)))));
        QVERIFY2(sentReports() < reportsSendingAll,
                 qPrintable(QStringLiteral("%1 reports, %2 sending all").arg(sentReports()).arg(reportsSendingAll)));
    }
}

void tst_wire_mirror::faultsForgetWhatTheMouseHolds_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<bool>("replug");
    for (int family : {553, 560}) {
        const QByteArray f = QByteArray::number(family);
        QTest::newRow(f + " cut transfer") << family << false;
        QTest::newRow(f + " replug") << family << true;
    }
}

// A macro the mouse holds is skipped; after a cut transfer of it, or a
// replug, it goes out again.
void tst_wire_mirror::faultsForgetWhatTheMouseHolds()
{
    QFETCH(int, family);
    QFETCH(bool, replug);
    Rig rig(family, true);
    rig.view.mouseSendMacroData(macroStream(4), 2);
    vmouse::clearTranscript();
    rig.view.mouseSendMacroData(macroStream(4), 2);
    QCOMPARE(sentReports(), 0);

    // The cut macro is not held; after a replug nothing is known to be held.
    const int resent = replug ? 4 : 9;
    if (replug) {
        rig.replug();
    } else {
        // Without the read loop, only the failed transfer tells of the cut.
        rig.fx.hid.stopReadLoop();
        rig.fx.hid.readLoopFuture.waitForFinished();
        vmouse::unplugAfterDataReports(2);
        rig.view.mouseSendMacroData(macroStream(9), 2);
        vmouse::plug();
        rig.fx.hid.devices = {HidFixture::entryFor(Rig::config(family))};
    }
    vmouse::clearTranscript();
    rig.view.mouseSendMacroData(macroStream(resent), 2);
    QCOMPARE(sentReports(), 5); // the command and its four data reports
    const std::vector<uint8_t> held = vmouse::state().macros.at(3);
    QCOMPARE(int(held.at(2)), resent);
    QCOMPARE(vmouse::violations(), std::vector<std::string>());
}

QTEST_MAIN(tst_wire_mirror)
#include "tst_wire_mirror.moc"

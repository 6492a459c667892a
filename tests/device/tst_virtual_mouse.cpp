// The virtual mouse's own checks: every device test trusts it to flag a
// broken protocol, so each check is shown to fire, and to stay quiet on a
// correct exchange.
#include "sim/VirtualMouse.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryFile>
#include <QtTest>

#include <hidapi.h>

#include <cerrno>
#include <cwchar>

namespace {

// A small script against the raw hidapi functions: "c <hex block>" sends a
// command report (checksum added unless given), "w" writes one zero data
// report of 33 bytes, "+N" lets N ms pass, "o" opens a second handle.
void run(const QStringList &steps, const std::string &encodeWith = std::string())
{
    hid_device *h = hid_open_path(vmouse::commandPath().c_str());
    QVERIFY(h);
    hid_device *extra = nullptr;
    for (const QString &s : steps) {
        if (s.startsWith('+')) {
            vmouse::advanceClock(s.mid(1).toDouble());
        } else if (s == "w") {
            uchar r[33] = {};
            QCOMPARE(hid_write(h, r, 33), 33);
        } else if (s == "o") {
            extra = hid_open_path(vmouse::commandPath().c_str());
        } else if (s.startsWith("c ")) {
            QByteArray b = QByteArray::fromHex(s.mid(2).toLatin1());
            if (b.size() == 7) {
                uchar sum = 0;
                for (char c : b)
                    sum = uchar(sum + uchar(c));
                b.append(char(~sum));
            }
            if (!encodeWith.empty())
                vmouse::encipher(reinterpret_cast<uint8_t *>(b.data()), encodeWith);
            b.prepend('\0');
            QCOMPARE(hid_send_feature_report(h, reinterpret_cast<uchar *>(b.data()), 9), 9);
        }
    }
    if (extra)
        hid_close(extra);
    hid_close(h);
}

QString joined()
{
    QStringList out;
    for (const std::string &v : vmouse::violations())
        out << QString::fromStdString(v);
    return out.join(" | ");
}

// The bus clock is real time plus the virtual advances, so the real time the
// steps themselves take (microseconds, more on a loaded machine or a
// sanitized build) shows in the figures of a message. The words must match
// exactly; each figure may be off by less than 20 ms.
void compareViolation(const QString &actual, const QString &expected)
{
    static const QRegularExpression figure(QStringLiteral("\\d+\\.\\d+"));
    QString actualWords = actual, expectedWords = expected;
    actualWords.replace(figure, QStringLiteral("#"));
    expectedWords.replace(figure, QStringLiteral("#"));
    QCOMPARE(actualWords, expectedWords);
    auto a = figure.globalMatch(actual), e = figure.globalMatch(expected);
    while (e.hasNext()) {
        const double want = e.next().captured().toDouble();
        const double got = a.next().captured().toDouble();
        QVERIFY2(qAbs(got - want) < 20, qPrintable(actual));
    }
}

} // namespace

class TestVirtualMouse : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        vmouse::Config c;
        c.family = 553;
        vmouse::configure(c);
        vmouse::setVirtualTime(true);
    }

    void protocolChecks_data();
    void protocolChecks();
    void wrongKeyIsABadChecksum();
    void enumerationAndOpenFailures();
    void eventsReachTheReadInterface();
    void stalledFeatureReadTimesOut();
    void controlLines();
    void configurationFileAndEnvironment();
};

void TestVirtualMouse::protocolChecks_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("violation");
    const QStringList macroDone{"c 13028000000000", "+128", "w", "+120", "w", "+120", "w", "+120", "w"};
    QTest::newRow("correct block write") << macroDone + QStringList{"+248", "c 0b020000000000"} << "";
    QTest::newRow("bad checksum") << QStringList{"c 0b02000000000000"} << "bad checksum in command block 0b02000000000000";
    QTest::newRow("unannounced data report") << QStringList{"w"} << "unannounced data report 00000000000000000000000000000000";
    QTest::newRow("missing data report")
        << QStringList{"c 13028000000000", "+128", "w", "+120", "w", "+400", "c 0b020000000000"}
        << "missing data report: command 0x13 announced 4, got 2";
    QTest::newRow("data report too soon")
        << QStringList{"c 12014008000000", "+128", "w", "+100", "w"}
        << "data report 2 of command 0x12 came 100.0 ms after the previous one (at least 120 ms)";
    QTest::newRow("no settle after command")
        << QStringList{"c 0b020000000000", "+50", "c 01010000000000"}
        << "missing 128 ms settle after command 0x0b: command report came 78.0 ms early";
    QTest::newRow("no settle before data")
        << QStringList{"c 11040800000000", "+20", "w"}
        << "missing 128 ms settle after command 0x11: first data report came 108.0 ms early";
    QTest::newRow("no settle after data")
        << macroDone + QStringList{"+120", "c 0b020000000000"}
        << "missing 128 ms settle after the data of command 0x13: command report came 128.0 ms early";
    QTest::newRow("no pause needed after 03H") << QStringList{"c 03000000400000", "c 03000000400000"} << "";
    QTest::newRow("two handles at once") << QStringList{"o", "c 83000000000000"}
                                         << "two handles in use at once on the cmd interface of the mouse";
}

void TestVirtualMouse::protocolChecks()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, violation);
    run(steps);
    compareViolation(joined(), violation);
}

void TestVirtualMouse::wrongKeyIsABadChecksum()
{
    vmouse::Config c;
    c.encoded = true;
    c.code = "abcdef";
    vmouse::configure(c);
    run({"c 81000000000000"}, "abcdef");
    QCOMPARE(joined(), QString());
    run({"c 81000000000000"}, "abcdeg");
    QVERIFY(joined().startsWith("bad checksum"));
}

void TestVirtualMouse::enumerationAndOpenFailures()
{
    vmouse::Config c;
    c.keyboard = true;
    c.duplicateCommand = true;
    vmouse::configure(c);
    auto count = [](unsigned short vid, unsigned short pid) {
        int n = 0;
        hid_device_info *all = hid_enumerate(vid, pid);
        for (hid_device_info *d = all; d; d = d->next)
            ++n;
        hid_free_enumeration(all);
        return n;
    };
    QCOMPARE(count(0x04d9, 0xa1ee), 4); // pointer, command twice, read
    QCOMPARE(count(0x04d9, 0x8008), 3);
    QCOMPARE(count(0, 0), 7);

    vmouse::setDenyOpen(true);
    errno = 0;
    QVERIFY(!hid_open_path(vmouse::commandPath().c_str()));
    QCOMPARE(errno, EACCES);
    QVERIFY(std::wcsstr(hid_error(nullptr), L"Permission denied"));
    vmouse::setDenyOpen(false);

    hid_device *h = hid_open_path(vmouse::readPath().c_str());
    QVERIFY(h);
    vmouse::unplug();
    uchar buf[4];
    QCOMPARE(hid_read_timeout(h, buf, 4, 500), -1);
    QVERIFY(!hid_open_path(vmouse::readPath().c_str()));
    QCOMPARE(count(0x04d9, 0xa1ee), 0);
    QCOMPARE(count(0x04d9, 0x8008), 3);
    hid_close(h);
    vmouse::plug();
    QCOMPARE(count(0x04d9, 0xa1ee), 4);
    QCOMPARE(vmouse::openHandles(), 0);
}

void TestVirtualMouse::eventsReachTheReadInterface()
{
    vmouse::pressDpi(3);
    vmouse::setLayer(true);
    hid_device *h = hid_open_path(vmouse::readPath().c_str());
    uchar buf[8] = {};
    QCOMPARE(hid_read_timeout(h, buf, 8, 0), 4);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), 4).toHex(), QByteArray("06070003"));
    QCOMPARE(hid_read_timeout(h, buf, 8, 0), 4);
    QCOMPARE(QByteArray(reinterpret_cast<char *>(buf), 4).toHex(), QByteArray("060d0100"));
    QCOMPARE(hid_read_timeout(h, buf, 8, 0), 0);
    hid_close(h);
    QCOMPARE(int(vmouse::state().currentDpi), 3);
    QVERIFY(vmouse::state().keyLayer);
}

// A stalled mouse leaves the response unanswered: the host gives up after
// its 5 s control time-out with ETIMEDOUT (here on the virtual clock).
void TestVirtualMouse::stalledFeatureReadTimesOut()
{
    QCOMPARE(vmouse::control("stall on"), std::string("ok"));
    hid_device *h = hid_open_path(vmouse::commandPath().c_str());
    QVERIFY(h);
    const uchar query[9] = {0x00, 0x83, 0, 0, 0, 0, 0, 0, 0x7c};
    uchar answer[9] = {};
    QCOMPARE(hid_send_feature_report(h, query, 9), 9);
    const double before = vmouse::nowMs();
    errno = 0;
    QCOMPARE(hid_get_feature_report(h, answer, 9), -1);
    QCOMPARE(errno, ETIMEDOUT);
    QVERIFY(std::wcsstr(hid_error(h), L"timed out"));
    QVERIFY(vmouse::nowMs() - before >= 5000);
    vmouse::setStalled(false);
    QCOMPARE(hid_send_feature_report(h, query, 9), 9);
    QCOMPARE(hid_get_feature_report(h, answer, 9), 9);
    hid_close(h);
}

void TestVirtualMouse::controlLines()
{
    QVERIFY(QString::fromStdString(vmouse::control("press-dpi nine")).startsWith("error:"));
    QVERIFY(QString::fromStdString(vmouse::control("layer maybe")).startsWith("error:"));
    QCOMPARE(vmouse::control("mute on"), std::string("ok"));
    const QJsonObject state = QJsonDocument::fromJson(QByteArray::fromStdString(vmouse::control("state"))).object();
    QCOMPARE(state.value("family").toInt(), 553);
    QCOMPARE(state.value("muted").toBool(), true);
    QCOMPARE(vmouse::control("violations"), std::string("[]"));
    QCOMPARE(vmouse::control("unplug"), std::string("ok"));
    QVERIFY(!vmouse::isPlugged());
}

void TestVirtualMouse::configurationFileAndEnvironment()
{
    QTemporaryFile file;
    QVERIFY(file.open());
    file.write("# a 553 keyboard-and-mouse desk\nfamily = 553\nencoded=true\ncode = xY12#z\n"
               "report_length = 64\nkeyboard = yes\nfamily = 554\nnonsense\n");
    file.close();
    qputenv("KELDA_VMOUSE_CONFIG", file.fileName().toLocal8Bit());
    qputenv("KELDA_VMOUSE_REPORT_LENGTH", "32");
    qputenv("KELDA_VMOUSE_CODE", "short");
    const vmouse::Config c = vmouse::Config::fromEnvironment();
    qunsetenv("KELDA_VMOUSE_CONFIG");
    qunsetenv("KELDA_VMOUSE_REPORT_LENGTH");
    qunsetenv("KELDA_VMOUSE_CODE");
    QCOMPARE(c.family, 553);           // the bad later line keeps the good value
    QVERIFY(c.encoded);
    QCOMPARE(c.code, std::string("xY12#z")); // a five-character code is refused
    QCOMPARE(c.reportLength, 32);      // the environment wins over the file
    QVERIFY(c.keyboard);
    QVERIFY(!c.denyOpen);
}

QTEST_MAIN(TestVirtualMouse)
#include "tst_virtual_mouse.moc"

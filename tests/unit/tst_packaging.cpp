// What the installation ships must agree with what the program serves: every
// device of the shipped list can be opened by the logged-in user through the
// udev rule, the rule names no device the program does not know, and it
// grants access only through the seat (uaccess), never to everyone.
#include "device/DeviceListReader.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

class tst_Packaging : public QObject
{
    Q_OBJECT
private slots:
    void udevRuleMatchesTheShippedDeviceList_data();
    void udevRuleMatchesTheShippedDeviceList();
};

void tst_Packaging::udevRuleMatchesTheShippedDeviceList_data()
{
    QTest::addColumn<QString>("list");
    QTest::newRow("apConfig.bin") << QStringLiteral(KELDA_SOURCE_DIR "/modules/setting/apConfig.bin");
    QTest::newRow("apConfigD.bin") << QStringLiteral(KELDA_SOURCE_DIR "/modules/setting/apConfigD.bin");
}

void tst_Packaging::udevRuleMatchesTheShippedDeviceList()
{
    QFETCH(QString, list);
    QSet<QString> listed;
    for (const DeviceEntry &e : DeviceListReader::readFile(list))
        listed.insert(QStringLiteral("%1:%2").arg(e.vid, 4, 16, QLatin1Char('0')).arg(e.pid, 4, 16, QLatin1Char('0')));
    QVERIFY(!listed.isEmpty());

    QFile rules(QStringLiteral(KELDA_SOURCE_DIR "/packaging/70-kelda-x7.rules"));
    QVERIFY(rules.open(QIODevice::ReadOnly | QIODevice::Text));
    const QRegularExpression match(
        QStringLiteral("^SUBSYSTEM==\"hidraw\", ATTRS\\{idVendor\\}==\"([0-9a-f]{4})\", "
                       "ATTRS\\{idProduct\\}==\"([0-9a-f]{4})\", TAG\\+=\"uaccess\"$"));
    QSet<QString> granted;
    while (!rules.atEnd()) {
        const QString line = QString::fromUtf8(rules.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        QVERIFY2(!line.contains(QLatin1String("MODE")), qPrintable("rule widens access: " + line));
        const QRegularExpressionMatch m = match.match(line);
        QVERIFY2(m.hasMatch(), qPrintable("unexpected rule: " + line));
        granted.insert(m.captured(1) + QLatin1Char(':') + m.captured(2));
    }
    QCOMPARE(granted, listed);
}

QTEST_MAIN(tst_Packaging)
#include "tst_packaging.moc"

// The two data operations that also tell the mouse: selecting a profile and
// saving a weapon entry. Both go out as one command whatever the family.
#include "app/myQQuickView.h"
#include "support/DataFolder.h"
#include "support/VirtualMouseFixture.h"

#include <QtTest>

namespace {

struct Rig
{
    explicit Rig(int family)
        : fx(config(family)), view(nullptr, data.root())
    {
        view.icType = QString::number(family);
        view.setHidThread(&fx.hid);
        fx.owner.family = view.icType;
        vmouse::clearTranscript();
        fx.pauses.clear();
    }

    static vmouse::Config config(int family)
    {
        vmouse::Config c;
        c.family = family;
        return c;
    }

    DataFolder data;
    HidFixture fx;
    myQQuickView view;
};

} // namespace

class tst_data_wire : public QObject
{
    Q_OBJECT
private slots:
    void currentProfile_data();
    void currentProfile();
    void gunEntry_data();
    void gunEntry();
    void gunEntryWithoutFileSendsNothing();
};

void tst_data_wire::currentProfile_data()
{
    QTest::addColumn<int>("family");
    QTest::addColumn<int>("profile");
    QTest::addColumn<QStringList>("expected");
    // Code 02, profile number = index + 1, sent to both families.
    for (int family : {553, 560}) {
        const QByteArray f = QByteArray::number(family);
        QTest::newRow(f + " slot 0") << family << 0 << QStringList{"send_feature 0002010000000000fc"};
        QTest::newRow(f + " slot 9") << family << 9 << QStringList{"send_feature 00020a0000000000f3"};
        QTest::newRow(f + " slot 10 refused") << family << 10 << QStringList{};
        QTest::newRow(f + " slot -1 refused") << family << -1 << QStringList{};
    }
}

void tst_data_wire::currentProfile()
{
    QFETCH(int, family);
    QFETCH(int, profile);
    QFETCH(QStringList, expected);
    Rig rig(family);
    rig.view.setCurrentProfile(profile);
    QCOMPARE(plainWire(), expected);
    QCOMPARE(rig.view.currentProfileIndex(), expected.isEmpty() ? 0 : profile);
    // The 553 firmware settles 128 ms after code 02; the 560 one needs 8 ms.
    const QList<int> pause = family == 553 ? QList<int>{64, 64} : QList<int>{8};
    QCOMPARE(rig.fx.pauses.pauses(), expected.isEmpty() ? QList<int>{} : pause);
    QCOMPARE(vmouse::violations(), std::vector<std::string>());
}

void tst_data_wire::gunEntry_data()
{
    QTest::addColumn<int>("family");
    QTest::newRow("553") << 553;
    QTest::newRow("560") << 560;
}

void tst_data_wire::gunEntry()
{
    QFETCH(int, family);
    Rig rig(family);
    // Y offset 10 goes out as its complement 245, the entry as index + 1.
    rig.view.mouseSaveGundata(0, {"M4A1", "L-Click", 10, 0, 10, 0});
    QCOMPARE(plainWire(), QStringList{"send_feature 0004000000f5010005"});
    QCOMPARE(rig.view.getGunData(0),
             (QVariantList{"M4A1", "L-Click", "10", "0", "10", "0"}));
    QCOMPARE(vmouse::violations(), std::vector<std::string>());
}

void tst_data_wire::gunEntryWithoutFileSendsNothing()
{
    Rig rig(553);
    QVERIFY(QFile::remove(rig.data.path("modules/gun/gunData.bin")));
    rig.view.mouseSaveGundata(0, {"M4A1", "L-Click", 10, 0, 10, 0});
    QCOMPARE(plainWire(), QStringList{});
    QVERIFY(!QFile::exists(rig.data.path("modules/gun/gunData.bin")));
}

QTEST_MAIN(tst_data_wire)
#include "tst_data_wire.moc"

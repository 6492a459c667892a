// The held settings stores, the data-key operations, the factory reset of the
// global file and the device-list reader, on a private copy of the shipped
// data folder.
#include "app/myQQuickView.h"
#include "device/DeviceListReader.h"
#include "store/GunData.h"
#include "store/SafeFile.h"
#include "store/SettingsStore.h"
#include "support/DataFolder.h"

#include <QtTest>

class tst_Settings : public QObject
{
    Q_OBJECT
private slots:
    void init() { data = std::make_unique<DataFolder>(); }
    void cleanup() { data.reset(); }

    void recoveryReadsTheFactoryProfile();
    void writesGoToTheCurrentSlotsFile();
    void listsSurviveARestart_data();
    void listsSurviveARestart();
    void handEditedSingleValueReadsAsList();
    void absentKeysAreInvalid();
    void resetApconfigReplacesTheFileButNotTheCachedFlags();
    void resetApconfigKeepsTheFileWhenTheFactoryCopyIsMissing();
    void replacementIsSeenEvenWithSameSizeAndTime();
    void releasedStoreDoesNotMergeStaleChanges();
    void locksLeftByACrashDoNotHoldUpSaves();
    void deviceList_data();
    void deviceList();

private:
    std::unique_ptr<DataFolder> data;
};

void tst_Settings::recoveryReadsTheFactoryProfile()
{
    myQQuickView view;
    const QVariant factory = view.getData("mouse/dpiCount", true);
    QVERIFY(factory.isValid());
    view.setData("mouse/dpiCount", 3);
    QCOMPARE(view.getData("mouse/dpiCount", false).toInt(), 3);
    QCOMPARE(view.getData("mouse/dpiCount", true), factory);
    // The recovery flag never reaches the global store.
    QVERIFY(!view.getData("common/name", true).isValid());
}

void tst_Settings::writesGoToTheCurrentSlotsFile()
{
    {
        myQQuickView view;
        view.store.currentProfileIndex = 3;
        view.setData("mouse/lod", 20);
    }
    QSettings p4(data->path("modules/setting/p4.bin"), QSettings::IniFormat);
    QSettings p3(data->path("modules/setting/p3.bin"), QSettings::IniFormat);
    QCOMPARE(p4.value("mouse/lod").toInt(), 20);
    QVERIFY(p3.value("mouse/lod").toInt() != 20);
    QVERIFY(data->read("modules/setting/p4.bin").contains("lod=20"));
}

void tst_Settings::listsSurviveARestart_data()
{
    QTest::addColumn<QVariantList>("written");
    QTest::addColumn<QStringList>("readBack");
    QTest::newRow("two values") << QVariantList{400, 800} << QStringList{"400", "800"};
    QTest::newRow("eight values") << QVariantList{1, 2, 3, 4, 5, 6, 7, 8}
                                  << QStringList{"1", "2", "3", "4", "5", "6", "7", "8"};
    QTest::newRow("one value") << QVariantList{1600} << QStringList{"1600"};
    QTest::newRow("empty") << QVariantList{} << QStringList{};
}

void tst_Settings::listsSurviveARestart()
{
    QFETCH(QVariantList, written);
    QFETCH(QStringList, readBack);
    {
        myQQuickView view;
        view.setDataList("mouse/dpiValueArray", written);
    }
    myQQuickView fresh;
    const QVariantList got = fresh.getDataList("mouse/dpiValueArray", false);
    QStringList texts;
    for (const QVariant &v : got)
        texts << v.toString();
    QCOMPARE(texts, readBack);
}

void tst_Settings::handEditedSingleValueReadsAsList()
{
    // A single value typed into the file by hand is plain text, not a list.
    QString p1 = QString::fromUtf8(data->read("modules/setting/p1.bin"));
    p1.replace(QRegularExpression("dpiValueArray=[^\\n]*"), "dpiValueArray=1600");
    QVERIFY(data->write("modules/setting/p1.bin", p1.toUtf8()));
    myQQuickView view;
    QCOMPARE(view.getDataList("mouse/dpiValueArray", false), (QVariantList{"1600"}));
}

void tst_Settings::absentKeysAreInvalid()
{
    myQQuickView view;
    QVERIFY(!view.getGlobalData("mouse/noSuchKey").isValid());
    QVERIFY(!view.getData("mouse/noSuchKey", false).isValid());
    QVERIFY(view.getDataList("mouse/noSuchKey", false).isEmpty());
    QVERIFY(view.getGlobalData("common/name").isValid());
}

void tst_Settings::resetApconfigReplacesTheFileButNotTheCachedFlags()
{
    QSettings factory(data->path("modules/setting/apConfigD.bin"), QSettings::IniFormat);
    factory.setValue("common/language", "French");
    factory.setValue("mouse/icType", "553");
    factory.sync();

    myQQuickView view;
    const QString icType = view.icType;
    view.setGlobalData("common/language", "ChineseSimplified");
    view.resetApconfig();
    QCOMPARE(view.getGlobalData("common/language").toString(), QStringLiteral("French"));
    QCOMPARE(view.getGlobalData("mouse/icType").toString(), QStringLiteral("553"));
    QCOMPARE(view.icType, icType);
    QCOMPARE(data->read("modules/setting/apConfig.bin"),
             data->read("modules/setting/apConfigD.bin"));
}

void tst_Settings::resetApconfigKeepsTheFileWhenTheFactoryCopyIsMissing()
{
    QVERIFY(QFile::remove(data->path("modules/setting/apConfigD.bin")));
    myQQuickView view;
    view.setGlobalData("common/language", "French");
    view.resetApconfig();
    QCOMPARE(view.getGlobalData("common/language").toString(), QStringLiteral("French"));
    QCOMPARE(DeviceListReader::readFile(data->path("modules/setting/apConfig.bin")).size(), 1);
}

void tst_Settings::replacementIsSeenEvenWithSameSizeAndTime()
{
    // The new file has the old one's size and arrives with the very
    // modification time the store saw when it read the old one.
    const QByteArray a = "[common]\nlanguage=AAAAAA\n";
    const QByteArray b = "[common]\nlanguage=BBBBBB\n";
    QVERIFY(data->write("modules/setting/apConfig.bin", a));
    const QString path = data->path("modules/setting/apConfig.bin");
    const QDateTime stamp = QFileInfo(path).lastModified();

    SettingsStore store(data->root());
    QCOMPARE(store.getGlobalData("common/language").toString(), QStringLiteral("AAAAAA"));
    QVERIFY(store.replaceGlobalFile([&](const QString &target) {
        QFile f(target);
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(b) == b.size()
            && f.setFileTime(stamp, QFileDevice::FileModificationTime);
    }));
    QCOMPARE(store.getGlobalData("common/language").toString(), QStringLiteral("BBBBBB"));
}

void tst_Settings::releasedStoreDoesNotMergeStaleChanges()
{
    // A change made through the store just before the replacement belongs
    // to the old file; it must not be merged into the new one afterwards.
    const QByteArray factory = data->read("modules/setting/apConfigD.bin");
    {
        SettingsStore store(data->root());
        store.setGlobalData("common/stale", "yes");
        store.globalSettings->remove("mouse/keyCount");
        QVERIFY(store.resetGlobal());
    }
    QCOMPARE(data->read("modules/setting/apConfig.bin"), factory);
}

void tst_Settings::locksLeftByACrashDoNotHoldUpSaves()
{
    // A writer killed right after creating its lock files, before it could
    // sign them, leaves them empty; one killed later leaves them signed with
    // a process id that no longer runs. A lock signed by a running process
    // is not ours to break.
    QVERIFY(data->write("modules/setting/apConfig.bin.lock", ""));
    QVERIFY(data->write("modules/gun/gunData.bin.lock", "99999999\nkelda-config\n\n"));
    QVERIFY(data->write("modules/gun/gunData.bin.lock.rmlock", ""));
    const QByteArray live = QByteArray::number(QCoreApplication::applicationPid()) + "\nx\n\n";
    QVERIFY(data->write("modules/setting/p9.bin.lock", live));

    QElapsedTimer timer;
    timer.start();
    {
        SettingsStore store(data->root());
        store.setGlobalData("common/language", "French");
        store.syncAll();
        GunData::Command command{};
        QVERIFY(GunData(store).save(0, {"Gun", "L-Click", 10, 0, 12, 0}, &command));
    }
    QVERIFY2(timer.elapsed() < 5000, qPrintable(QString::number(timer.elapsed())));
    QVERIFY(data->read("modules/setting/apConfig.bin").contains("language=French"));
    QVERIFY(data->read("modules/gun/gunData.bin").contains("Gun, L-Click"));
    QCOMPARE(data->read("modules/setting/p9.bin.lock"), live);
}

void tst_Settings::deviceList_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("index");
    QTest::addColumn<QList<int>>("fields"); // type vid pid up u up2 u2 len encode
    QTest::addColumn<QString>("sCode");

    QTest::newRow("shipped form")
        << QByteArray("[common]\ndeviceCount=1\n[0]\ntype=1\nvid=04d9\npid=a1ee\nusagePage=ff00\n"
                      "usage=ff00\nusagePage2=ff01\nusage2=ff01\nreportLength=32\nisEncode=true\nsCode=AB12CD\n")
        << 1 << 0 << QList<int>{1, 0x04d9, 0xa1ee, 0xff00, 0xff00, 0xff01, 0xff01, 32, 1}
        << "AB12CD";
    QTest::newRow("count beyond the groups gives defaults")
        << QByteArray("[common]\ndeviceCount=2\n[0]\ntype=1\nvid=1\n")
        << 2 << 1 << QList<int>{-1, 0, 0, 0, 0, 0, 0, 32, 0} << "482916";
    QTest::newRow("unparsable numbers read as zero")
        << QByteArray("[common]\ndeviceCount=1\n[0]\ntype=zz\nvid=0x04d9\npid=xyz\n")
        << 1 << 0 << QList<int>{0, 0x04d9, 0, 0, 0, 0, 0, 32, 0} << "482916";
    QTest::newRow("zero report length would stall transfers")
        << QByteArray("[common]\ndeviceCount=1\n[0]\nreportLength=0\n")
        << 1 << 0 << QList<int>{-1, 0, 0, 0, 0, 0, 0, 32, 0} << "482916";
    QTest::newRow("implausible count is bounded")
        << QByteArray("[common]\ndeviceCount=2000000000\n")
        << DeviceListReader::MaxEntries << 0 << QList<int>{-1, 0, 0, 0, 0, 0, 0, 32, 0} << "482916";
    QTest::newRow("missing file") << QByteArray() << 0 << -1 << QList<int>{} << QString();
}

void tst_Settings::deviceList()
{
    QFETCH(QByteArray, ini);
    QFETCH(int, count);
    QFETCH(int, index);
    QFETCH(QList<int>, fields);
    QFETCH(QString, sCode);

    const QString path = data->path("devices.ini");
    if (!ini.isEmpty())
        QVERIFY(data->write("devices.ini", ini));
    const DeviceList list = DeviceListReader::readFile(path);
    QCOMPARE(list.size(), count);
    if (index < 0)
        return;
    const DeviceEntry &e = list.at(index);
    QCOMPARE((QList<int>{e.type, e.vid, e.pid, e.usagePage, e.usage, e.usagePage2, e.usage2,
                         e.reportLength, int(e.isEncode)}),
             fields);
    QCOMPARE(e.sCode, sCode);
    QVERIFY(e.path.isEmpty() && e.path2.isEmpty());
}

QTEST_MAIN(tst_Settings)
#include "tst_settings.moc"

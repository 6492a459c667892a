// Gun data file, XY sensitivity and weapon selection through the view's
// slots, and the command bytes that go with saving an entry.

#include "app/myQQuickView.h"
#include "store/GunData.h"
#include "unit/data/DataTestEnv.h"

#include <QQmlContext>
#include <QQuickItem>
#include <QSettings>
#include <QtTest>

using namespace DataTestEnv;

class tst_DataGun : public QObject
{
    Q_OBJECT

private slots:
    void saveStoresSixValuesAndBuildsTheCommand_data()
    {
        QTest::addColumn<QVariant>("index");
        QTest::addColumn<QVariant>("y");
        QTest::addColumn<int>("third");
        QTest::addColumn<int>("fourth");
        QTest::newRow("Y 10, entry 0") << QVariant(0) << QVariant(10) << 245 << 1;
        QTest::newRow("Y 0, entry 5") << QVariant(5) << QVariant(0) << 255 << 6;
        QTest::newRow("Y as text") << QVariant("2") << QVariant("7") << 248 << 3;
        QTest::newRow("Y above a byte") << QVariant(1) << QVariant(0x1FF) << 0 << 2;
        QTest::newRow("negative Y") << QVariant(3) << QVariant(-3) << 2 << 4;
        QTest::newRow("entry 255 wraps") << QVariant(255) << QVariant(1) << 254 << 0;
    }
    void saveStoresSixValuesAndBuildsTheCommand()
    {
        QFETCH(QVariant, index);
        QFETCH(QVariant, y);
        QFETCH(int, third);
        QFETCH(int, fourth);
        TempData data;
        SettingsStore store(data.root());
        GunData gun(store);
        GunData::Command command{9, 9, 9, 9};
        QVERIFY(gun.save(index, {"AK", "L-Click", 10, 0, y, 0, "extra"}, &command));
        QCOMPARE(int(command[0]), 0);
        QCOMPARE(int(command[1]), 0);
        QCOMPARE(int(command[2]), third);
        QCOMPARE(int(command[3]), fourth);
        const QVariantList stored = gun.entry(index);
        QCOMPARE(stored.size(), 6);
        QCOMPARE(stored.at(0).toString(), QString("AK"));
        QCOMPARE(stored.at(4).toString(), y.toString());
    }

    void missingFileDisablesEverything()
    {
        TempData data;
        QVERIFY(QFile::remove(data.modules() + "/gun/gunData.bin"));
        SettingsStore store(data.root());
        GunData gun(store);
        GunData::Command command{};
        QVERIFY(!gun.save(0, {"AK", "L-Click", 10, 0, 10, 0}, &command));
        gun.modify(1, {"B", "L-Click", 1, 2, 3, 4, "AK"});
        gun.modify(0, {"AK"});
        QCOMPARE(gun.entry(0), QVariantList());
        QCOMPARE(gun.keys(), QStringList());
        QVERIFY(!QFile::exists(gun.path()));

        myQQuickView view(nullptr, data.root());
        view.mouseSaveGundata(0, {"AK", "L-Click", 10, 0, 10, 0});
        QVERIFY(!QFile::exists(gun.path()));
    }

    void shortListsAndEmptyNamesAreIgnored()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        const QByteArray before = readAll(data.modules() + "/gun/gunData.bin");
        GunData::Command command{};
        QVERIFY(!GunData(view.store).save(0, {"AK", "L-Click", 10, 0, 10}, &command));
        view.mouseSaveGundata(0, {"AK"});
        view.modifyGundata(1, {"New", "L-Click", 1, 2, 3, 4});
        view.modifyGundata(0, {});
        // An empty name would address the whole section.
        view.modifyGundata(0, {""});
        view.modifyGundata(1, {"", "L-Click", 1, 2, 3, 4, "AK"});
        QCOMPARE(readAll(data.modules() + "/gun/gunData.bin"), before);
        QCOMPARE(view.getGunDataKey().size(), 6);
    }

    void renameStoresFiveValuesUnderTheNewName()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.mouseSaveGundata(0, {"AK", "L-Click", 10, 0, 10, 0});
        view.modifyGundata(1, {"Rifle", "R-Click", 12, 1, 5, 3, "OldName"});
        QCOMPARE(view.getGunData("Rifle"), (QVariantList{"R-Click", "12", "1", "5", "3"}));
        QCOMPARE(view.getGunData(0).size(), 6);
        QCOMPARE(view.getGunData("0").size(), 6);
        view.modifyGundata(0, {"Rifle"});
        QCOMPARE(view.getGunData("Rifle"), QVariantList());
        view.modifyGundata(5, {"0"}); // unknown type
        QCOMPARE(view.getGunData(0).size(), 6);
        QCOMPARE(view.getGunData("nothing"), QVariantList());
        QCOMPARE(view.getGunDataKey(), (QStringList{"0", "1", "2", "3", "4", "5"}));
    }

    void xyAndSelectionFollowTheCurrentProfile()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.store.profile(3)->remove("XYSensitive");
        view.store.profile(3)->remove("selectGun");
        view.setCurrentProfile(3);
        QCOMPARE(view.getXYSensitive(0), QVariant(4));
        QCOMPARE(view.getselectGun(2), QVariant(QString()));
        view.setXYSensitive(1, 7);
        view.setSelectGun(0, "AK");
        QCOMPARE(view.getXYSensitive(1).toInt(), 7);
        QCOMPARE(view.getselectGun(0).toString(), QString("AK"));
        QCOMPARE(view.store.profile(3)->value("XYSensitive/1").toInt(), 7);
        view.setCurrentProfile(0);
        QCOMPARE(view.getXYSensitive(1).toInt(), 4);
    }

    // "Save All" of the gun editor, on the real back end: every position the
    // editor lists reaches the file with its edited values.
    void editorSaveAllStoresEveryEntry()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.rootContext()->setContextProperty(QStringLiteral("ui_View"), &view);
        const QString scene = data.outside() + "/gun_scene.qml";
        QVERIFY(writeAll(scene, "import QtQuick\nimport \"qrc:/modules/qml/basic\"\n"
                                "import \"qrc:/modules/qml/J2\"\n"
                                "SceneLook { id: mainIten; width: 700; height: 500\n"
                                "    GunControl { objectName: \"gun\" } }\n"));
        view.setSource(QUrl::fromLocalFile(scene));
        QObject *gun = view.rootObject() ? view.rootObject()->findChild<QObject *>("gun") : nullptr;
        QVERIFY(gun);
        QVERIFY(QMetaObject::invokeMethod(gun, "init"));
        const int count = view.getGunDataKey().size();
        QCOMPARE(count, 6);
        for (int i = 0; i < count; ++i) {
            QVERIFY(QMetaObject::invokeMethod(gun, "select", Q_ARG(QVariant, i)));
            QVERIFY(QMetaObject::invokeMethod(gun, "setField", Q_ARG(QVariant, "y"), Q_ARG(QVariant, 40 + i)));
        }
        QVERIFY(QMetaObject::invokeMethod(gun, "saveAll"));
        QSettings file(data.modules() + "/gun/gunData.bin", QSettings::IniFormat);
        for (int i = 0; i < count; ++i)
            QCOMPARE(file.value(QStringLiteral("gunData/%1").arg(i)).toStringList().value(4),
                     QString::number(40 + i));
    }

    // gunData.bin as the earlier program wrote it: non-ASCII names escaped
    // in values (\xNNNN) and in keys (%UNNNN).
    void readsGunFileOfEarlierVersions()
    {
        TempData data;
        const QString path = data.modules() + "/gun/gunData.bin";
        QVERIFY(QFile::remove(path));
        QVERIFY(QFile::copy(fixture("qt4_gunData.bin"), path));
        myQQuickView view(nullptr, data.root());
        QCOMPARE(view.getGunData(0).first().toString(), QString::fromUtf8("步枪"));
        QCOMPARE(view.getGunData(QString::fromUtf8("步枪")),
                 (QVariantList{"L-Click", "9", "0", "5", "0"}));
        QVERIFY(view.getGunDataKey().contains(QString::fromUtf8("步枪")));
        view.modifyGundata(1, {QString::fromUtf8("新枪"), "L-Click", 8, 0, 4, 0,
                               QString::fromUtf8("步枪")});
        QCOMPARE(view.getGunData(QString::fromUtf8("新枪")).size(), 5);
        QCOMPARE(view.getGunData(QString::fromUtf8("步枪")), QVariantList());
        QCOMPARE(view.getGunData(1).size(), 6);
    }
};

QTEST_MAIN(tst_DataGun)
#include "tst_data_gun.moc"

// Name lists in name.bin through the view's slots.

#include "app/myQQuickView.h"
#include "unit/data/DataTestEnv.h"

#include <QSettings>
#include <QtTest>

using namespace DataTestEnv;

class tst_DataNameLists : public QObject
{
    Q_OBJECT

private slots:
    void listsRoundTrip_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("stored");
        QTest::newRow("single macro gets the filler")
            << 0 << "macro/macroName" << QStringList{"Macro_0"}
            << QStringList{"Macro_0", "nodelistpadx"};
        QTest::newRow("weapons unchanged") << 1 << "gun/gunName" << QStringList{"AK", "M4", "X"}
                                           << QStringList{"AK", "M4", "X"};
        QTest::newRow("profiles, two entries") << 2 << "profile/profileName"
                                               << QStringList{"Standard0", "profile_11"}
                                               << QStringList{"Standard0", "profile_11"};
        QTest::newRow("weapon selection") << 3 << "gun/selectGun" << QStringList{"0", "1", "2"}
                                          << QStringList{"0", "1", "2"};
        QTest::newRow("commas and non-ASCII text")
            << 0 << "macro/macroName" << QStringList{"a,b", QString::fromUtf8("宏 一"), " c"}
            << QStringList{"a,b", QString::fromUtf8("宏 一"), " c"};
    }
    void listsRoundTrip()
    {
        QFETCH(int, type);
        QFETCH(QString, key);
        QFETCH(QStringList, names);
        QFETCH(QStringList, stored);
        TempData data;
        myQQuickView view(nullptr, data.root());
        QCOMPARE(view.updataNameList(type, names), QVariant(true));
        QVariantList expected;
        for (const QString &s : stored)
            expected << s;
        QCOMPARE(view.getNameList(type), expected);
        QCOMPARE(QSettings(data.setting("name.bin"), QSettings::IniFormat).value(key).toStringList(),
                 stored);
    }

    void emptyListRemovesTheKey()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        QVERIFY(!view.getNameList(2).isEmpty()); // shipped entry
        QCOMPARE(view.updataNameList(2, {}), QVariant(true));
        QCOMPARE(view.getNameList(2), QVariantList());
        QSettings file(data.setting("name.bin"), QSettings::IniFormat);
        QVERIFY(!file.contains("profile/profileName"));
        QVERIFY(file.contains("gun/gunName"));
    }

    void unknownTypeWritesNothing()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        const QByteArray before = readAll(data.setting("name.bin"));
        QCOMPARE(view.updataNameList(7, {"x", "y"}), QVariant(true));
        QCOMPARE(view.updataNameList(-1, {"x", "y"}), QVariant(true));
        QCOMPARE(readAll(data.setting("name.bin")), before);
        QCOMPARE(view.getNameList(7), QVariantList());
        QCOMPARE(view.getNameList(-1), QVariantList());
    }

    void missingFileReadsEmptyAndIsCreated()
    {
        TempData data;
        QVERIFY(QFile::remove(data.setting("name.bin")));
        myQQuickView view(nullptr, data.root());
        QCOMPARE(view.getNameList(0), QVariantList());
        view.updataNameList(1, {"A", "B"});
        QVERIFY(QFile::exists(data.setting("name.bin")));
        QCOMPARE(view.getNameList(1), (QVariantList{"A", "B"}));
    }

    void shippedListsHoldTheFirstProfileAndTheWeapons()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        QCOMPARE(view.getNameList(2), (QVariantList{"Standard0", "nodelistpadx"}));
        QCOMPARE(view.getNameList(0), QVariantList());
        QCOMPARE(view.getNameList(1).size(), 6);
    }

    // name.bin as the earlier program wrote it: non-ASCII text escaped as
    // \xNNNN, a digit after such an escape escaped too, quoted elements.
    void readsEscapedFileOfEarlierVersions()
    {
        TempData data;
        QVERIFY(QFile::remove(data.setting("name.bin")));
        QVERIFY(QFile::copy(fixture("qt4_name.bin"), data.setting("name.bin")));
        myQQuickView view(nullptr, data.root());
        QCOMPARE(view.getNameList(0), (QVariantList{QString::fromUtf8("宏一"), "Macro_1"}));
        QCOMPARE(view.getNameList(2),
                 (QVariantList{QString::fromUtf8("标准0"), QString::fromUtf8("我的配置1")}));
        QCOMPARE(view.getNameList(1), (QVariantList{QString::fromUtf8("步枪"), "A,B"}));

        // Written back and read again, nothing changes.
        for (int type : {0, 1, 2}) {
            QStringList names;
            for (const QVariant &v : view.getNameList(type))
                names << v.toString();
            view.updataNameList(type, names);
            QCOMPARE(view.getNameList(type).size(), names.size());
            for (int i = 0; i < names.size(); ++i)
                QCOMPARE(view.getNameList(type).at(i).toString(), names.at(i));
        }
    }
};

QTEST_MAIN(tst_DataNameLists)
#include "tst_data_namelists.moc"

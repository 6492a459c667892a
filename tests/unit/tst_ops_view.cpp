// The stored side of the key matrix, on a view without a HID worker: which
// keys the definitions go to and what the scene reads back.
#include "app/myQQuickView.h"
#include "support/DataFolder.h"

#include <QtTest>

class tst_ops_view : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void keyMatrixStorageFollowsLayer_data();
    void keyMatrixStorageFollowsLayer();
    void keyDefinitionsReadBack();

private:
    std::unique_ptr<DataFolder> m_data;
    std::unique_ptr<myQQuickView> m_view;
};

void tst_ops_view::init()
{
    m_data = std::make_unique<DataFolder>();
    QVERIFY(m_data->isValid());
    m_view = std::make_unique<myQQuickView>(nullptr, m_data->root());
}

void tst_ops_view::cleanup()
{
    m_view.reset();
    m_data.reset();
}

void tst_ops_view::keyMatrixStorageFollowsLayer_data()
{
    QTest::addColumn<bool>("altLayer");
    QTest::newRow("normal layer") << false;
    QTest::newRow("alternate layer") << true;
}

void tst_ops_view::keyMatrixStorageFollowsLayer()
{
    QFETCH(bool, altLayer);
    myQQuickView &v = *m_view;
    v.store.currentProfileIndex = 2;
    v.altKeyLayer = altLayer;
    const QString mine = altLayer ? "mouseKeyMatrix0/" : "mouseKeyMatrix/";
    const QString other = altLayer ? "mouseKeyMatrix/" : "mouseKeyMatrix0/";
    const QVariant otherBefore = v.store.profile(2)->value(other + "1");
    const QVariant profile1Before = v.store.profile(1)->value(mine + "1");

    // Six values: button 0 complete, button 1 half given, the rest padded.
    v.mouseSetKeyMatrix({0, 0, 0xF1, 0, 4, 1}, false, {9, 9, 9});

    QCOMPARE(v.mouseGetKeydefine(0, false), (QVariantList{0, 0, 0xF1, 0}));
    QCOMPARE(v.mouseGetKeydefine(1, false), (QVariantList{4, 1, 0, 0}));
    QCOMPARE(v.mouseGetKeydefine(15, false), (QVariantList{0, 0, 0, 0}));
    // The other layer and the other profiles keep what they had.
    QCOMPARE(v.store.profile(2)->value(other + "1"), otherBefore);
    QCOMPARE(v.store.profile(1)->value(mine + "1"), profile1Before);
    v.altKeyLayer = !altLayer;
    QCOMPARE(v.mouseGetKeydefine(1, false), (QVariantList{0, 0, 0xF1, 0}));

    // The change reaches the file.
    v.store.syncAll();
    QSettings onDisk(v.store.profilePath(2), QSettings::IniFormat);
    QCOMPARE(SettingsStore::toList(onDisk.value(mine + "1")), (QVariantList{"4", "1", "0", "0"}));
}

void tst_ops_view::keyDefinitionsReadBack()
{
    myQQuickView &v = *m_view;
    v.mouseSetKeyMatrix(QVariantList(64, 7), false, {});
    // Recovery reads the factory file whatever the layer.
    v.altKeyLayer = true;
    QCOMPARE(v.mouseGetKeydefine(7, true), (QVariantList{0, 0xF0, 0x1E, 2}));
    v.altKeyLayer = false;
    QCOMPARE(v.mouseGetKeydefine(7, false), (QVariantList{7, 7, 7, 7}));
    QCOMPARE(v.mouseGetKeydefine(QVariant(7.0), false), (QVariantList{7, 7, 7, 7}));
    QCOMPARE(v.mouseGetKeydefine(16, false), QVariantList{});
    QCOMPARE(v.mouseGetKeydefine("left", false), QVariantList{});
}

QTEST_MAIN(tst_ops_view)
#include "tst_ops_view.moc"

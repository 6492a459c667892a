// Device operations on the wire: each slot of the view, on both command
// families, plain and enciphered, against the virtual mouse. The expected
// reports are spelled out here, so a reader sees the protocol; the virtual
// mouse must also report no protocol violation.
#include "app/myQQuickView.h"
#include "support/DataFolder.h"
#include "support/VirtualMouseFixture.h"

#include <QtTest>

namespace {

QString cmd(std::initializer_list<int> block)
{
    return QStringLiteral("send_feature ") + commandHex(block);
}

// The data reports of a payload at the device's report length.
QStringList reports(const QByteArray &payload, int reportLength = 32)
{
    QStringList out;
    for (int off = 0; off < payload.size(); off += reportLength)
        out.append(QStringLiteral("write ") + dataHex(payload.mid(off, reportLength), reportLength));
    return out;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

// What the program sent on the command interface (responses and reads left
// out), enciphered blocks shown deciphered.
QStringList sent()
{
    QStringList out;
    for (const QString &line : plainWire())
        if (line.startsWith(QLatin1String("send_feature")) || line.startsWith(QLatin1String("write")))
            out.append(line);
    return out;
}

QByteArray stateBlock(int n)
{
    // state() returns a copy: keep it alive while the block is read.
    const vmouse::FirmwareState state = vmouse::state();
    const auto &b = state.profileBlocks[size_t(n)];
    return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size()));
}

QByteArray imageBlock(const myQQuickView &v, int n)
{
    return v.deviceProfileImage.mid(n * 128, 128);
}

QByteArray withBytes(QByteArray block, int offset, const QByteArray &values)
{
    block.replace(offset, values.size(), values);
    return block;
}

QVariantList ints(std::initializer_list<int> values)
{
    QVariantList out;
    for (int v : values)
        out.append(v);
    return out;
}

} // namespace

// The virtual mouse of one family and a view driving it, on a private copy
// of the data folder. Pauses advance the virtual clock.
struct Rig
{
    Rig(int family, bool encoded, int profileIndex = 0)
        : fx(config(family, encoded)), view(nullptr, data.root())
    {
        view.icType = family == 560 ? QStringLiteral("560") : QStringLiteral("553");
        view.isColorful = true;
        view.isGun = false;
        view.is55328 = false;
        setProfileIndex(profileIndex);
        view.setHidThread(&fx.hid);
        // As the connect sequence leaves them: every block read.
        view.deviceBlockRead.fill(true);
        fx.owner.family = view.icType;
        vmouse::clearTranscript();
    }

    static vmouse::Config config(int family, bool encoded)
    {
        vmouse::Config c;
        c.family = family;
        c.encoded = encoded;
        return c;
    }

    void setProfileIndex(int index)
    {
        view.store.currentProfileIndex = index;
        fx.owner.profileIndex = index;
    }

    DataFolder data;
    HidFixture fx;
    myQQuickView view;
};

#define RIG(...)                                                                                   \
    QFETCH(int, family);                                                                           \
    QFETCH(bool, encoded);                                                                         \
    Rig rig(family, encoded, ##__VA_ARGS__);                                                       \
    myQQuickView &v = rig.view;                                                                    \
    const bool is560 = family == 560;                                                              \
    Q_UNUSED(is560)

#define CHECK_CLEAN() QCOMPARE(vmouse::violations(), std::vector<std::string>())

class tst_ops_wire : public QObject
{
    Q_OBJECT
private:
    static void familyRows()
    {
        QTest::addColumn<int>("family");
        QTest::addColumn<bool>("encoded");
        QTest::newRow("553 plain") << 553 << false;
        QTest::newRow("553 enciphered") << 553 << true;
        QTest::newRow("560 plain") << 560 << false;
        QTest::newRow("560 enciphered") << 560 << true;
    }

private slots:
    void dpi_data() { familyRows(); }
    void dpi();
    void dpiHighMaskAndSkippedBlock_data() { familyRows(); }
    void dpiHighMaskAndSkippedBlock();
    void currentDpi_data() { familyRows(); }
    void currentDpi();
    void maxDpi_data() { familyRows(); }
    void maxDpi();

    void keyMatrix_data() { familyRows(); }
    void keyMatrix();
    void keyMatrixAltLayer_data() { familyRows(); }
    void keyMatrixAltLayer();
    void resetAndSwitchKeyMatrix_data() { familyRows(); }
    void resetAndSwitchKeyMatrix();
    void right_data() { familyRows(); }
    void right();

    void macro_data() { familyRows(); }
    void macro();

    void colourfulLighting_data() { familyRows(); }
    void colourfulLighting();
    void singleColourLighting_data() { familyRows(); }
    void singleColourLighting();
    void lighting55328_data() { familyRows(); }
    void lighting55328();

    void reportRateAndLod_data() { familyRows(); }
    void reportRateAndLod();
    void profileBlocks_data() { familyRows(); }
    void profileBlocks();
    void readProfileFeedsLaterChanges_data() { familyRows(); }
    void readProfileFeedsLaterChanges();
    void unreadBlockIsReadFirst_data();
    void unreadBlockIsReadFirst();
    void keyboardOptions_data() { familyRows(); }
    void keyboardOptions();

    void gunData_data() { familyRows(); }
    void gunData();
};

// ---- DPI ----

void tst_ops_wire::dpi()
{
    RIG(2);
    const QByteArray untouched = stateBlock(2);
    v.mouseSetDpi(4, "3360", ints({400, 800, 1600, 3200, 6400, 12000, 16000, 16000}));
    if (!is560) {
        QCOMPARE(sent(), QStringList{cmd({0x11, 4, 0x08})} + reports(bytes({3, 7, 15, 31, 0x80, 0x80, 0x80, 0x80})));
        QCOMPARE(int(vmouse::state().dpiStageCount), 4);
    } else {
        // All four profiles get the stages, only profile 3 goes out.
        const QByteArray codes = bytes({3, 7, 15, 31, 63, 119, 159, 159});
        const QByteArray block = withBytes(withBytes(withBytes(QByteArray(128, 0), 84, codes), 92, codes),
                                           100, bytes({0x0F}));
        QCOMPARE(sent(), QStringList{cmd({0x0C, 3, 0x80})} + reports(block));
        for (int n = 1; n <= 4; ++n)
            QCOMPARE(imageBlock(v, n), block);
        QCOMPARE(imageBlock(v, 0), QByteArray(128, 0));
        QCOMPARE(stateBlock(3), block);
        QCOMPARE(stateBlock(2), untouched);
    }
    CHECK_CLEAN();
}

void tst_ops_wire::dpiHighMaskAndSkippedBlock()
{
    RIG(0);
    v.mouseSetDpi(8, "3389", ints({200, 12800, 16000, 400, 800, 1600, 3200, 6400, 99999}));
    if (!is560) {
        // No mask on this family; the ninth value is ignored.
        QCOMPARE(sent(), QStringList{cmd({0x11, 8, 0x08})} + reports(bytes({4, 0, 0x40, 8, 16, 32, 64, 128})));
    } else {
        const QByteArray codes = bytes({4, 0, 0x40, 8, 16, 32, 64, 128});
        QByteArray block(128, 0);
        block = withBytes(block, 82, bytes({0x06, 0x06}));
        block = withBytes(withBytes(block, 84, codes), 92, codes);
        block = withBytes(block, 100, bytes({0xFF}));
        QCOMPARE(sent(), QStringList{cmd({0x0C, 1, 0x80})} + reports(block));
    }

    // Profile index 4 has no block in the image: nothing goes out on 560.
    rig.setProfileIndex(4);
    vmouse::clearTranscript();
    v.mouseSetDpi(1, "3360", ints({800}));
    QCOMPARE(sent().size(), is560 ? 0 : 2);
    CHECK_CLEAN();
}

void tst_ops_wire::currentDpi()
{
    RIG(2);
    v.mouseSetCurrentDPI(5);
    QCOMPARE(sent(), QStringList{is560 ? cmd({0x04, 3, 5}) : cmd({0x0B, 5})});

    vmouse::editState([](vmouse::FirmwareState &s) {
        s.currentDpi = 6;
        s.profileCurrentDpi[3] = 7;
    });
    vmouse::clearTranscript();
    QCOMPARE(v.mouseGetCurrentDPI(), QVariant(is560 ? 7 : 6));
    QCOMPARE(sent(), QStringList{is560 ? cmd({0x84, 3}) : cmd({0x82})});

    // A device that does not answer: stage 3.
    vmouse::setMuted(true);
    QCOMPARE(v.mouseGetCurrentDPI(), QVariant(3));
    vmouse::setMuted(false);
    CHECK_CLEAN();
}

void tst_ops_wire::maxDpi()
{
    RIG(1);
    // Block 0 under number 0; the 553 firmware has no blocks and gets nothing.
    v.mouseSetMaxDpi(0x106);
    const QByteArray block = withBytes(QByteArray(128, 0), 70, bytes({6}));
    QCOMPARE(sent(), is560 ? QStringList{cmd({0x0C, 0, 0x80})} + reports(block) : QStringList());
    QCOMPARE(imageBlock(v, 0), block);
    CHECK_CLEAN();
}

// ---- key matrix ----

namespace {

// The scene's built-in layout with a macro on button 9 and gun fire on 10.
QVariantList sceneLayout()
{
    return ints({0, 0, 0xF0, 0, 0, 0, 0xF1, 0, 0, 0, 0xF2, 0, 0, 0, 0xF4, 0, 0, 0, 0xF3, 0,
                 5, 0, 1, 0, 5, 0, 4, 0, 0, 0xF0, 0x1E, 2, 6, 0, 0x94, 1, 4, 1, 9, 0,
                 0x0B, 0xFF, 9, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 1, 0, 0xFF, 0, 2, 0});
}

QByteArray deviceLayout(bool is560)
{
    return bytes({0x0B, 0, 9, 3,    0x01, 0, 0xF1, 0,  0x01, 0, 0xF2, 0,  0x01, 0, 0xF3, 0,
                  0x07, 0, 1, 0,    0x01, 0, 0xF4, 0}) +
           (is560 ? bytes({0x0B, 0, 3, 3}) : bytes({0x07, 0, 4, 1})) +
           bytes({0x0A, 0xF0, 0x1E, 2,  0x0C, 0, 0, 0,  0x09, 1, 10, 0,  0x08, 0, 2, 0,  0x01, 0, 0, 0,
                  0x01, 0, 0, 0,        0x01, 0, 0, 0,  0x04, 0, 1, 0,   0x04, 0, 2, 0});
}

} // namespace

void tst_ops_wire::keyMatrix()
{
    RIG(2);
    // Not sent: only stored.
    v.mouseSetKeyMatrix(sceneLayout(), false, ints({9, 9, 9}));
    QCOMPARE(sent(), QStringList());

    v.mouseSetKeyMatrix(sceneLayout(), true, ints({9, 9, 9}));
    const QByteArray matrix = deviceLayout(is560);
    if (is560)
        QCOMPARE(sent(), QStringList{cmd({0x0D, 3, 0x80})} + reports(matrix + QByteArray(64, 0)));
    else
        QCOMPARE(sent(), (QStringList{cmd({0x02, 0}), cmd({0x12, 0, 0x40, 0x08})} + reports(matrix)));
    CHECK_CLEAN();
}

void tst_ops_wire::keyMatrixAltLayer()
{
    RIG(0);
    v.altKeyLayer = true;
    v.mouseSetKeyMatrix(sceneLayout(), true, {});
    const QByteArray matrix = deviceLayout(is560);
    if (is560)
        QCOMPARE(sent(), QStringList{cmd({0x0D, 1, 0x80})} + reports(matrix + QByteArray(64, 0)));
    else
        QCOMPARE(sent(), (QStringList{cmd({0x02, 1}), cmd({0x12, 2, 0x40, 0x08})} + reports(matrix)));
    QCOMPARE(v.mouseGetKeydefine(10, false), ints({0x0B, 0xFF, 9, 3}));
    CHECK_CLEAN();
}

void tst_ops_wire::resetAndSwitchKeyMatrix()
{
    RIG(1);
    // The factory matrix is stored in device encoding and goes out unchanged,
    // as matrices 2, 3 and 4.
    QSettings *s = v.store.current();
    for (int n = 0; n < 16; ++n)
        s->setValue(QStringLiteral("mouseFwKeyMatrix/%1").arg(n), ints({n, 0x10 + n, 0x20 + n, 0x30 + n}));
    s->setValue(QStringLiteral("mouseFwKeyMatrix/5"), ints({1, 2})); // broken: zeros
    QByteArray matrix;
    for (int n = 0; n < 16; ++n)
        matrix += n == 5 ? bytes({0, 0, 0, 0}) : bytes({n, 0x10 + n, 0x20 + n, 0x30 + n});
    v.mouseResetKeyMatrix();
    QStringList expected;
    for (int m = 2; m <= 4; ++m) {
        if (is560)
            expected += QStringList{cmd({0x0D, m, 0x80})} + reports(matrix + QByteArray(64, 0));
        else
            expected += QStringList{cmd({0x12, m, 0x40, 0x08})} + reports(matrix);
    }
    QCOMPARE(sent(), expected);

    vmouse::clearTranscript();
    v.mouseSwitchKeyMatrix(3);
    QCOMPARE(sent(), QStringList{is560 ? cmd({0x02, 3}) : cmd({0x02, 2})});
    CHECK_CLEAN();
}

void tst_ops_wire::right()
{
    RIG(0);
    // The one-byte 553 query on either family; its answer sets the layer.
    vmouse::editState([](vmouse::FirmwareState &s) {
        s.currentDpi = 2;
        s.currentProfile = 1;
    });
    v.mouseGetRight();
    QCOMPARE(sent(), QStringList{cmd({0x82})});
    QVERIFY(v.altKeyLayer);

    vmouse::setMuted(true);
    v.mouseGetRight();
    QVERIFY(!v.altKeyLayer);
    vmouse::setMuted(false);
    CHECK_CLEAN();
}

// ---- macros ----

void tst_ops_wire::macro()
{
    RIG(0);
    const QVariantList stream = ints({0, 1, 5, 4, 0x81, 4, 0, 0});
    QCOMPARE(v.mouseSendMacroData(stream, 3), QVariant(true));
    const QByteArray payload = withBytes(QByteArray(128, 0), 0, bytes({0, 1, 5, 4, 0x81, 4, 0, 0}));
    QCOMPARE(sent(), QStringList{cmd({is560 ? 0x0F : 0x13, 4, 0x80})} + reports(payload));
    QCOMPARE(vmouse::state().macros.at(4).size(), size_t(128));

    // Slots 12 to 15 belong to buttons without macro memory.
    vmouse::clearTranscript();
    for (int slot = 12; slot <= 15; ++slot)
        QCOMPARE(v.mouseSendMacroData(stream, slot), QVariant(true));
    QCOMPARE(sent(), QStringList());

    // A stream longer than 128 bytes is cut.
    QVariantList tooLong;
    for (int i = 0; i < 130; ++i)
        tooLong.append(i);
    v.mouseSendMacroData(tooLong, 11);
    QByteArray cut;
    for (int i = 0; i < 128; ++i)
        cut.append(char(i));
    QCOMPARE(sent(), QStringList{cmd({is560 ? 0x0F : 0x13, 12, 0x80})} + reports(cut));
    CHECK_CLEAN();
}

// ---- lighting ----

namespace {
QVariantList colourList(int eighth)
{
    return ints({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0, 0, 255, 255, 255, 0, 255, 255, 255, 255,
                 eighth, eighth, eighth, 77, 77});
}
QByteArray colourBytes(int eighth)
{
    return bytes({255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0, 0, 255, 255, 255, 0, 255, 255, 255, 255,
                  eighth, eighth, eighth});
}
} // namespace

void tst_ops_wire::colourfulLighting()
{
    RIG(2);
    v.mouseSetRGBEffect(10, 4, 2);
    if (is560) {
        const QByteArray block = withBytes(QByteArray(128, 0), 71, bytes({10, 0x80, 23}));
        QCOMPARE(sent(), QStringList{cmd({0x0C, 3, 0x80})} + reports(block));
    } else {
        QCOMPARE(sent(), QStringList{cmd({0x0D, 10, 0x80, 23})});
    }

    vmouse::clearTranscript();
    v.mouseSetRGBColor(0, colourList(128));
    if (is560) {
        const QByteArray block = withBytes(QByteArray(128, 0), 24, colourBytes(128));
        QCOMPARE(sent(), QStringList{cmd({0x0C, 0, 0x80})} + reports(block));
    } else {
        // Twice in a row on a device that is not a 55328.
        const QStringList once = QStringList{cmd({0x10, 0, 24})} + reports(colourBytes(128));
        QCOMPARE(sent(), once + once);
        vmouse::clearTranscript();
        v.mouseSetRGBColor(2, colourList(128));
        const QStringList short4 = QStringList{cmd({0x10, 2, 4})} + reports(bytes({255, 0, 0, 0}));
        QCOMPARE(sent(), short4 + short4);
    }

    // Profile index 4 has no block: the 560 effect is skipped.
    rig.setProfileIndex(4);
    vmouse::clearTranscript();
    v.mouseSetRGBEffect(1, 1, 1);
    QCOMPARE(sent(), is560 ? QStringList() : QStringList{cmd({0x0D, 1, 0x40, 7})});
    CHECK_CLEAN();
}

void tst_ops_wire::singleColourLighting()
{
    RIG(2);
    v.isColorful = false;
    // Breath at speed step 2.
    v.mouseSetRGBEffect(1, 2, 0);
    if (!is560) {
        // Not a 55328: the mode byte is always 2.
        QCOMPARE(sent(), QStringList{cmd({0x0D, 2, 3, 2})});
    } else {
        // No gun slots: mode 3 in block 1, and the block numbered like the
        // profile index (2) goes out under that number.
        const QByteArray profile = withBytes(QByteArray(128, 0), 71, bytes({2, 3, 2}));
        QCOMPARE(sent(), QStringList{cmd({0x0C, 2, 0x80})} + reports(profile));
        QCOMPARE(imageBlock(v, 1), withBytes(QByteArray(128, 0), 71, bytes({2, 3, 3})));
        QCOMPARE(imageBlock(v, 3), profile);
        QCOMPARE(imageBlock(v, 4), profile);

        // With gun slots every profile block goes out, in order.
        v.isGun = true;
        vmouse::clearTranscript();
        v.mouseSetRGBEffect(0, 0, 4);
        const QByteArray stat = withBytes(QByteArray(128, 0), 71, bytes({1, 10, 2}));
        QStringList expected;
        for (int n = 1; n <= 4; ++n)
            expected += QStringList{cmd({0x0C, n, 0x80})} + reports(stat);
        QCOMPARE(sent(), expected);
    }

    vmouse::clearTranscript();
    v.mouseSetRGBColor(1, colourList(9));
    if (is560) {
        QByteArray block1 = imageBlock(v, 1);
        QCOMPARE(block1.mid(104), colourBytes(9));
        QCOMPARE(sent(), QStringList{cmd({0x0C, 1, 0x80})} + reports(block1));
    } else {
        const QStringList once = QStringList{cmd({0x10, 1, 24})} + reports(colourBytes(9));
        QCOMPARE(sent(), once + once);
    }
    CHECK_CLEAN();
}

void tst_ops_wire::lighting55328()
{
    RIG(0);
    v.isColorful = false;
    v.is55328 = true;
    // Breath Loop at speed step 2.
    v.mouseSetRGBEffect(4, 2, 1);
    if (!is560) {
        QCOMPARE(sent(), QStringList{cmd({0x0D, 2, 3, 3})});
        // Colour 8 black: the fixed colour (colour 1) instead of the table.
        vmouse::clearTranscript();
        v.mouseSetRGBColor(1, colourList(0));
        QCOMPARE(sent(), QStringList{cmd({0x0C, 255, 0, 0})});
        vmouse::clearTranscript();
        v.mouseSetRGBColor(1, colourList(5));
        QCOMPARE(sent(), QStringList{cmd({0x10, 0, 24})} + reports(colourBytes(5)));
    } else {
        QCOMPARE(imageBlock(v, 2).mid(71, 3), bytes({2, 3, 2}));
    }
    CHECK_CLEAN();
}

// ---- report rate, lift-off, profiles, keyboard options ----

void tst_ops_wire::reportRateAndLod()
{
    RIG(2);
    v.mouseSetReportRate(1);
    QCOMPARE(sent(), QStringList{is560 ? cmd({0x03, 3, 1}) : cmd({0x01, 1})});
    vmouse::clearTranscript();
    v.mouseSetLod(40, 1);
    QCOMPARE(sent(), QStringList());
    CHECK_CLEAN();
}

void tst_ops_wire::profileBlocks()
{
    RIG(0);
    for (int n = 0; n < 5; ++n)
        v.deviceProfileImage[n * 128 + 1] = char(0xA0 + n);
    v.mouseSetProfile(0);
    v.mouseSetProfile(4);
    v.mouseSetProfile(5);
    const QByteArray b0 = withBytes(QByteArray(128, 0), 1, bytes({0xA0}));
    const QByteArray b4 = withBytes(QByteArray(128, 0), 1, bytes({0xA4}));
    if (is560)
        QCOMPARE(sent(), QStringList{cmd({0x0C, 0, 0x80})} + reports(b0) + QStringList{cmd({0x0C, 4, 0x80})}
                             + reports(b4));
    else
        QCOMPARE(sent(), QStringList()); // no profile blocks on this family

    vmouse::editState([](vmouse::FirmwareState &s) { s.currentProfile = 4; });
    vmouse::clearTranscript();
    const QVariant profile = v.mouseReadCurrentProfile();
    QCOMPARE(sent(), QStringList{cmd({0x82})});
    if (is560)
        QCOMPARE(profile, QVariant(4));
    vmouse::setMuted(true);
    QCOMPARE(v.mouseReadCurrentProfile(), QVariant(0));
    vmouse::setMuted(false);
    CHECK_CLEAN();
}

void tst_ops_wire::readProfileFeedsLaterChanges()
{
    RIG(1);
    QByteArray device(128, 0);
    for (int i = 0; i < 128; ++i)
        device[i] = char(i * 3 + 1);
    vmouse::editState([&](vmouse::FirmwareState &s) {
        std::copy(device.begin(), device.end(), s.profileBlocks[2].begin());
    });
    v.mouseReadProfile(2);
    QCOMPARE(sent(), QStringList{cmd({0x8C, 2})});
    if (!is560) {
        // The 553 firmware has no profile blocks: nothing arrives.
        QCOMPARE(imageBlock(v, 2), QByteArray(128, 0));
        CHECK_CLEAN();
        return;
    }
    QCOMPARE(imageBlock(v, 2), device);

    // A later DPI change starts from the device's bytes.
    vmouse::clearTranscript();
    v.mouseSetDpi(2, "3360", ints({800, 1600}));
    QByteArray expected = device;
    expected = withBytes(expected, 84, bytes({7, 15, 0, 0, 0, 0, 0, 0, 7, 15, 0, 0, 0, 0, 0, 0, 0x03}));
    QCOMPARE(sent(), QStringList{cmd({0x0C, 2, 0x80})} + reports(expected));

    // Profile number 5 names no block: nothing is read.
    vmouse::clearTranscript();
    v.mouseReadProfile(5);
    QCOMPARE(sent(), QStringList());
    CHECK_CLEAN();
}

void tst_ops_wire::unreadBlockIsReadFirst_data()
{
    QTest::addColumn<bool>("answers");
    QTest::newRow("mouse hands the block over") << true;
    QTest::newRow("mouse sends no block") << false;
}

// A block the connect sequence could not read goes out only after it has
// been read: the first save then keeps every byte the edit does not own, and
// a mouse that still sends nothing gets nothing.
void tst_ops_wire::unreadBlockIsReadFirst()
{
    QFETCH(bool, answers);
    Rig rig(560, false, 3);
    myQQuickView &v = rig.view;
    v.deviceBlockRead.fill(false);
    QByteArray device(128, 0);
    for (int i = 0; i < 128; ++i)
        device[i] = char(0x80 | i);
    vmouse::editState([&](vmouse::FirmwareState &s) {
        std::copy(device.begin(), device.end(), s.profileBlocks[4].begin());
    });
    vmouse::setMuted(!answers);
    v.mouseSetDpi(2, "3360", ints({800, 1600}));
    vmouse::setMuted(false);
    const QByteArray expected =
        withBytes(device, 84, bytes({7, 15, 0, 0, 0, 0, 0, 0, 7, 15, 0, 0, 0, 0, 0, 0, 0x03}));
    if (answers)
        QCOMPARE(sent(), QStringList{cmd({0x8C, 4})} + QStringList{cmd({0x0C, 4, 0x80})} + reports(expected));
    else
        QCOMPARE(sent(), QStringList{cmd({0x8C, 4})});
    QCOMPARE(stateBlock(4), answers ? expected : device);
    QCOMPARE(v.deviceBlockRead[4], answers);
    CHECK_CLEAN();
}

void tst_ops_wire::keyboardOptions()
{
    RIG(0);
    // The option bytes are the 553 firmware's; to the 560 firmware 0x03 would
    // set the report rate of profile 1.
    const int rate = vmouse::state().profileReportRate[1];
    v.mouseSetKeyboardoption(1, 2, 3, 0x40);
    QCOMPARE(sent(), is560 ? QStringList() : QStringList{cmd({0x03, 1, 2, 3, 0x40})});
    QCOMPARE(int(vmouse::state().profileReportRate[1]), rate);
    vmouse::clearTranscript();
    const QVariantList options = v.GetKeyboardoption();
    QCOMPARE(sent(), QStringList{cmd({0x83})});
    if (!is560)
        QCOMPARE(options, ints({1, 2, 3, 0x40}));
    vmouse::setMuted(true);
    QCOMPARE(v.GetKeyboardoption(), ints({0, 0, 0, 0}));
    vmouse::setMuted(false);
    CHECK_CLEAN();
}

// ---- gun data ----

void tst_ops_wire::gunData()
{
    RIG(0);
    // Without the gun flag nothing at all happens, not even a query.
    v.mouseSendGundata(3, ints({20, 1, 10}));
    QCOMPARE(plainWire(), QStringList());
    QCOMPARE(vmouse::transcript().size(), size_t(0));

    v.isGun = true;
    if (!is560) {
        vmouse::editState([](vmouse::FirmwareState &s) { s.options553 = {0, 0, 1, 0}; });
        v.mouseSendGundata(3, ints({20, 1, 10}));
        QCOMPARE(sent(), (QStringList{cmd({0x83}), cmd({0x04, 0, 20, 1, 0xF6, 2})}));
        // Byte 3 clear, and a short list: Y as it is, missing values 0.
        vmouse::editState([](vmouse::FirmwareState &s) { s.options553 = {0, 0, 0, 0}; });
        vmouse::clearTranscript();
        v.mouseSendGundata(1, ints({5}));
        QCOMPARE(sent(), (QStringList{cmd({0x83}), cmd({0x04, 0, 5, 0, 0, 0})}));
        // No answer to the option read: Y is not negated.
        vmouse::setMuted(true);
        vmouse::clearTranscript();
        v.mouseSendGundata(2, ints({1, 2, 3}));
        QCOMPARE(sent(), (QStringList{cmd({0x83}), cmd({0x04, 0, 1, 2, 3, 1})}));
        vmouse::setMuted(false);
    } else {
        v.deviceProfileImage[4 * 128 + 65] = char(0xFF);
        v.mouseSendGundata(3, ints({20, 1, 10}));
        QByteArray block4(128, 0);
        block4 = withBytes(block4, 65, bytes({0xFB}));
        block4 = withBytes(block4, 78, bytes({0xF0, 20, 1, 10}));
        QCOMPARE(sent(), QStringList{cmd({0x0C, 4, 0x80})} + reports(block4));
        QCOMPARE(stateBlock(4), block4);
    }
    CHECK_CLEAN();
}

QTEST_MAIN(tst_ops_wire)
#include "tst_ops_wire.moc"

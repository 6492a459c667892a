// The pure encoders of the device operations: every translation rule as a
// table, so a reader sees the firmware's expectations next to the input.
#include "ops/DeviceProfileImage.h"
#include "ops/DpiCodes.h"
#include "ops/KeyMatrix.h"
#include "ops/Lighting.h"
#include "ops/Transfers.h"

#include <QtTest>

#include <set>

using Bytes = QList<int>;
Q_DECLARE_METATYPE(Family)

namespace {

template<size_t N>
Bytes toBytes(const std::array<uchar, N> &a)
{
    return Bytes(a.begin(), a.end());
}

Bytes entry(const KeyMatrix::Payload &p, int n)
{
    return Bytes(p.begin() + n * 4, p.begin() + n * 4 + 4);
}

QVariantList list(std::initializer_list<int> values)
{
    QVariantList out;
    for (int v : values)
        out.append(v);
    return out;
}

// 64 values, all zero but the definition of one button.
QVariantList withButton(int button, const Bytes &def)
{
    QVariantList v = KeyMatrix::padded({});
    for (int k = 0; k < 4; ++k)
        v[button * 4 + k] = def.at(k);
    return v;
}

} // namespace

class tst_ops_encoders : public QObject
{
    Q_OBJECT
private slots:
    void dpiCode_data();
    void dpiCode();
    void dpiStages();
    void dpiStageMasks();

    void keyEntry_data();
    void keyEntry();
    void keyMatrixLayout();
    void keyMatrixGunFire_data();
    void keyMatrixGunFire();
    void keyMatrixSizes();

    void colourfulEffect_data();
    void colourfulEffect();
    void singleColourEffect_data();
    void singleColourEffect();
    void colours();

    void imageOffsetsOwnedOnce();
    void imageDpi();
    void imageGunAndBlocks();

    void macroNumber_data();
    void macroNumber();
    void macroPayload();
    void gunValues();
};

// ---- DPI ----

void tst_ops_encoders::dpiCode_data()
{
    QTest::addColumn<QString>("sensor");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("highBit");

    QTest::newRow("3360 800") << "3360" << 800 << 7 << false;
    QTest::newRow("4090 5000 first rule") << "4090" << 5000 << 49 << false;
    QTest::newRow("4090 5001 second rule") << "4090" << 5001 << 0x59 << false;
    QTest::newRow("4090 6000") << "4090" << 6000 << 0x5E << false;
    QTest::newRow("3389 16000") << "3389" << 16000 << 0x40 << true;
    QTest::newRow("3389 12799") << "3389" << 12799 << 255 << false;
    QTest::newRow("3389 12800") << "3389" << 12800 << 0 << true;
    QTest::newRow("3327 800") << "3327" << 800 << 8 << false;
    QTest::newRow("3050 1600") << "3050" << 1600 << 0x07 << false;
    QTest::newRow("3050 250") << "3050" << 250 << 0x01 << false;
    QTest::newRow("3050 251") << "3050" << 251 << 0x02 << false;
    QTest::newRow("3050 2001") << "3050" << 2001 << 0x45 << false;
    QTest::newRow("3050 4000") << "3050" << 4000 << 0x48 << false;
    QTest::newRow("3050 4001") << "3050" << 4001 << 0 << false;
    QTest::newRow("unknown like 4090, low") << "9800" << 800 << 7 << false;
    QTest::newRow("unknown like 4090, high") << "9800" << 5001 << 0x59 << false;
    QTest::newRow("empty name like 4090") << "" << 6000 << 0x5E << false;
    QTest::newRow("names compare exactly") << "3389 " << 5001 << 0x59 << false;
}

void tst_ops_encoders::dpiCode()
{
    QFETCH(QString, sensor);
    QFETCH(int, value);
    QFETCH(int, code);
    QFETCH(bool, highBit);
    const DpiCodes::Code c = DpiCodes::encode(sensor, value);
    QCOMPARE(int(c.code), code);
    QCOMPARE(c.highBit, highBit);
}

void tst_ops_encoders::dpiStages()
{
    // Values after the eighth are ignored; the high bits gather in the mask.
    const DpiCodes::Stages s = DpiCodes::encodeStages(
        "3389", list({400, 12800, 800, 16000, 1600, 3200, 6400, 13000, 25000, 30000}));
    QCOMPARE(toBytes(s.codes), (Bytes{8, 0, 16, 0x40, 32, 64, 128, 4}));
    QCOMPARE(int(s.highMask), 0b10001010);
    QVERIFY(s.usesHighMask);

    // A short list leaves the missing stages at code 0.
    const DpiCodes::Stages shortList = DpiCodes::encodeStages("3360", list({800, 1600}));
    QCOMPARE(toBytes(shortList.codes), (Bytes{7, 15, 0, 0, 0, 0, 0, 0}));
    QVERIFY(!shortList.usesHighMask);

    // Values as the scene hands them: doubles from script, text from a file.
    const DpiCodes::Stages mixed = DpiCodes::encodeStages("3360", {QVariant(800.0), QVariant("1600")});
    QCOMPARE(toBytes(mixed.codes).mid(0, 2), (Bytes{7, 15}));
}

void tst_ops_encoders::dpiStageMasks()
{
    const DpiCodes::Stages s = DpiCodes::encodeStages("3360", list({400, 800, 1600, 3200, 4000, 5000, 6000, 7000}));
    QCOMPARE(toBytes(DpiCodes::withStagesOff(s, 4)), (Bytes{3, 7, 15, 31, 0x80, 0x80, 0x80, 0x80}));
    QCOMPARE(toBytes(DpiCodes::withStagesOff(s, 8)), toBytes(s.codes));
    QCOMPARE(toBytes(DpiCodes::withStagesOff(s, 0)), Bytes(8, 0x80));
    QCOMPARE(toBytes(DpiCodes::withStagesOff(s, -3)), Bytes(8, 0x80));

    QCOMPARE(int(DpiCodes::enableMask(1)), 0x01);
    QCOMPARE(int(DpiCodes::enableMask(4)), 0x0F);
    QCOMPARE(int(DpiCodes::enableMask(8)), 0xFF);
    QCOMPARE(int(DpiCodes::enableMask(12)), 0xFF);
    QCOMPARE(int(DpiCodes::enableMask(0)), 0x00);
}

// ---- key matrix ----

void tst_ops_encoders::keyEntry_data()
{
    QTest::addColumn<Family>("family");
    QTest::addColumn<Bytes>("scene");
    QTest::addColumn<Bytes>("device");

    const Family f553 = Family::Hid553, f560 = Family::Hid560;
    QTest::newRow("left button") << f553 << Bytes{0, 0, 0xF0, 0} << Bytes{0x01, 0, 0xF0, 0};
    QTest::newRow("disabled button") << f560 << Bytes{0, 0, 0, 0} << Bytes{0x01, 0, 0, 0};
    QTest::newRow("double click") << f553 << Bytes{0, 0xF0, 0x1E, 0x02} << Bytes{0x0A, 0xF0, 0x1E, 0x02};
    QTest::newRow("auto-fire") << f553 << Bytes{1, 0x04, 100, 0} << Bytes{0x0A, 0x04, 100, 0};
    QTest::newRow("auto-fire 4 at 33 ms x2 hits the consumer rule")
        << f560 << Bytes{1, 0x21, 0x21, 0x02} << Bytes{0x03, 0x21, 0x21, 0x02};
    QTest::newRow("combination") << f553 << Bytes{2, 0x05, 0x04, 0x16} << Bytes{0x00, 0x05, 0x04, 0x16};
    QTest::newRow("media play") << f553 << Bytes{3, 0, 0xCD, 0} << Bytes{0x03, 0, 0xCD, 0};
    QTest::newRow("macro on button 6 mode 1") << f560 << Bytes{4, 1, 6, 0} << Bytes{0x09, 1, 7, 0};
    QTest::newRow("DPI+") << f553 << Bytes{5, 0, 1, 0} << Bytes{0x07, 0, 1, 0};
    QTest::newRow("DPI loop") << f560 << Bytes{5, 0, 3, 0} << Bytes{0x07, 0, 3, 0};
    QTest::newRow("sniper 560") << f560 << Bytes{5, 0, 4, 0} << Bytes{0x0B, 0, 3, 3};
    QTest::newRow("sniper 553") << f553 << Bytes{5, 0, 4, 0} << Bytes{0x07, 0, 4, 1};
    QTest::newRow("my computer") << f553 << Bytes{6, 0, 0x94, 0x01} << Bytes{0x03, 0, 0x94, 0x01};
    QTest::newRow("home page") << f553 << Bytes{6, 0, 0x23, 0x02} << Bytes{0x03, 0, 0x23, 0x02};
    QTest::newRow("search") << f560 << Bytes{6, 0, 0x21, 0x02} << Bytes{0x03, 0, 0x21, 0x02};
    QTest::newRow("desktop") << f553 << Bytes{6, 0, 0xE3, 0x07} << Bytes{0x00, 0, 0xE3, 0x07};
    QTest::newRow("shortcut copy") << f553 << Bytes{7, 0, 0xE0, 0x06} << Bytes{0x00, 0, 0xE0, 0x06};
    QTest::newRow("gun selection") << f560 << Bytes{8, 0, 2, 0} << Bytes{0x08, 0, 2, 0};
    QTest::newRow("empty slot") << f553 << Bytes{0xFF, 0, 1, 0} << Bytes{0x04, 0, 1, 0};
    QTest::newRow("unknown code unchanged") << f553 << Bytes{0x0E, 1, 2, 3} << Bytes{0x0E, 1, 2, 3};
    QTest::newRow("gun fire without 0xFF stays") << f553 << Bytes{0x0B, 0, 4, 5} << Bytes{0x0B, 0, 4, 5};
}

void tst_ops_encoders::keyEntry()
{
    QFETCH(Family, family);
    QFETCH(Bytes, scene);
    QFETCH(Bytes, device);
    // Button 1 is moved by no rule of the matrix.
    const KeyMatrix::Payload p = KeyMatrix::toDevice(withButton(1, scene), family);
    QCOMPARE(entry(p, 1), device);
}

void tst_ops_encoders::keyMatrixLayout()
{
    // The scene's built-in layout, button by button.
    const QVariantList layout = list({0, 0, 0xF0, 0,   0, 0, 0xF1, 0,   0, 0, 0xF2, 0,   0, 0, 0xF4, 0,
                                      0, 0, 0xF3, 0,   5, 0, 1, 0,      5, 0, 2, 0,      0, 0xF0, 0x1E, 2,
                                      6, 0, 0x94, 1,   4, 2, 9, 0,      0, 0, 0, 0,      0, 0, 0, 0,
                                      0, 0, 0, 0,      0, 0, 0, 0,      0xFF, 0, 1, 0,   0xFF, 0, 2, 0});
    const KeyMatrix::Payload p = KeyMatrix::toDevice(layout, Family::Hid553);
    const QList<Bytes> expected = {
        {0x01, 0, 0xF0, 0}, {0x01, 0, 0xF1, 0}, {0x01, 0, 0xF2, 0},
        {0x01, 0, 0xF3, 0}, // scene button 4
        {0x07, 0, 1, 0},    // scene button 5
        {0x01, 0, 0xF4, 0}, // scene button 3
        {0x07, 0, 2, 0},    {0x0A, 0xF0, 0x1E, 2},
        {0x0C, 0, 0, 0}, // entry 8 is fixed, whatever button 8 holds
        {0x09, 2, 10, 0}, {0x01, 0, 0, 0}, {0x01, 0, 0, 0},
        {0x01, 0, 0, 0}, {0x01, 0, 0, 0}, {0x04, 0, 1, 0}, {0x04, 0, 2, 0},
    };
    for (int n = 0; n < 16; ++n)
        QCOMPARE(entry(p, n), expected.at(n));
}

void tst_ops_encoders::keyMatrixGunFire_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("entryOfButton"); // where the button's entry lands
    QTest::addColumn<Bytes>("entry0");

    QTest::newRow("button 9") << 9 << 9 << Bytes{0x0B, 0, 4, 5};
    QTest::newRow("button 0 itself") << 0 << 0 << Bytes{0x08, 0, 2, 0};
    QTest::newRow("button 3, then rotated") << 3 << 5 << Bytes{0x0B, 0, 4, 5};
}

void tst_ops_encoders::keyMatrixGunFire()
{
    QFETCH(int, button);
    QFETCH(int, entryOfButton);
    QFETCH(Bytes, entry0);
    QVariantList scene = withButton(0, {0, 0, 0xF0, 0});
    for (int k = 0; k < 4; ++k)
        scene[button * 4 + k] = Bytes{0x0B, 0xFF, 4, 5}.at(k);
    const KeyMatrix::Payload p = KeyMatrix::toDevice(scene, Family::Hid560);
    QCOMPARE(entry(p, 0), entry0);
    QCOMPARE(entry(p, entryOfButton), (Bytes{0x08, 0, 2, 0}));
}

void tst_ops_encoders::keyMatrixSizes()
{
    // A short list is padded with zeros (each a disabled button), a long one
    // cut at 64 values.
    QCOMPARE(KeyMatrix::padded(list({1, 2})).size(), 64);
    QCOMPARE(KeyMatrix::padded(QVariantList(80, 7)).size(), 64);
    const KeyMatrix::Payload shortP = KeyMatrix::toDevice(list({0, 0, 0xF1, 0, 5, 0}), Family::Hid553);
    QCOMPARE(entry(shortP, 0), (Bytes{0x01, 0, 0xF1, 0}));
    QCOMPARE(entry(shortP, 1), (Bytes{0x07, 0, 0, 0}));
    QCOMPARE(entry(shortP, 15), (Bytes{0x01, 0, 0, 0}));

    // Stored factory entries in device encoding pass unchanged; a broken one
    // gives zeros, a missing one too.
    const KeyMatrix::Payload fw = KeyMatrix::fromDeviceEntries(
        {list({0x01, 0, 0xF0, 0}), list({0x09, 1, 2}), list({0x0C, 0, 0, 0, 9})});
    QCOMPARE(entry(fw, 0), (Bytes{0x01, 0, 0xF0, 0}));
    QCOMPARE(entry(fw, 1), (Bytes{0, 0, 0, 0}));
    QCOMPARE(entry(fw, 2), (Bytes{0x0C, 0, 0, 0}));
    QCOMPARE(entry(fw, 3), (Bytes{0, 0, 0, 0}));
}

// ---- lighting ----

void tst_ops_encoders::colourfulEffect_data()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<Bytes>("bytes"); // code, brightness byte, speed byte

    QTest::newRow("Spotlight fast, half bright") << 10 << 4 << 2 << Bytes{10, 0x80, 23};
    QTest::newRow("Static ignores the steps") << 0 << 3 << 4 << Bytes{0, 0, 0};
    QTest::newRow("Breath slowest, dark") << 1 << 0 << 0 << Bytes{1, 0, 10};
    QTest::newRow("Breath full") << 1 << 4 << 4 << Bytes{1, 0xFF, 1};
    QTest::newRow("Neon") << 2 << 2 << 1 << Bytes{2, 0x40, 15};
    QTest::newRow("OFF keeps a speed") << 3 << 1 << 4 << Bytes{3, 0, 7};
    QTest::newRow("Twinkling no speed") << 4 << 4 << 3 << Bytes{4, 0xC0, 0};
    QTest::newRow("Wave") << 5 << 2 << 2 << Bytes{5, 0x80, 0};
    QTest::newRow("Gliding no brightness") << 6 << 0 << 4 << Bytes{6, 0, 10};
    QTest::newRow("Finger Moving") << 7 << 3 << 3 << Bytes{7, 0, 0};
    QTest::newRow("Vertical Flipping") << 8 << 1 << 1 << Bytes{8, 0x40, 0};
    QTest::newRow("YO-YO") << 9 << 3 << 4 << Bytes{9, 0xFF, 7};
    QTest::newRow("speed step above 4") << 2 << 5 << 4 << Bytes{2, 0xFF, 0};
    QTest::newRow("brightness step above 4") << 9 << 0 << 5 << Bytes{9, 0, 15};
    QTest::newRow("effect above 10") << 11 << 1 << 1 << Bytes{0, 0, 0};
}

void tst_ops_encoders::colourfulEffect()
{
    QFETCH(int, effect);
    QFETCH(int, speed);
    QFETCH(int, brightness);
    QFETCH(Bytes, bytes);
    const Lighting::Effect e = Lighting::colourful(uchar(effect), uchar(speed), uchar(brightness));
    QCOMPARE((Bytes{e.code, e.second, e.third}), bytes);
}

void tst_ops_encoders::singleColourEffect_data()
{
    QTest::addColumn<int>("effect");
    QTest::addColumn<int>("speed");
    QTest::addColumn<int>("brightness");
    QTest::addColumn<Bytes>("bytes"); // code, value, mode byte

    QTest::newRow("Static dim") << 0 << 4 << 0 << Bytes{1, 1, 1};
    QTest::newRow("Static bright") << 0 << 0 << 4 << Bytes{1, 10, 1};
    QTest::newRow("Static step above 4") << 0 << 0 << 5 << Bytes{1, 0, 1};
    QTest::newRow("Breath") << 1 << 2 << 0 << Bytes{2, 3, 1};
    QTest::newRow("Neon slow") << 2 << 0 << 2 << Bytes{3, 30, 1};
    QTest::newRow("Neon fast") << 2 << 4 << 2 << Bytes{3, 6, 1};
    QTest::newRow("Neon step above 4") << 2 << 5 << 2 << Bytes{3, 0, 1};
    QTest::newRow("OFF") << 3 << 2 << 2 << Bytes{0, 0, 0};
    QTest::newRow("Breath Loop") << 4 << 2 << 1 << Bytes{2, 3, 3};
    QTest::newRow("unknown effect is OFF") << 7 << 2 << 2 << Bytes{0, 0, 0};
}

void tst_ops_encoders::singleColourEffect()
{
    QFETCH(int, effect);
    QFETCH(int, speed);
    QFETCH(int, brightness);
    QFETCH(Bytes, bytes);
    const Lighting::Effect e = Lighting::singleColour(uchar(effect), uchar(speed), uchar(brightness));
    QCOMPARE((Bytes{e.code, e.second, e.third}), bytes);
}

void tst_ops_encoders::colours()
{
    QVariantList many;
    for (int i = 0; i < 30; ++i)
        many.append(i + 1);
    const Lighting::Colours c = Lighting::colours(many);
    QCOMPARE(int(c[0]), 1);
    QCOMPARE(int(c[23]), 24); // values after the 24th are ignored
    QVERIFY(Lighting::hasEighthColour(c));

    Lighting::Colours shortList = Lighting::colours(list({255, 0, 0}));
    QCOMPARE(toBytes(shortList).mid(3), Bytes(21, 0));
    QVERIFY(!Lighting::hasEighthColour(shortList));
    shortList[22] = 1;
    QVERIFY(Lighting::hasEighthColour(shortList));
}

// ---- device profile image ----

void tst_ops_encoders::imageOffsetsOwnedOnce()
{
    // Each setting writes its own offsets and nothing else: run every writer
    // on a patterned image and collect what changed, per writer.
    using Writer = std::function<void(DeviceProfileImage &)>;
    const QList<QPair<const char *, Writer>> writers = {
        {"dpi 3389", [](DeviceProfileImage &i) {
             i.setDpi(DpiCodes::encodeStages("3389", list({16000, 400, 800, 1600, 3200, 6400, 12800, 200})), 0x3C);
         }},
        {"stage count", [](DeviceProfileImage &i) { i.setStageCount(6); }},
        {"colourful colours", [](DeviceProfileImage &i) { i.setColourfulColours(Lighting::colours(QVariantList(24, 9))); }},
        {"single colours", [](DeviceProfileImage &i) { i.setSingleColours(Lighting::colours(QVariantList(24, 9))); }},
        {"effect", [](DeviceProfileImage &i) { i.setEffectAllProfiles({7, 7, 7}); }},
        {"gun", [](DeviceProfileImage &i) { for (int s = 1; s <= 3; ++s) i.setGun(s, 1, 2, 3); }},
    };
    std::set<int> seen;
    for (const auto &[name, write] : writers) {
        QByteArray bytes(5 * 128, char(0x55));
        const QByteArray before = bytes;
        DeviceProfileImage image(bytes);
        write(image);
        for (int i = 0; i < bytes.size(); ++i) {
            if (bytes.at(i) == before.at(i))
                continue;
            QVERIFY2(seen.insert(i).second,
                     qPrintable(QStringLiteral("%1 writes block %2 offset %3, owned by another setting")
                                    .arg(QLatin1String(name)).arg(i / 128).arg(i % 128)));
        }
    }
    // Spot checks of where the settings live.
    for (int off : {24, 47})
        QVERIFY(seen.count(off)); // colourful colours, block 0
    for (int off : {70, 256 + 65, 128 + 71, 128 + 73, 256 + 78, 512 + 81, 128 + 82, 128 + 99, 128 + 100, 128 + 104, 128 + 127, 4 * 128 + 100})
        QVERIFY2(seen.count(off), qPrintable(QString::number(off)));
    QVERIFY(!seen.count(100));       // block 0 carries no DPI
    QVERIFY(!seen.count(128 + 78)); // block 1 carries no gun slot
}

void tst_ops_encoders::imageDpi()
{
    QByteArray bytes(5 * 128, char(0xAA));
    DeviceProfileImage image(bytes);
    image.setDpi(DpiCodes::encodeStages("3360", list({400, 800, 1600, 3200, 0, 0, 0, 0})), 0x0F);
    for (int n = 1; n <= 4; ++n) {
        QCOMPARE(int(image.at(n, 84)), 3);
        QCOMPARE(int(image.at(n, 87)), 31);
        QCOMPARE(int(image.at(n, 92)), 3); // second copy
        QCOMPARE(int(image.at(n, 99)), 0xFF);
        QCOMPARE(int(image.at(n, 100)), 0x0F);
        // Only the sensor with a ninth bit touches the masks.
        QCOMPARE(int(image.at(n, 82)), 0xAA);
        QCOMPARE(int(image.at(n, 83)), 0xAA);
    }
    QCOMPARE(int(image.at(0, 84)), 0xAA);
    image.setDpi(DpiCodes::encodeStages("3389", list({200, 12800})), 0x03);
    QCOMPARE(int(image.at(3, 82)), 0x02);
    QCOMPARE(int(image.at(3, 83)), 0x02);
}

void tst_ops_encoders::imageGunAndBlocks()
{
    QByteArray bytes(5 * 128, char(0xFF));
    DeviceProfileImage image(bytes);
    QVERIFY(image.setGun(3, 20, 1, 10));
    QCOMPARE(int(image.at(4, 65)), 0xFB); // bit 2 cleared, other bits kept
    QCOMPARE((Bytes{image.at(4, 78), image.at(4, 79), image.at(4, 80), image.at(4, 81)}),
             (Bytes{0xF0, 20, 1, 10}));
    QCOMPARE(int(image.at(3, 79)), 0xFF);
    QVERIFY(!image.setGun(4, 1, 1, 1)); // block 5 does not exist
    QVERIFY(!image.setGun(-1, 1, 1, 1)); // block 0 is not a profile

    QVERIFY(!image.setEffect(5, {1, 2, 3}));
    QVERIFY(image.block(5) == nullptr);
    QVERIFY(image.block(-1) == nullptr);
    QCOMPARE(image.block(2) - image.block(0), 256);

    QByteArray wrongSize(10, char(1));
    DeviceProfileImage fresh(wrongSize);
    QCOMPARE(wrongSize, QByteArray(5 * 128, '\0'));
}

// ---- macro and gun transfers ----

void tst_ops_encoders::macroNumber_data()
{
    QTest::addColumn<QVariant>("index");
    QTest::addColumn<int>("number"); // -1: not sent

    QTest::newRow("slot 0") << QVariant(0) << 1;
    QTest::newRow("slot 11") << QVariant(11) << 12;
    QTest::newRow("slot 12") << QVariant(12) << -1;
    QTest::newRow("slot 15") << QVariant(15) << -1;
    QTest::newRow("slot 256 does not wrap to 0") << QVariant(256) << -1;
    QTest::newRow("negative") << QVariant(-1) << -1;
    QTest::newRow("number from script") << QVariant(3.0) << 4;
    QTest::newRow("number as text") << QVariant("5") << 6;
    QTest::newRow("not a number") << QVariant("left") << -1;
    QTest::newRow("nothing") << QVariant() << -1;
}

void tst_ops_encoders::macroNumber()
{
    QFETCH(QVariant, index);
    QFETCH(int, number);
    const std::optional<uchar> n = Transfers::macroNumber(index);
    QCOMPARE(n ? int(*n) : -1, number);
}

void tst_ops_encoders::macroPayload()
{
    // press A, 50 ms, release A, repeat 1
    const Transfers::MacroPayload p = Transfers::macroPayload(list({0, 1, 5, 4, 0x81, 4, 0, 0}));
    QCOMPARE(toBytes(p).mid(0, 8), (Bytes{0, 1, 5, 4, 0x81, 4, 0, 0}));
    QCOMPARE(toBytes(p).mid(8), Bytes(120, 0));

    QVariantList tooLong;
    for (int i = 0; i < 140; ++i)
        tooLong.append(i);
    const Transfers::MacroPayload cut = Transfers::macroPayload(tooLong);
    QCOMPARE(int(cut[127]), 127);
}

void tst_ops_encoders::gunValues()
{
    const Transfers::GunValues full = Transfers::gunValues(list({30, 300, 10, 99}));
    QCOMPARE((Bytes{full.count, full.x, full.y}), (Bytes{30, 44, 10}));
    const Transfers::GunValues shortList = Transfers::gunValues(list({7}));
    QCOMPARE((Bytes{shortList.count, shortList.x, shortList.y}), (Bytes{7, 0, 0}));

    QCOMPARE(int(Transfers::gunY553(10, 1)), 0xF6);
    QCOMPARE(int(Transfers::gunY553(10, 0)), 10);
    QCOMPARE(int(Transfers::gunY553(0, 5)), 0);
}

QTEST_APPLESS_MAIN(tst_ops_encoders)
#include "tst_ops_encoders.moc"

// The artwork as the scene meets it: every catalogued image is compiled into
// the resources at the address the scene builds, and the images whose pixels
// take part in the scene's arithmetic or layout have the sizes, colours and
// shapes the scene assumes.

#include <QFile>
#include <QIcon>
#include <QImage>
#include <QImageReader>
#include <QPoint>
#include <QSet>
#include <QSize>
#include <QtTest>

namespace {

// The catalogue of modules/CMakeLists.txt, as the build writes it out.
QStringList catalogue()
{
    QFile file(QStringLiteral(KELDA_BUILD_DIR "/modules/kelda_images.txt"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList entries;
    for (const QByteArray &line : file.readAll().split('\n')) {
        const QString entry = QString::fromUtf8(line).trimmed();
        if (!entry.isEmpty())
            entries << entry;
    }
    return entries;
}

// "group/file" lives at ":/group/modules/img/skin1/group/file.png", a bare
// "file" at ":/modules/img/file.png".
QString resourcePath(const QString &entry)
{
    const qsizetype slash = entry.indexOf(QLatin1Char('/'));
    if (slash < 0)
        return QStringLiteral(":/modules/img/%1.png").arg(entry);
    const QString group = entry.left(slash);
    return QStringLiteral(":/%1/modules/img/skin1/%1/%2.png").arg(group, entry.mid(slash + 1));
}

QImage load(const QString &entry)
{
    return QImage(resourcePath(entry)).convertToFormat(QImage::Format_ARGB32);
}

// Colour of the lighting screen's marker at position p on the hue bar.
QRgb hueAt(int p)
{
    const int s = (185 - 2) / 6;
    const int k = p / s;
    const int f = (p - k * s) * 255 / s;
    switch (k) {
    case 0: return qRgb(255, f, 0);
    case 1: return qRgb(255 - f, 255, 0);
    case 2: return qRgb(0, 255, f);
    case 3: return qRgb(0, 255 - f, 255);
    case 4: return qRgb(f, 0, 255);
    case 5: return qRgb(255, 0, 255 - f);
    default: return p > 182 ? qRgb(255, 255, 255) : qRgb(255, 0, 0);
    }
}

// Button anchors of the mouse picture, in scene pixels.
const QPoint kAnchors[8] = {{400, 72}, {540, 165}, {458, 160}, {514, 133},
                            {391, 173}, {394, 335}, {580, 268}, {640, 254}};

// Top-left corner of the 36 x 36 marker of button i beside an anchor image of size s.
QPoint markerCorner(int i, QPoint a, QSize s)
{
    switch (i) {
    case 0: return {a.x() + s.width() - 24, a.y() + s.height() - 12};
    case 1: return {a.x() + 48 - 36, a.y() - 12};
    case 2: return {a.x() + s.width() - 24, a.y() - 36};
    case 5: return {a.x() - 24, a.y()};
    case 6: return {a.x() + s.width() - 24, a.y() - 12};
    default: return {a.x() - 24, a.y() + s.height() - 12};
    }
}

} // namespace

class TestArtResources : public QObject
{
    Q_OBJECT

private slots:
    void everyImageIsCompiledIn()
    {
        const QStringList entries = catalogue();
        QVERIFY2(entries.size() > 30, "the build did not write the image catalogue");
        QStringList missing;
        for (const QString &entry : entries) {
            const QString path = resourcePath(entry);
            const QImage image(path);
            // A HiDPI screen draws the twin at twice the pixels in the same place.
            const QString twin = QString(path).replace(QLatin1String(".png"), QLatin1String("@2x.png"));
            if (image.isNull() || QImage(twin).size() != image.size() * 2)
                missing << path;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
    }

    void sizesTheSceneDependsOn_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QSize>("size");
        QTest::newRow("window plate") << "background" << QSize(1024, 640);
        QTest::newRow("title strip") << "titleBar" << QSize(1024, 48);
        QTest::newRow("slider knob") << "index/slide" << QSize(12, 12);
        QTest::newRow("check mark") << "index/checkBtn" << QSize(12, 12);
        QTest::newRow("hue bar") << "lightControl/colorBar" << QSize(185, 24);
        QTest::newRow("marker anchor") << "mouse/Mouse0" << QSize(12, 12);
        QTest::newRow("ask") << "index/ask" << QSize(16, 16);
        QTest::newRow("minimise") << "index/minBtn" << QSize(16, 16);
        QTest::newRow("close") << "index/closeBtn" << QSize(16, 16);
    }

    void sizesTheSceneDependsOn()
    {
        QFETCH(QString, entry);
        QFETCH(QSize, size);
        QCOMPARE(QImage(resourcePath(entry)).size(), size);
    }

    // A hover or open state replaces its image in place, so both must match.
    void statesShareTheirSize_data()
    {
        QTest::addColumn<QString>("normal");
        QTest::addColumn<QString>("other");
        for (const char *name : {"ask", "minBtn", "closeBtn", "backBtn", "okBtn"})
            QTest::newRow(name) << QStringLiteral("index/%1").arg(QLatin1String(name))
                                << QStringLiteral("index/%1H").arg(QLatin1String(name));
        QTest::newRow("drop arrow") << "index/dropBtn" << "index/dropBtnU";
    }

    void statesShareTheirSize()
    {
        QFETCH(QString, normal);
        QFETCH(QString, other);
        const QImage a = load(normal);
        const QImage b = load(other);
        QCOMPARE(a.size(), b.size());
        QVERIFY2(a != b, "the two states look the same");
    }

    // The marker takes the colour its arithmetic gives for position p; the bar
    // must show that very colour under the marker's centre, column p + 1.
    void hueBarShowsTheMarkerColour()
    {
        const QImage bar = load(QStringLiteral("lightControl/colorBar"));
        for (int p = 0; p <= 183; ++p) {
            for (int y : {0, 12, 23}) {
                const QRgb got = bar.pixel(p + 1, y);
                if (got != (hueAt(p) | 0xff000000u))
                    QFAIL(qPrintable(QStringLiteral("p = %1, row %2: bar shows #%3, marker says #%4")
                                         .arg(p).arg(y)
                                         .arg(got & 0xffffff, 6, 16, QLatin1Char('0'))
                                         .arg(hueAt(p) & 0xffffff, 6, 16, QLatin1Char('0'))));
            }
        }
    }

    // The window is frameless and translucent: its corners are cut away, and
    // everything inside the outline is fully opaque so no desktop shows through.
    void windowPlateIsOpaqueInsideItsOutline()
    {
        const QImage plate = load(QStringLiteral("background"));
        for (QPoint corner : {QPoint(0, 0), QPoint(1023, 0), QPoint(0, 639), QPoint(1023, 639)})
            QCOMPARE(qAlpha(plate.pixel(corner)), 0);
        for (int y = 24; y < 616; ++y)
            for (int x = 24; x < 1000; ++x)
                if (qAlpha(plate.pixel(x, y)) != 255)
                    QFAIL(qPrintable(QStringLiteral("translucent plate at (%1, %2)").arg(x).arg(y)));
    }

    // The title logo sits at (54, 6) and must stay inside the title strip and
    // left of the profile drop-down, which starts at x 760.
    void titleLogoFitsTheTitleStrip()
    {
        const QImage logo(resourcePath(QStringLiteral("titleLogo")));
        QVERIFY(6 + logo.height() <= 48);
        QVERIFY(54 + logo.width() <= 760);
    }

    // The mouse picture is centred at the top of the scene, between the side
    // panels and above the bottom bar; every anchor and every numbered marker
    // lands on the mouse, not on the plate around it.
    void markersLandOnTheMouse()
    {
        const QImage mouse = load(QStringLiteral("mouse/MouseFront"));
        const QSize anchorSize = QImage(resourcePath(QStringLiteral("mouse/Mouse0"))).size();
        const QPoint origin((1024 - mouse.width()) / 2, 32);
        QVERIFY2(origin.x() >= 24 + 232 && origin.x() + mouse.width() <= 768,
                 "the mouse picture reaches under a side panel");
        QVERIFY2(origin.y() + mouse.height() <= 640 - 8 - 24, "the mouse picture reaches the bottom bar");
        const auto onMouse = [&](QPoint scene) {
            const QPoint p = scene - origin;
            return mouse.rect().contains(p) && qAlpha(mouse.pixel(p)) == 255;
        };
        for (int i = 0; i < 8; ++i) {
            const QPoint anchorCentre = kAnchors[i] + QPoint(anchorSize.width() / 2, anchorSize.height() / 2);
            QVERIFY2(onMouse(anchorCentre), qPrintable(QStringLiteral("anchor %1 is off the mouse").arg(i + 1)));
            const QPoint markerCentre = markerCorner(i, kAnchors[i], anchorSize) + QPoint(18, 18);
            QVERIFY2(onMouse(markerCentre), qPrintable(QStringLiteral("marker %1 is off the mouse").arg(i + 1)));
        }
    }

    // The tray loads "./modules/img/logo.ico" from the assembled folder; it
    // must offer the small sizes trays use and a large one for the desktop.
    void trayIconHoldsEverySize()
    {
        const QString path = QStringLiteral(KELDA_DIST_DIR "/modules/img/logo.ico");
        QImageReader reader(path);
        QVERIFY2(reader.canRead(), qPrintable(reader.errorString()));
        QSet<int> sizes;
        do {
            const QImage image = reader.read();
            QVERIFY2(!image.isNull(), qPrintable(reader.errorString()));
            QCOMPARE(image.width(), image.height());
            sizes.insert(image.width());
        } while (reader.jumpToNextImage());
        for (int size : {16, 24, 32, 48, 256})
            QVERIFY2(sizes.contains(size), qPrintable(QStringLiteral("no %1 px image").arg(size)));
        QVERIFY(!QIcon(path).pixmap(QSize(16, 16)).isNull());
    }
};

QTEST_MAIN(TestArtResources)
#include "tst_art_resources.moc"

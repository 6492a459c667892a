// Hostile files through the view's slots, called by name as the scene calls
// them: profile (.pf) and macro (.mc) imports of junk, empty, oversized,
// non-UTF-8 and wrongly typed files, and language and global files with
// damaged totals. Nothing may crash, stall the window for a second, or touch
// any file but the one imported; the scene's own rules must turn what makes
// no sense into their defaults.

#include "app/myQQuickView.h"
#include "device/DeviceListReader.h"
#include "store/DataFile.h"
#include "store/LanguageStrings.h"
#include "store/MacroFiles.h"
#include "unit/data/DataTestEnv.h"

#include <QElapsedTimer>
#include <QJSEngine>
#include <QRandomGenerator>
#include <QtTest>

#include <sys/stat.h>

using namespace DataTestEnv;

namespace {

// A library script of the scene as plain JavaScript (its QML directives
// dropped), returning the named functions.
QJSValue ruleLibrary(QJSEngine &engine, const char *file, const QStringList &names)
{
    QFile f(QStringLiteral(KELDA_SOURCE_DIR "/modules/qml/js/") + QLatin1String(file));
    if (!f.open(QIODevice::ReadOnly))
        return QJSValue();
    QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    for (QString &line : lines) {
        if (line.startsWith(QLatin1Char('.')))
            line.clear();
    }
    QStringList exports;
    for (const QString &n : names)
        exports << n + QLatin1Char(':') + n;
    return engine.evaluate(QStringLiteral("(function () {\n%1\nreturn {%2} })()")
                               .arg(lines.join(QLatin1Char('\n')), exports.join(QLatin1Char(','))));
}

// Every file under the data root with its bytes.
QMap<QString, QByteArray> snapshot(const TempData &data)
{
    QMap<QString, QByteArray> out;
    QDirIterator it(data.modules(), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        out.insert(QDir(data.modules()).relativeFilePath(path), readAll(path));
    }
    return out;
}

QByteArray junk(qsizetype size, quint32 seed)
{
    QByteArray out(size, Qt::Uninitialized);
    QRandomGenerator rng(seed);
    rng.fillRange(reinterpret_cast<quint32 *>(out.data()), size / 4);
    return out;
}

// A profile whose keys hold what no key of the program ever holds.
QByteArray wronglyTypedProfile()
{
    return "[mouse]\n"
           "dpiCount=many\n"
           "currentDpiCount=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x4QJunk)\n"
           "dpiValueArray=@ByteArray(\\xff\\xfe)\n"
           "lightValue=fast, bright\n"
           "colorValue=red\n"
           "reportRate=1000Hz\n"
           "lod=-\n"
           "lodEn=perhaps\n"
           "mouseRate=@Rect(1 2 3 4)\n"
           "doubleRate=\n"
           "scrollRate=lots\n"
           "[mouseKeyMatrix]\n"
           "0=\n"
           "1=@Variant(\\0\\0\\0\\t\\0\\x7f\\xff\\xff\\xff)\n"
           "[mouseMacroKey]\n"
           "3=@Variant(\\0\\0\\0\\v\\0\\x7f\\xff\\xff\\xff)\n";
}

enum class Outcome { Taken, Refused };

} // namespace

class tst_DataHostile : public QObject
{
    Q_OBJECT

private:
    // Each kind of hostile file, written by the test (the big one is made
    // here, never kept in the tree). A FIFO without a writer would block a
    // reader forever.
    static void hostileFiles()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("outcome");
        QTest::newRow("binary junk") << "junk" << int(Outcome::Taken);
        QTest::newRow("junk just under the limit") << "limit" << int(Outcome::Taken);
        QTest::newRow("50 MB") << "huge" << int(Outcome::Refused);
        QTest::newRow("empty") << "empty" << int(Outcome::Taken);
        QTest::newRow("not UTF-8") << "latin1" << int(Outcome::Taken);
        QTest::newRow("wrongly typed keys") << "typed" << int(Outcome::Taken);
        QTest::newRow("named pipe") << "fifo" << int(Outcome::Refused);
        QTest::newRow("folder") << "folder" << int(Outcome::Refused);
    }

    static QString makeHostile(const TempData &data, const QString &kind)
    {
        const QString path = data.outside() + QStringLiteral("/hostile-") + kind;
        if (kind == QLatin1String("fifo")) {
            return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0 ? path : QString();
        }
        if (kind == QLatin1String("folder"))
            return QDir().mkpath(path) ? path : QString();
        QByteArray content;
        if (kind == QLatin1String("junk"))
            content = junk(64 * 1024, 1);
        else if (kind == QLatin1String("limit"))
            content = junk(DataFile::MaxImportBytes, 2);
        else if (kind == QLatin1String("huge"))
            content = junk(50 * 1024 * 1024, 3);
        else if (kind == QLatin1String("latin1"))
            content = "[mouse]\ndpiCount=\xe9\xe8\n\xff\xfe=\xc0\xc1\xf5\n[\xe0\x80]\nlod=\xa0\n";
        else if (kind == QLatin1String("typed"))
            content = wronglyTypedProfile();
        return writeAll(path, content) ? path : QString();
    }

private slots:
    void profileImport_data() { hostileFiles(); }
    void profileImport()
    {
        QFETCH(QString, kind);
        QFETCH(int, outcome);
        TempData data;
        const QString source = makeHostile(data, kind);
        QVERIFY(!source.isEmpty());
        const int slot = 2;
        myQQuickView view(nullptr, data.root());
        view.setCurrentProfile(slot);
        const QMap<QString, QByteArray> before = snapshot(data);
        const QString slotFile = QStringLiteral("setting/p%1.bin").arg(slot + 1);

        QJSEngine engine;
        const QJSValue dpi = ruleLibrary(engine, "Dpi.js", {"stageLimit", "stageCount", "stageValues", "range"});
        const QJSValue sys = ruleLibrary(engine, "SystemSettings.js", {"position", "scrollChoice"});
        QVERIFY(dpi.property("stageLimit").isCallable() && sys.property("position").isCallable());

        ScriptedChooser chooser({source});
        QElapsedTimer timer;
        timer.start();
        bool imported = false;
        QVERIFY(QMetaObject::invokeMethod(&view, "loadProfile", Qt::DirectConnection,
                                          Q_RETURN_ARG(bool, imported), Q_ARG(int, slot)));
        // What the scene reads right after an import.
        QVariant dpiCount, currentDpiCount, mouseRate, scrollRate;
        QVariantList dpiValues, light;
        const auto get = [&](const char *key, QVariant *out) {
            return QMetaObject::invokeMethod(&view, "getData", Qt::DirectConnection,
                                             Q_RETURN_ARG(QVariant, *out),
                                             Q_ARG(QVariant, QString::fromLatin1(key)),
                                             Q_ARG(bool, false));
        };
        const auto getList = [&](const char *key, QVariantList *out) {
            return QMetaObject::invokeMethod(&view, "getDataList", Qt::DirectConnection,
                                             Q_RETURN_ARG(QVariantList, *out),
                                             Q_ARG(QVariant, QString::fromLatin1(key)),
                                             Q_ARG(bool, false));
        };
        QVERIFY(get("mouse/dpiCount", &dpiCount) && get("mouse/currentDpiCount", &currentDpiCount)
                && get("mouse/mouseRate", &mouseRate) && get("mouse/scrollRate", &scrollRate)
                && getList("mouse/dpiValueArray", &dpiValues) && getList("mouse/lightValue", &light));
        for (int i = 0; i < 16; ++i) {
            QVariantList entry;
            QVERIFY(getList(qPrintable(QStringLiteral("mouseKeyMatrix/%1").arg(i)), &entry));
        }
        const qint64 elapsed = timer.elapsed();
        qInfo() << kind << "import and first reads took" << elapsed << "ms";
        QVERIFY2(elapsed < 1000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));

        QCOMPARE(imported, outcome == int(Outcome::Taken));
        QMap<QString, QByteArray> after = snapshot(data);
        if (outcome == int(Outcome::Taken))
            QCOMPARE(after.value(slotFile), readAll(source));
        else
            QCOMPARE(after.value(slotFile), before.value(slotFile));
        // Nothing else changed: other profiles, the global file, macros.
        after.remove(slotFile);
        QMap<QString, QByteArray> others = before;
        others.remove(slotFile);
        QCOMPARE(after.keys(), others.keys());
        for (auto it = others.cbegin(); it != others.cend(); ++it)
            QVERIFY2(after.value(it.key()) == it.value(), qPrintable(it.key()));

        // The scene's rules keep every value shown in its range.
        const int limit = dpi.property("stageLimit").call({engine.toScriptValue(dpiCount)}).toInt();
        QVERIFY(limit >= 1 && limit <= 8);
        const int count = dpi.property("stageCount")
                              .call({engine.toScriptValue(currentDpiCount), limit})
                              .toInt();
        QVERIFY(count >= 1 && count <= limit);
        const QJSValue range = dpi.property("range").call({QJSValue(), QJSValue(), QJSValue(), QJSValue()});
        const QVariantList stages =
            dpi.property("stageValues").call({engine.toScriptValue(dpiValues), range}).toVariant().toList();
        QCOMPARE(stages.size(), 8);
        for (const QVariant &v : stages)
            QVERIFY(!std::isnan(v.toDouble()));
        const double pos = sys.property("position").call({engine.toScriptValue(mouseRate)}).toNumber();
        QVERIFY(pos >= 3 && pos <= 337);
        const QJSValue scroll = sys.property("scrollChoice").call({engine.toScriptValue(scrollRate)});
        QVERIFY(scroll.property("lines").toInt() >= 1 && scroll.property("lines").toInt() <= 100);
        if (kind == QLatin1String("typed")) {
            // Values that make no sense show as the defaults.
            QCOMPARE(limit, 8);
            QCOMPARE(count, 8);
            QCOMPARE(stages, QVariantList(8, 200));
            QCOMPARE(pos, 138.0);
            QCOMPARE(scroll.property("lines").toInt(), 3);
        }

        // The store is still usable: a change is kept and written.
        view.setData("mouse/lod", 20);
        view.store.syncAll();
        QCOMPARE(view.getData("mouse/lod", false).toInt(), 20);
    }

    void macroImport_data() { hostileFiles(); }
    void macroImport()
    {
        QFETCH(QString, kind);
        QFETCH(int, outcome);
        TempData data;
        const QString source = makeHostile(data, kind);
        QVERIFY(!source.isEmpty());
        myQQuickView view(nullptr, data.root());
        QVERIFY(view.createMacroIni("Kept", 1).toBool());
        QVERIFY(view.saveMacroIni("Kept", {"1,A", "0,50", "2,A"}, 3).toBool());
        view.store.syncAll();
        const QMap<QString, QByteArray> before = snapshot(data);

        ScriptedChooser chooser({source});
        QElapsedTimer timer;
        timer.start();
        bool imported = false;
        QVERIFY(QMetaObject::invokeMethod(&view, "loadMacroFile", Qt::DirectConnection,
                                          Q_RETURN_ARG(bool, imported),
                                          Q_ARG(QVariant, QStringLiteral("Hostile"))));
        QStringList steps;
        QVERIFY(QMetaObject::invokeMethod(&view, "loadMacroIni", Qt::DirectConnection,
                                          Q_RETURN_ARG(QStringList, steps),
                                          Q_ARG(QVariant, QStringLiteral("Hostile"))));
        const qint64 elapsed = timer.elapsed();
        qInfo() << kind << "macro import and load took" << elapsed << "ms";
        QVERIFY2(elapsed < 1000, qPrintable(QStringLiteral("%1 ms").arg(elapsed)));

        QCOMPARE(imported, outcome == int(Outcome::Taken));
        QVERIFY(steps.size() <= MacroFiles::MaxSteps + 1);
        QMap<QString, QByteArray> after = snapshot(data);
        const QString file = QStringLiteral("macro/Hostile.bin");
        if (outcome == int(Outcome::Taken))
            QCOMPARE(after.take(file), readAll(source));
        else
            QVERIFY(!after.contains(file));
        QCOMPARE(after, before);
        QCOMPARE(view.loadMacroIni("Kept"), (QStringList{"1,A", "0,50", "2,A", "3"}));
    }

    // Damaged totals must not make a reader loop or allocate without end.
    void damagedTotalsAreBounded_data()
    {
        QTest::addColumn<QByteArray>("languageFile");
        QTest::addColumn<int>("texts");
        QTest::newRow("huge total") << QByteArray("[page]\ntotal=2000000000\n0=first\n5=sixth\n")
                                    << int(LanguageStrings::MaxTexts);
        QTest::newRow("negative total") << QByteArray("[page]\ntotal=-7\n0=first\n") << 0;
        QTest::newRow("total not a number") << QByteArray("[page]\ntotal=all\n0=first\n") << 0;
        QTest::newRow("total a list") << QByteArray("[page]\ntotal=2, 3\n0=first\n") << 0;
        QTest::newRow("missing section") << QByteArray("[other]\ntotal=1\n0=x\n") << 0;
        QTest::newRow("missing texts") << QByteArray("[page]\ntotal=3\n") << 3;
    }
    void damagedTotalsAreBounded()
    {
        QFETCH(QByteArray, languageFile);
        QFETCH(int, texts);
        TempData data;
        QVERIFY(writeAll(data.modules() + "/i18n/Damaged.ini", languageFile));
        myQQuickView view(nullptr, data.root());
        QElapsedTimer timer;
        timer.start();
        QStringList out;
        QVERIFY(QMetaObject::invokeMethod(&view, "getLangStrings", Qt::DirectConnection,
                                          Q_RETURN_ARG(QStringList, out),
                                          Q_ARG(QString, QStringLiteral("page")),
                                          Q_ARG(QString, QStringLiteral("Damaged"))));
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(out.size(), texts);
        if (texts > 5) {
            QCOMPARE(out.at(0), QString("first"));
            QCOMPARE(out.at(5), QString("sixth"));
        }
    }

    void macroTotalIsBounded()
    {
        TempData data;
        QVERIFY(writeAll(data.macro("Damaged"),
                         "[config]\nindex=0\ntotal=2000000000\nrepeat=2\n[macro]\n0=\"1,A\"\n"));
        myQQuickView view(nullptr, data.root());
        QElapsedTimer timer;
        timer.start();
        const QStringList steps = view.loadMacroIni("Damaged");
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(steps.size(), MacroFiles::MaxSteps + 1);
        QCOMPARE(steps.first(), QString("1,A"));
        QCOMPARE(steps.last(), QString("2"));
    }

    void globalFileWithDamagedDeviceList_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("entries");
        QTest::newRow("huge count") << QByteArray("[common]\ndeviceCount=2000000000\n[0]\nvid=1\n")
                                    << int(DeviceListReader::MaxEntries);
        QTest::newRow("count a list") << QByteArray("[common]\ndeviceCount=1, 2\n") << 0;
        QTest::newRow("no common section") << QByteArray("[0]\nvid=1\n") << 0;
        QTest::newRow("junk") << junk(4096, 4) << -1;
    }
    void globalFileWithDamagedDeviceList()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, entries);
        TempData data;
        const QString path = data.setting("apConfig.bin");
        QVERIFY(writeAll(path, content));
        QElapsedTimer timer;
        timer.start();
        const DeviceList list = DeviceListReader::readFile(path);
        QVERIFY2(timer.elapsed() < 1000, qPrintable(QString::number(timer.elapsed())));
        if (entries >= 0)
            QCOMPARE(int(list.size()), entries);
        QVERIFY(list.size() <= DeviceListReader::MaxEntries);
        for (const DeviceEntry &e : list)
            QVERIFY(e.reportLength >= 1 && e.reportLength <= DeviceListReader::MaxReportLength);
        // The view starts on such a file.
        myQQuickView view(nullptr, data.root());
        view.getGlobalData("common/deviceCount");
    }
};

QTEST_MAIN(tst_DataHostile)
#include "tst_data_hostile.moc"

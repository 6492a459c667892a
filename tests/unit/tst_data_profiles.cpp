// Profiles through the view's slots: export, import, reset, copy, the held
// stores after every replacement, and the settings-cache pitfalls of
// replacing a file under a live store.

#include "app/myQQuickView.h"
#include "unit/data/DataTestEnv.h"

#include <QElapsedTimer>
#include <QSettings>
#include <QtTest>

#include <memory>

using namespace DataTestEnv;

class tst_DataProfiles : public QObject
{
    Q_OBJECT

private:
    // The slot stores must stay ten, in order, each on its own file, and
    // readable: checked after every replacement.
    static void verifySlots(myQQuickView &view, const TempData &data)
    {
        QCOMPARE(int(view.store.profileSettingsList.size()), 10);
        for (int i = 0; i < 10; ++i) {
            QSettings *s = view.store.profile(i);
            QVERIFY(s);
            QCOMPARE(QFileInfo(s->fileName()).canonicalFilePath(),
                     QFileInfo(data.profile(i)).canonicalFilePath());
        }
    }

    static QByteArray profileWithLod(int lod)
    {
        return QByteArray("[mouse]\nlod=") + QByteArray::number(lod) + "\n";
    }

private slots:
    void exportCopiesTheSlotFile_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("file");
        QTest::newRow("first slot") << 0 << "p1.bin";
        QTest::newRow("last slot") << 9 << "p10.bin";
    }
    void exportCopiesTheSlotFile()
    {
        QFETCH(int, index);
        QFETCH(QString, file);
        TempData data;
        myQQuickView view(nullptr, data.root());
        const QString target = data.outside() + "/export.pf";
        QVERIFY(writeAll(target, "old export"));

        ScriptedChooser chooser({target});
        view.saveProfile(index);

        QCOMPARE(chooser.requests.size(), 1);
        QCOMPARE(chooser.requests[0].kind, FileRequest::Save);
        QCOMPARE(chooser.requests[0].caption, QString("Save File"));
        QCOMPARE(chooser.requests[0].filter, QString("Profile(*.pf)"));
        QCOMPARE(chooser.requests[0].directory,
                 QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
        QCOMPARE(readAll(target), readAll(data.setting(file)));
    }

    void exportHoldsUnflushedChanges()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.setCurrentProfile(3);
        view.setData("mouse/lod", 20);
        const QString target = data.outside() + "/p4.pf";
        ScriptedChooser chooser({target});
        view.saveProfile(3);
        QCOMPARE(QSettings(target, QSettings::IniFormat).value("mouse/lod").toInt(), 20);
        QCOMPARE(readAll(target), readAll(data.profile(3)));
    }

    void failedExportKeepsTheOldTarget()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        const QString target = data.outside() + "/keep.pf";
        QVERIFY(writeAll(target, "precious"));
        // The slot's file cannot be read: it is a folder now.
        QVERIFY(QFile::remove(data.profile(5)));
        QVERIFY(QDir().mkpath(data.profile(5)));
        ScriptedChooser chooser({target});
        view.saveProfile(5);
        QCOMPARE(readAll(target), QByteArray("precious"));
    }

    // The user may pick a file the program holds open, such as another
    // slot's file: its store must read the export, and changes it had not
    // flushed must not end up in it.
    void exportOntoAHeldFileReplacesItsStore()
    {
        TempData data;
        {
            myQQuickView view(nullptr, data.root());
            view.setCurrentProfile(0);
            view.setData("mouse/lod", 9);
            view.setCurrentProfile(1);
            view.setData("mouse/extra", "stale");
            ScriptedChooser chooser({data.profile(1)});
            view.saveProfile(0);
            QCOMPARE(view.getData("mouse/lod", false).toInt(), 9);
            QVERIFY(!view.getData("mouse/extra", false).isValid());
            verifySlots(view, data);
        }
        QCOMPARE(readAll(data.profile(1)), readAll(data.profile(0)));
    }

    void cancelledImportChangesNothing()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.setCurrentProfile(2);
        view.setData("mouse/lod", 33);
        QSettings *before = view.store.profile(2);
        const QByteArray bytes = readAll(data.profile(2));

        ScriptedChooser chooser; // answers "cancelled"
        QCOMPARE(view.loadProfile(2), false);
        QCOMPARE(chooser.requests.size(), 1);
        QCOMPARE(chooser.requests[0].kind, FileRequest::Open);
        QCOMPARE(chooser.requests[0].caption, QString("Open File"));
        QCOMPARE(chooser.requests[0].filter, QString("Profile(*.pf)"));
        QCOMPARE(view.store.profile(2), before);
        QCOMPARE(readAll(data.profile(2)), bytes);
        QCOMPARE(view.getData("mouse/lod", false).toInt(), 33);
    }

    void importReplacesSlotAndStore()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        const QString source = data.outside() + "/in.pf";
        QVERIFY(writeAll(source, profileWithLod(77)));
        view.setCurrentProfile(2);
        ScriptedChooser chooser({source});
        QCOMPARE(view.loadProfile(2), true);
        QCOMPARE(view.currentProfileIndex(), 2);
        QCOMPARE(readAll(data.profile(2)), readAll(source));
        QCOMPARE(view.getData("mouse/lod", false).toInt(), 77);
        QVERIFY(!view.getData("mouse/dpiCount", false).isValid());
        verifySlots(view, data);
    }

    // A source that cannot be read must not cost the user the slot.
    void importOfUnreadableSourceKeepsTheSlot()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        const QByteArray bytes = readAll(data.profile(4));
        ScriptedChooser chooser({data.outside() + "/missing.pf"});
        QCOMPARE(view.loadProfile(4), true); // a file was chosen
        QCOMPARE(readAll(data.profile(4)), bytes);
        view.setCurrentProfile(4);
        QCOMPARE(view.getData("mouse/lod", false).toInt(), 46);
        verifySlots(view, data);
    }

    void resetEqualsFactoryProfileKeyByKey()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.setCurrentProfile(4);
        view.setData("mouse/lod", 12);
        view.setData("mouseMacroKey/3", "Macro_0");
        view.setDataList("mouse/dpiValueArray", {100, 200});
        view.resetProfile(4);

        QVERIFY(!view.getData("mouseMacroKey/3", false).isValid());
        const QStringList keys = view.store.defaultProfile()->allKeys();
        QVERIFY(keys.size() > 50);
        for (const QString &key : keys)
            QCOMPARE(view.getData(key, false), view.getData(key, true));
        QCOMPARE(view.store.profile(4)->allKeys(), keys);
        verifySlots(view, data);
    }

    void resetWithoutFactoryProfileKeepsTheSlot()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.setCurrentProfile(1);
        view.setData("mouse/lod", 15);
        QVERIFY(QFile::remove(data.setting("pD.bin")));
        view.resetProfile(1);
        QCOMPARE(view.getData("mouse/lod", false).toInt(), 15);
        verifySlots(view, data);
    }

    void copiesBothWays()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.setCurrentProfile(5);
        view.setData("mouse/lod", 55); // pending in slot 5's store
        view.copyProfile(1, 5);
        QCOMPARE(readAll(data.profile(1)), readAll(data.profile(5)));
        view.setCurrentProfile(1);
        QCOMPARE(view.getData("mouse/lod", false).toInt(), 55);

        view.setData("mouse/lod", 11);
        view.copyProfile(5, 1);
        QCOMPARE(readAll(data.profile(5)), readAll(data.profile(1)));
        view.setCurrentProfile(5);
        QCOMPARE(view.getData("mouse/lod", false).toInt(), 11);
        verifySlots(view, data);
    }

    void copyOntoItselfChangesNothing()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.setCurrentProfile(3);
        view.setData("mouse/lod", 40);
        QSettings *before = view.store.profile(3);
        view.copyProfile(3, 3);
        QCOMPARE(view.store.profile(3), before);
        QCOMPARE(view.getData("mouse/lod", false).toInt(), 40);
        QVERIFY(QFile::exists(data.profile(3)));
    }

    void indexesOutOfRangeAreIgnored()
    {
        TempData data;
        const QStringList filesBefore = data.allFiles();
        QByteArray before[10];
        for (int i = 0; i < 10; ++i)
            before[i] = readAll(data.profile(i));
        {
            myQQuickView view(nullptr, data.root());
            view.setCurrentProfile(2);
            ScriptedChooser chooser({data.outside() + "/x.pf", data.outside() + "/y.pf"});
            for (int bad : {-1, 10, 1000}) {
                view.setCurrentProfile(bad);
                QCOMPARE(view.currentProfileIndex(), 2);
                view.saveProfile(bad);
                QCOMPARE(view.loadProfile(bad), false);
                view.resetProfile(bad);
                view.copyProfile(bad, 0);
                view.copyProfile(0, bad);
            }
            QVERIFY(chooser.requests.isEmpty());
            verifySlots(view, data);
        }
        QCOMPARE(data.allFiles(), filesBefore);
        for (int i = 0; i < 10; ++i)
            QCOMPARE(readAll(data.profile(i)), before[i]);
    }

    // Changes made through the old store and never flushed must not reach
    // the imported file, not even when the stores are destroyed later.
    void importedBytesSurviveTheOldStore()
    {
        TempData data;
        const QString source = data.outside() + "/in.pf";
        QVERIFY(writeAll(source, profileWithLod(61)));
        {
            myQQuickView view(nullptr, data.root());
            view.setCurrentProfile(6);
            view.setData("mouse/lod", 3);
            view.setData("mouse/extra", "stale");
            QSettings *sameFile = new QSettings(data.profile(6), QSettings::IniFormat);
            QCOMPARE(sameFile->value("mouse/lod").toInt(), 3); // one shared cache
            delete sameFile;
            ScriptedChooser chooser({source});
            QVERIFY(view.loadProfile(6));
            QCOMPARE(view.getData("mouse/lod", false).toInt(), 61);
            QVERIFY(!view.getData("mouse/extra", false).isValid());
        }
        QCOMPARE(readAll(data.profile(6)), readAll(source));
    }

    // Two imports of files with equal size, as fast as the machine allows:
    // the store must read the second, also when both land in the same
    // millisecond. A memory file system (when there is one) makes the
    // writes fast enough for that to happen often.
    void sameSizeImportWithinOneMillisecond()
    {
        TempData data(QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                         : QString());
        myQQuickView view(nullptr, data.root());
        view.setCurrentProfile(7);
        const QString a = data.outside() + "/a.pf";
        const QString b = data.outside() + "/b.pf";
        QVERIFY(writeAll(a, profileWithLod(11)));
        QVERIFY(writeAll(b, profileWithLod(22)));
        ScriptedChooser chooser;
        int sameMillisecond = 0;
        for (int round = 0; round < 100; ++round) {
            chooser.answers = {a, b};
            const qint64 start = QDateTime::currentMSecsSinceEpoch();
            view.loadProfile(7);
            QCOMPARE(view.getData("mouse/lod", false).toInt(), 11);
            view.loadProfile(7);
            const bool sameMs = QDateTime::currentMSecsSinceEpoch() == start;
            QCOMPARE(view.getData("mouse/lod", false).toInt(), 22);
            sameMillisecond += sameMs;
        }
        qInfo() << "rounds with both imports in one millisecond:" << sameMillisecond;
    }

    void exportDeleteImportComesBackByteForByte()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.setCurrentProfile(2);
        view.setData("mouse/lod", 71);
        view.setData("mouseMacroKey/4", QString::fromUtf8("宏 一"));
        const QString pf = data.outside() + "/round.pf";
        ScriptedChooser chooser({pf, pf});
        view.saveProfile(2);
        const QByteArray exported = readAll(pf);
        view.resetProfile(2);
        QVERIFY(readAll(data.profile(2)) != exported);
        QVERIFY(view.loadProfile(2));
        QCOMPARE(readAll(data.profile(2)), exported);
        QCOMPARE(view.getData("mouseMacroKey/4", false).toString(), QString::fromUtf8("宏 一"));
    }
};

QTEST_MAIN(tst_DataProfiles)
#include "tst_data_profiles.moc"

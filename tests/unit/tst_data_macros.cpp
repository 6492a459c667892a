// Macro files through the view's slots: create, save, load, delete, rename,
// the profile bindings that follow renames and deletions, import and export,
// names that must not become paths, and files of earlier versions.

#include "app/myQQuickView.h"
#include "unit/data/DataTestEnv.h"

#include <QSettings>
#include <QtTest>

using namespace DataTestEnv;

namespace {

// Binds button `button` of slot `slot` to macro `name` the way the scene does.
void bind(myQQuickView &view, int slot, int button, const QString &name)
{
    QSettings *p = view.store.profile(slot);
    p->setValue(QStringLiteral("mouseKeyMatrix/%1").arg(button), QVariantList{4, 0, button, 0});
    p->setValue(QStringLiteral("mouseMacroKey/%1").arg(button), name);
}

QStringList entry(myQQuickView &view, int slot, const QString &key)
{
    return view.store.profile(slot)->value(key).toStringList();
}

} // namespace

class tst_DataMacros : public QObject
{
    Q_OBJECT

private slots:
    void createThenLoadGivesTheRepeatCount()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        QCOMPARE(view.createMacroIni("Macro_0", 0), QVariant(true));
        QCOMPARE(view.loadMacroIni("Macro_0"), QStringList{"1"});
        QSettings file(data.macro("Macro_0"), QSettings::IniFormat);
        QCOMPARE(file.value("config/index").toInt(), 0);
        QCOMPARE(file.value("config/total").toInt(), 0);
        QCOMPARE(file.value("config/did").toInt(), -1);
    }

    void saveLoadAndShrink()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.createMacroIni("Macro_0", 0);
        QCOMPARE(view.saveMacroIni("Macro_0", {"1,A", "0,50", "2,A"}, 3), QVariant(true));
        QCOMPARE(view.loadMacroIni("Macro_0"), (QStringList{"1,A", "0,50", "2,A", "3"}));
        QVERIFY(readAll(data.macro("Macro_0")).contains("0=\"1,A\""));

        QCOMPARE(view.saveMacroIni("Macro_0", {"0,20"}, 1), QVariant(true));
        QCOMPARE(view.loadMacroIni("Macro_0"), (QStringList{"0,20", "1"}));
        QSettings file(data.macro("Macro_0"), QSettings::IniFormat);
        file.beginGroup("macro");
        QCOMPARE(file.childKeys(), QStringList{"0"});

        // Creating again rewrites the config section and keeps the steps.
        view.createMacroIni("Macro_0", 0);
        QCOMPARE(view.loadMacroIni("Macro_0"), (QStringList{"1"}));
        QCOMPARE(QSettings(data.macro("Macro_0"), QSettings::IniFormat).value("macro/0").toString(),
                 QString("0,20"));
    }

    void missingFileIsNotCreated()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        QCOMPARE(view.saveMacroIni("Ghost", {"1,A"}, 1), QVariant(false));
        QVERIFY(!QFile::exists(data.macro("Ghost")));
        QCOMPARE(view.loadMacroIni("Ghost"), QStringList());
        QCOMPARE(view.deleteMacroIni("Ghost"), QVariant(false));
    }

    void deleteRemovesTheFile()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.createMacroIni("Macro_3", 0);
        QCOMPARE(view.deleteMacroIni("Macro_3"), QVariant(true));
        QVERIFY(!QFile::exists(data.macro("Macro_3")));
    }

    void renameFollowsInProfilesZeroToFive()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.createMacroIni("Old", 0);
        view.saveMacroIni("Old", {"1,B"}, 2);
        for (int slot : {0, 5, 6, 9})
            bind(view, slot, 3, "Old");
        bind(view, 1, 4, "Other");

        QCOMPARE(view.modifyMacroNameUpdateProfile("Old", "New"), QVariant(true));
        QVERIFY(!QFile::exists(data.macro("Old")));
        QCOMPARE(view.loadMacroIni("New"), (QStringList{"1,B", "2"}));
        QCOMPARE(view.store.profile(0)->value("mouseMacroKey/3").toString(), QString("New"));
        QCOMPARE(view.store.profile(5)->value("mouseMacroKey/3").toString(), QString("New"));
        QCOMPARE(view.store.profile(6)->value("mouseMacroKey/3").toString(), QString("Old"));
        QCOMPARE(view.store.profile(9)->value("mouseMacroKey/3").toString(), QString("Old"));
        QCOMPARE(view.store.profile(1)->value("mouseMacroKey/4").toString(), QString("Other"));
        // The new bindings are already on disk, not only in the stores: the
        // old file is gone, and a crash now must not leave buttons bound to
        // it (the crash soak kills a writer in the middle of renames).
        QVERIFY(readAll(data.profile(0)).contains("3=New"));
        QVERIFY(readAll(data.profile(5)).contains("3=New"));
    }

    void renameWithMissingFileChangesNothing()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        bind(view, 0, 3, "Gone");
        QCOMPARE(view.modifyMacroNameUpdateProfile("Gone", "New"), QVariant(false));
        QCOMPARE(view.store.profile(0)->value("mouseMacroKey/3").toString(), QString("Gone"));
        QVERIFY(!QFile::exists(data.macro("New")));
    }

    void renameOntoAnExistingName()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.createMacroIni("A", 0);
        view.saveMacroIni("A", {"1,A"}, 1);
        view.createMacroIni("B", 0);
        view.saveMacroIni("B", {"1,B"}, 1);
        bind(view, 2, 7, "A");
        QCOMPARE(view.modifyMacroNameUpdateProfile("A", "B"), QVariant(false));
        QCOMPARE(view.store.profile(2)->value("mouseMacroKey/7").toString(), QString("B"));
        QCOMPARE(view.loadMacroIni("A"), (QStringList{"1,A", "1"}));
        QCOMPARE(view.loadMacroIni("B"), (QStringList{"1,B", "1"}));
    }

    void deleteRestoresFactoryAssignmentsInSlotsZeroToFive()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        for (int slot : {0, 3, 5, 6, 9})
            bind(view, slot, 2, "M");
        bind(view, 4, 5, "Other");
        view.deleteMacroUpdateProfile("M");

        const QStringList factory = view.store.defaultProfile()->value("mouseKeyMatrix/2").toStringList();
        QCOMPARE(factory, (QStringList{"0", "0", "242", "0"}));
        for (int slot : {0, 3, 5})
            QCOMPARE(entry(view, slot, "mouseKeyMatrix/2"), factory);
        for (int slot : {6, 9})
            QCOMPARE(entry(view, slot, "mouseKeyMatrix/2"), (QStringList{"4", "0", "2", "0"}));
        QCOMPARE(entry(view, 4, "mouseKeyMatrix/5"), (QStringList{"4", "0", "5", "0"}));
        // The name entry itself stays.
        QCOMPARE(view.store.profile(0)->value("mouseMacroKey/2").toString(), QString("M"));
    }

    void deleteLeavesAbsentAndShortEntriesAlone()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        QSettings *p = view.store.profile(1);
        p->remove("mouseKeyMatrix/0");
        p->setValue("mouseKeyMatrix/1", "4");
        p->setValue("mouseKeyMatrix/2", QVariantList{4, 0});
        p->setValue("mouseMacroKey/0", "M");
        bind(view, 1, 3, "M");
        view.store.defaultProfile()->remove("mouseKeyMatrix/3"); // no factory value
        bind(view, 1, 4, "M");

        view.deleteMacroUpdateProfile("M");
        QVERIFY(!p->contains("mouseKeyMatrix/0"));
        QCOMPARE(p->value("mouseKeyMatrix/1").toString(), QString("4"));
        QCOMPARE(p->value("mouseKeyMatrix/2").toStringList(), (QStringList{"4", "0"}));
        QCOMPARE(entry(view, 1, "mouseKeyMatrix/3"), (QStringList{"4", "0", "3", "0"}));
        QCOMPARE(entry(view, 1, "mouseKeyMatrix/4"), (QStringList{"0", "0", "243", "0"}));
    }

    void importCopiesAChosenFile()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        const QString source = data.outside() + "/in.mc";
        QVERIFY(QFile::copy(fixture("qt4_macro.bin"), source));
        ScriptedChooser chooser({source});
        QCOMPARE(view.loadMacroFile("Imported"), true);
        QCOMPARE(chooser.requests.size(), 1);
        QCOMPARE(chooser.requests[0].kind, FileRequest::Open);
        QCOMPARE(chooser.requests[0].caption, QString("Open File"));
        QCOMPARE(chooser.requests[0].filter, QString("Macro(*.mc)"));
        QCOMPARE(readAll(data.macro("Imported")), readAll(source));
    }

    void importKeepsAnExistingMacro()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.createMacroIni("Macro_0", 0);
        const QByteArray before = readAll(data.macro("Macro_0"));
        ScriptedChooser chooser({fixture("qt4_macro.bin")});
        QCOMPARE(view.loadMacroFile("Macro_0"), true);
        QCOMPARE(readAll(data.macro("Macro_0")), before);
    }

    void cancelledImportCreatesNothing()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        ScriptedChooser chooser;
        QCOMPARE(view.loadMacroFile("Macro_1"), false);
        QVERIFY(!QFile::exists(data.macro("Macro_1")));
    }

    void exportWritesByteCopyAndKeepsTargetOnFailure()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.createMacroIni("Macro_0", 0);
        view.saveMacroIni("Macro_0", {"1,A", "2,A"}, 4);
        const QString target = data.outside() + "/out.mc";
        QVERIFY(writeAll(target, "old"));
        ScriptedChooser chooser({target, target});
        view.saveMacroFile("Macro_0");
        QCOMPARE(chooser.requests[0].kind, FileRequest::Save);
        QCOMPARE(chooser.requests[0].caption, QString("Save File"));
        QCOMPARE(chooser.requests[0].filter, QString("Macro(*.mc)"));
        QCOMPARE(readAll(target), readAll(data.macro("Macro_0")));

        const QByteArray exported = readAll(target);
        view.saveMacroFile("NoSuchMacro");
        QCOMPARE(readAll(target), exported);
    }

    void exportDeleteImportComesBackByteForByte()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.createMacroIni("Macro_5", 0);
        view.saveMacroIni("Macro_5", {"1,A", "0,120", QString::fromUtf8("2,回车"), "3,MS-L"}, 65535);
        const QByteArray original = readAll(data.macro("Macro_5"));
        const QString mc = data.outside() + "/m5.mc";
        ScriptedChooser chooser({mc, mc});
        view.saveMacroFile("Macro_5");
        QCOMPARE(view.deleteMacroIni("Macro_5"), QVariant(true));
        QVERIFY(view.loadMacroFile("Macro_5"));
        QCOMPARE(readAll(data.macro("Macro_5")), original);
        QCOMPARE(view.loadMacroIni("Macro_5").last(), QString("65535"));
    }

    // A macro deleted and replaced by a file of the same size and time must
    // be read afresh, although the settings class cached the old one.
    void fileReplacedWithinOneMillisecondIsReadAfresh()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        view.createMacroIni("M", 0);
        view.saveMacroIni("M", {"1,A"}, 1);
        QCOMPARE(view.loadMacroIni("M"), (QStringList{"1,A", "1"}));
        const QDateTime stamp = QFileInfo(data.macro("M")).lastModified();
        QByteArray other = readAll(data.macro("M"));
        other.replace("1,A", "1,B");
        const QString source = data.outside() + "/b.mc";
        QVERIFY(writeAll(source, other));

        auto sameTime = [&] {
            QFile f(data.macro("M"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(stamp, QFileDevice::FileModificationTime));
        };

        // Deleted through the program, then put back by import.
        QCOMPARE(view.deleteMacroIni("M"), QVariant(true));
        ScriptedChooser chooser({source});
        QVERIFY(view.loadMacroFile("M"));
        sameTime();
        QCOMPARE(view.loadMacroIni("M"), (QStringList{"1,B", "1"}));

        // Deleted behind the program's back, then imported.
        QVERIFY(writeAll(source, readAll(data.macro("M")).replace("1,B", "1,C")));
        QVERIFY(QFile::remove(data.macro("M")));
        chooser.answers = {source};
        QVERIFY(view.loadMacroFile("M"));
        sameTime();
        QCOMPARE(view.loadMacroIni("M"), (QStringList{"1,C", "1"}));

        // Renamed onto a name whose earlier file was cached.
        view.createMacroIni("N", 0);
        view.saveMacroIni("N", {"1,N"}, 1);
        QCOMPARE(view.loadMacroIni("N"), (QStringList{"1,N", "1"}));
        const QDateTime nStamp = QFileInfo(data.macro("N")).lastModified();
        QVERIFY(view.deleteMacroIni("N").toBool());
        QVERIFY(view.modifyMacroNameUpdateProfile("M", "N").toBool());
        {
            QFile f(data.macro("N"));
            QVERIFY(f.open(QIODevice::ReadWrite));
            QVERIFY(f.setFileTime(nStamp, QFileDevice::FileModificationTime));
        }
        QCOMPARE(view.loadMacroIni("N"), (QStringList{"1,C", "1"}));
    }

    // A macro file as the earlier program wrote it: quoted step texts and
    // non-ASCII key names escaped as \xNNNN.
    void readsMacroFileOfEarlierVersions()
    {
        TempData data;
        QVERIFY(QFile::copy(fixture("qt4_macro.bin"), data.macro("Old")));
        myQQuickView view(nullptr, data.root());
        const QStringList expected{"1,A", "0,50", "2,A", "3,MS-L", QString::fromUtf8("1,回车"),
                                   QString::fromUtf8("2,回车"), "2"};
        QCOMPARE(view.loadMacroIni("Old"), expected);
        // Saved again by this version, the steps read back the same.
        QVERIFY(view.saveMacroIni("Old", expected.mid(0, 6), "2").toBool());
        QCOMPARE(view.loadMacroIni("Old"), expected);
    }

    void unsafeNamesAreRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("empty") << "";
        QTest::newRow("parent folders") << "../../outside/x";
        QTest::newRow("dot dot") << "..";
        QTest::newRow("slash") << "sub/x";
        QTest::newRow("backslash") << "..\\x";
        QTest::newRow("absolute") << "/tmp/x";
        QTest::newRow("control") << "a\nb";
        QTest::newRow("colon") << "C:x";
        QTest::newRow("question mark") << "a?";
        QTest::newRow("star") << "a*";
        QTest::newRow("pipe") << "a|b";
        QTest::newRow("quote") << "a\"b";
        QTest::newRow("angle") << "a<b>";
        QTest::newRow("too long") << QString(252, 'x');
    }
    void unsafeNamesAreRefused()
    {
        QFETCH(QString, name);
        TempData data;
        const QStringList before = data.allFiles();
        {
            myQQuickView view(nullptr, data.root());
            view.createMacroIni("Good", 0);
            QVERIFY(QFile::remove(data.macro("Good")));
            ScriptedChooser chooser({fixture("qt4_macro.bin"), data.outside() + "/e.mc"});
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("createMacroIni refused macro name"));
            QCOMPARE(view.createMacroIni(name, 0), QVariant(false));
            QCOMPARE(view.saveMacroIni(name, {"1,A"}, 1), QVariant(false));
            QCOMPARE(view.loadMacroIni(name), QStringList());
            QCOMPARE(view.deleteMacroIni(name), QVariant(false));
            QCOMPARE(view.modifyMacroNameUpdateProfile(name, "Good"), QVariant(false));
            QCOMPARE(view.loadMacroFile(name), false);
            view.saveMacroFile(name);
            QVERIFY(chooser.requests.isEmpty());
            QCOMPARE(view.createMacroIni("Good", 0), QVariant(true));
            QCOMPARE(view.modifyMacroNameUpdateProfile("Good", name), QVariant(false));
            QVERIFY(QFile::exists(data.macro("Good")));
            QVERIFY(QFile::remove(data.macro("Good")));
        }
        QCOMPARE(data.allFiles(), before);
        QVERIFY(!QFile::exists("/tmp/x.bin"));
    }

    void ordinaryNamesAreAccepted()
    {
        TempData data;
        myQQuickView view(nullptr, data.root());
        for (const QString &name : {QString("Macro_99"), QString::fromUtf8("宏 一"),
                                    QString("a.b"), QString("x-y (2)")}) {
            QVERIFY2(view.createMacroIni(name, 0).toBool(), qPrintable(name));
            QVERIFY(QFile::exists(data.macro(name)));
        }
    }
};

QTEST_MAIN(tst_DataMacros)
#include "tst_data_macros.moc"

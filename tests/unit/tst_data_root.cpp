// Where the data lives: portable beside the executable or per user under
// XDG_CONFIG_HOME; the first start fills the user's folder from the shipped
// copy or carries an earlier installation's folder over byte for byte; an
// upgrade adds new keys and keeps every value; a folder that cannot be made
// is refused with a message and nothing is written.
#include "store/DataRoot.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

using Files = QMap<QString, QByteArray>;

namespace {

void put(const QString &root, const Files &files)
{
    for (auto it = files.begin(); it != files.end(); ++it) {
        const QString path = root + QLatin1Char('/') + it.key();
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(it.value());
    }
}

Files tree(const QString &root)
{
    Files files;
    QDirIterator it(root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            files.insert(QDir(root).relativeFilePath(path), f.readAll());
    }
    return files;
}

// What a release ships.
const Files Shipped = {
    {"setting/apConfig.bin", "[common]\nname=ZORVANT KELDA MOUSE X7\nlanguage=English\nurl=x\n\n[mouse]\nicType=560\n"},
    {"setting/apConfigD.bin", "[common]\nlanguage=English\n"},
    {"setting/pD.bin", "[mouse]\ndpiCount=4\n"},
    {"setting/p1.bin", "[mouse]\ndpiCount=4\nlod=3\n"},
    {"setting/name.bin", "[profile]\n0=Standard0\n"},
    {"gun/gunData.bin", "[gunData]\n0=a, L-Click, 10, 0, 10, 0\n"},
    {"i18n/English.ini", "[main]\ntotal=1\n0=Editor\n"},
};

} // namespace

class tst_DataRoot : public QObject
{
    Q_OBJECT
private slots:
    void decide_data();
    void decide();
    void prepare_data();
    void prepare();
    void mergeIni_data();
    void mergeIni();
};

void tst_DataRoot::decide_data()
{
    QTest::addColumn<Files>("layout");
    QTest::addColumn<QString>("exeDir");
    QTest::addColumn<int>("mode"); // -1: refused
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("shipped");

    QTest::newRow("portable: modules/ beside the executable")
        << Files{{"dist/kelda-config", ""}, {"dist/modules/setting/apConfig.bin", ""}} << "dist"
        << int(DataRoot::Mode::Portable) << "dist" << "";
    QTest::newRow("installed: data under <prefix>/share")
        << Files{{"usr/bin/kelda-config", ""}, {"usr/share/kelda-config/modules/setting/apConfig.bin", ""}}
        << "usr/bin" << int(DataRoot::Mode::Installed) << "config/kelda-config"
        << "usr/share/kelda-config/modules";
    QTest::newRow("no data anywhere") << Files{{"opt/bin/kelda-config", ""}} << "opt/bin" << -1 << ""
                                      << "";
}

void tst_DataRoot::decide()
{
    QFETCH(Files, layout);
    QFETCH(QString, exeDir);
    QFETCH(int, mode);
    QFETCH(QString, folder);
    QFETCH(QString, shipped);
    QTemporaryDir dir;
    put(dir.path(), layout);
    const QString top = dir.path() + QLatin1Char('/');

    DataRoot::Root root;
    QString error;
    const bool ok = DataRoot::decide({top + exeDir, top + "config", top + "home"}, &root, &error);
    QCOMPARE(ok, mode >= 0);
    if (!ok) {
        QVERIFY2(error.contains(top + exeDir + "/modules"), qPrintable(error));
        return;
    }
    QCOMPARE(int(root.mode), mode);
    QCOMPARE(root.folder, top + folder);
    QCOMPARE(root.shipped, shipped.isEmpty() ? QString() : top + shipped);
    if (root.mode == DataRoot::Mode::Installed)
        QCOMPARE(root.legacy, QStringList({top + "usr/lib/kelda-config/modules",
                                           top + "home/.local/lib/kelda-config/modules"}));
}

void tst_DataRoot::prepare_data()
{
    QTest::addColumn<Files>("before");   // under the test folder: user's and legacy data
    QTest::addColumn<Files>("expected"); // the user's modules/ afterwards
    QTest::addColumn<bool>("readOnly");  // the config folder may not be written
    QTest::addColumn<QString>("error");

    Files fresh = Shipped;
    QTest::newRow("first start: filled from the shipped copy") << Files() << fresh << false << "";

    // An earlier per-user installation: everything comes over byte for byte;
    // only its global file gains the key this release adds (url).
    const Files legacy = {
        {"setting/apConfig.bin", "[common]\r\nname=Mine\r\nlanguage=French\r\n\r\n[mouse]\r\nicType=560\r\n"},
        {"setting/p1.bin", "[mouse]\ndpiCount=2\nlod=9\ndpiValueArray=400, 800\n"},
        {"setting/p7.bin", "[mouse]\nreportRate=1\n"},
        {"setting/name.bin", "[profile]\n0=Standard0\n1=Work1\n[macro]\n0=Mine\n"},
        {"macro/Mine.bin", "[macro]\n0=\"1,A\"\ntotal=1\n"},
        {"gun/gunData.bin", "[gunData]\n0=sniper, L-Click, 9, 0, 5, 0\n"},
        {"setting/notes.txt", QByteArray("\0\xff\x01 binary", 10)},
    };
    Files carried = Shipped;
    for (auto it = legacy.begin(); it != legacy.end(); ++it)
        carried[it.key()] = it.value();
    carried["setting/apConfig.bin"] =
        "[common]\r\nname=Mine\r\nlanguage=French\r\nurl=x\n\r\n[mouse]\r\nicType=560\r\n";
    Files before;
    for (auto it = legacy.begin(); it != legacy.end(); ++it)
        before["home/.local/lib/kelda-config/modules/" + it.key()] = it.value();
    QTest::newRow("earlier installation carried over") << before << carried << false << "";

    // An upgrade: the user's values stay, new keys join them, the program's
    // own files are replaced.
    Files upgraded = Shipped;
    upgraded["setting/p1.bin"] = "[mouse]\nlod=20\ndpiCount=4\n";
    upgraded["macro/Mine.bin"] = "[macro]\ntotal=0\n";
    before = {{"config/kelda-config/modules/setting/apConfig.bin",
               "[common]\nname=ZORVANT KELDA MOUSE X7\nlanguage=English\n\n[mouse]\nicType=560\n"},
              {"config/kelda-config/modules/setting/p1.bin", "[mouse]\nlod=20\n"},
              {"config/kelda-config/modules/setting/pD.bin", "[mouse]\ndpiCount=1\n"},
              {"config/kelda-config/modules/macro/Mine.bin", "[macro]\ntotal=0\n"}};
    QTest::newRow("upgrade adds keys and keeps values") << before << upgraded << false << "";

    QTest::newRow("a file where the folder should be")
        << Files{{"config/kelda-config", "not a folder"}} << Files() << false << "cannot be created";
    QTest::newRow("read-only home") << Files() << Files() << true << "cannot be created";
}

void tst_DataRoot::prepare()
{
    QFETCH(Files, before);
    QFETCH(Files, expected);
    QFETCH(bool, readOnly);
    QFETCH(QString, error);
#ifdef Q_OS_UNIX
    if (readOnly && ::geteuid() == 0)
        QSKIP("root writes into read-only folders; the package journey covers this as a user");
#endif
    QTemporaryDir dir;
    const QString top = dir.path() + QLatin1Char('/');
    put(top + "usr/share/kelda-config/modules", Shipped);
    put(dir.path(), before);
    const Files legacyBefore = tree(top + "home/.local/lib/kelda-config/modules");
    QVERIFY(QDir().mkpath(top + "config"));
    if (readOnly)
        QFile::setPermissions(top + "config", QFile::ReadOwner | QFile::ExeOwner);

    DataRoot::Root root;
    QString why;
    QVERIFY(DataRoot::decide({top + "usr/bin", top + "config", top + "home"}, &root, &why));
    const bool ok = DataRoot::prepare(root, &why);
    QFile::setPermissions(top + "config", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    if (!error.isEmpty()) {
        QVERIFY(!ok);
        QVERIFY2(why.contains(error) && why.contains(top + "config/kelda-config"), qPrintable(why));
        QVERIFY(!QFileInfo::exists(top + "config/kelda-config/modules"));
        return;
    }
    QVERIFY2(ok, qPrintable(why));
    QCOMPARE(tree(top + "config/kelda-config/modules"), expected);
    QVERIFY(QFileInfo(top + "config/kelda-config/modules/macro").isDir());
    // The earlier folder is left exactly as it was.
    QCOMPARE(tree(top + "home/.local/lib/kelda-config/modules"), legacyBefore);
    // A second start changes nothing.
    QVERIFY(DataRoot::prepare(root, &why));
    QCOMPARE(tree(top + "config/kelda-config/modules"), expected);
}

void tst_DataRoot::mergeIni_data()
{
    QTest::addColumn<QByteArray>("shipped");
    QTest::addColumn<QByteArray>("user");
    QTest::addColumn<QByteArray>("merged");

    QTest::newRow("nothing new: untouched") << QByteArray("[a]\nk=1\n") << QByteArray("[a]\nk=2\n; note\n")
                                            << QByteArray("[a]\nk=2\n; note\n");
    QTest::newRow("new key before the blank line of its section")
        << QByteArray("[a]\nk=1\nn=5\n\n[b]\nx=1\n") << QByteArray("[a]\nk=2\n\n[b]\nx=3")
        << QByteArray("[a]\nk=2\nn=5\n\n[b]\nx=3");
    QTest::newRow("new section at the end") << QByteArray("[a]\nk=1\n[c]\ny=%U4E2D\n")
                                            << QByteArray("[a]\nk=2") << QByteArray("[a]\nk=2\n[c]\ny=%U4E2D\n");
}

void tst_DataRoot::mergeIni()
{
    QFETCH(QByteArray, shipped);
    QFETCH(QByteArray, user);
    QFETCH(QByteArray, merged);
    QCOMPARE(DataRoot::mergeIni(shipped, user), merged);
}

QTEST_MAIN(tst_DataRoot)
#include "tst_data_root.moc"

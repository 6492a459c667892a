// Pointer settings: the parameters computed from the scene's steps, and
// what reaches the desktop's GSettings. Each desktop case runs in a child
// process, because GLib picks its schemas and settings backend once per
// process; no case touches the real desktop (keyfile or memory backend,
// dconf without a session bus, no schema).
#include "app/myQQuickView.h"
#include "host/PointerSettings.h"
#include "host/linux/KdePointer.h"

#include <QGuiApplication>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QStyleHints>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

class TestHostPointer : public QObject
{
    Q_OBJECT

private slots:
    void parameters_data()
    {
        QTest::addColumn<unsigned>("step");
        QTest::addColumn<unsigned>("speed");
        QTest::addColumn<unsigned>("doubleClick");
        QTest::addColumn<double>("desktopSpeed");
        QTest::newRow("step 0") << 0u << 1u << 900u << -1.0;
        QTest::newRow("step 1") << 1u << 2u << 830u << -0.8;
        QTest::newRow("step 5") << 5u << 10u << 550u << 0.0;
        QTest::newRow("step 10") << 10u << 20u << 200u << 1.0;
        QTest::newRow("past the last step") << 40u << 20u << 200u << 1.0;
    }

    void parameters()
    {
        QFETCH(unsigned, step);
        QFETCH(unsigned, speed);
        QFETCH(unsigned, doubleClick);
        QFETCH(double, desktopSpeed);
        QCOMPARE(pointer::cursorSpeed(step), speed);
        QCOMPARE(pointer::doubleClickTime(step), doubleClick);
        QCOMPARE(pointer::desktopSpeed(step), desktopSpeed);
    }

    // The three slots as the scene calls them; KELDA_POINTER_CHILD holds
    // "speedStep,doubleClickStep,lines".
    void applyChild()
    {
        const QByteArray args = qgetenv("KELDA_POINTER_CHILD");
        if (args.isEmpty())
            QSKIP("runs as the child of desktop()");
        const QList<QByteArray> v = args.split(',');
        QTemporaryDir data;
        myQQuickView view(nullptr, data.path());
        view.mouseSetCursorSpeed(v.value(0).toUInt());
        view.mouseSetDoubleClickSpeed(v.value(1).toUInt());
        view.mouseSetVerticalScrollLines(v.value(2).toUInt());
        QCOMPARE(QGuiApplication::styleHints()->wheelScrollLines(), v.value(2).toInt());
    }

    void desktop_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::addColumn<bool>("schema");
        QTest::addColumn<QString>("args");
        QTest::addColumn<bool>("applied");
        QTest::addColumn<double>("speed");
        QTest::addColumn<int>("doubleClick");

        QTest::newRow("slowest, fastest double click, one screen") << "keyfile" << true << "0,10,1000" << true << -1.0 << 200;
        QTest::newRow("middle speed, slowest double click") << "keyfile" << true << "5,0,3" << true << 0.0 << 900;
        QTest::newRow("fastest") << "keyfile" << true << "10,5,1" << true << 1.0 << 550;
        QTest::newRow("no schema") << "keyfile" << false << "3,3,3" << false << 0.0 << 0;
        QTest::newRow("settings kept only in memory") << "memory" << true << "3,3,3" << false << 0.0 << 0;
        QTest::newRow("dconf without a session bus") << "dconf" << true << "3,3,3" << false << 0.0 << 0;
        // A private session bus and configuration folder: dconf commits.
        QTest::newRow("dconf with a session bus") << "dconf+session" << true << "4,6,7" << true << 0.0 << 0;
    }

    void desktop()
    {
        QFETCH(QString, backend);
        QFETCH(bool, schema);
        QFETCH(QString, args);
        QFETCH(bool, applied);
        QFETCH(double, speed);
        QFETCH(int, doubleClick);

        const bool session = backend.endsWith("+session");
        QString program = QCoreApplication::applicationFilePath();
        QStringList arguments = {"applyChild"};
        if (session) {
            backend.chop(int(strlen("+session")));
            const QString busRunner = QStandardPaths::findExecutable("dbus-run-session");
            if (busRunner.isEmpty())
                QSKIP("needs dbus-run-session (package dbus)");
            arguments.prepend(program);
            arguments.prepend("--");
            program = busRunner;
        }

        QTemporaryDir home;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KELDA_POINTER_CHILD", args);
        env.insert("GSETTINGS_BACKEND", backend);
        env.insert("XDG_CURRENT_DESKTOP", "GNOME");
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", home.path());
        if (session)
            env.remove("DBUS_SESSION_BUS_ADDRESS");
        else
            env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.remove("GSETTINGS_SCHEMA_DIR");
        if (!schema)
            env.insert("XDG_DATA_DIRS", home.filePath("no-schemas"));
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(program, arguments);
        QVERIFY(child.waitForFinished(60000));
        const QString log = QString::fromUtf8(child.readAllStandardError() + child.readAllStandardOutput());
        QVERIFY2(child.exitCode() == 0, qPrintable(log));
        if (session && log.contains("no GSettings backend that stores settings"))
            QSKIP("dconf-gsettings-backend is not installed");

        const QString lines = args.section(',', 2);
        QVERIFY2(log.contains(QStringLiteral("no setting for wheel scroll lines; %1 lines").arg(lines)), qPrintable(log));
        QVERIFY(!log.contains("setVerticalScrollLines Failed"));
        QCOMPARE(log.contains("setCursorSpeed Failed"), !applied);
        QCOMPARE(log.contains("setDoubleClickSpeed Failed"), !applied);
        if (!schema)
            QVERIFY2(log.contains("org.gnome.desktop.peripherals.mouse is not installed"), qPrintable(log));

        // The keyfile backend is where a desktop would have read them.
        const QString keyfile = home.filePath("config/glib-2.0/settings/keyfile");
        if (backend == "dconf") {
            QCOMPARE(QFile::exists(home.filePath("config/dconf/user")), applied);
            return;
        }
        if (!applied) {
            QVERIFY(!QFile::exists(keyfile));
            return;
        }
        QSettings stored(keyfile, QSettings::IniFormat);
        stored.beginGroup("org/gnome/desktop/peripherals/mouse");
        QCOMPARE(stored.value("speed").toDouble(), speed);
        QCOMPARE(stored.value("double-click").toInt(), doubleClick);
    }

    // KDE Plasma reads no GSettings: double-click time and wheel lines go to
    // kdeglobals, next to what the user keeps there; without KWin on the bus
    // the pointer speed is reported as not applied.
    void plasma()
    {
        QTemporaryDir home;
        QDir().mkpath(home.filePath("config"));
        QFile globals(home.filePath("config/kdeglobals"));
        QVERIFY(globals.open(QIODevice::WriteOnly));
        globals.write("[General]\nColorScheme=Dark\n\n[KDE]\nDoubleClickInterval=400\nSingleClick=false\n\n[WM]\nx=1\n");
        globals.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("KELDA_POINTER_CHILD", "5,10,7");
        env.insert("XDG_CURRENT_DESKTOP", "KDE");
        env.insert("XDG_CONFIG_HOME", home.filePath("config"));
        env.insert("XDG_RUNTIME_DIR", home.path());
        env.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
        env.insert("GSETTINGS_BACKEND", "keyfile");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QProcess child;
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {"applyChild"});
        QVERIFY(child.waitForFinished(60000));
        const QString log = QString::fromUtf8(child.readAllStandardError() + child.readAllStandardOutput());
        QVERIFY2(child.exitCode() == 0, qPrintable(log));
        QVERIFY(log.contains("setCursorSpeed Failed"));
        QVERIFY(!log.contains("setDoubleClickSpeed Failed"));
        QVERIFY(!log.contains("setVerticalScrollLines Failed"));
        QVERIFY(!QFile::exists(home.filePath("config/glib-2.0/settings/keyfile")));
        QVERIFY(globals.open(QIODevice::ReadOnly));
        QCOMPARE(globals.readAll(), QByteArray("[General]\nColorScheme=Dark\n\n[KDE]\nDoubleClickInterval=200\n"
                                               "SingleClick=false\nWheelScrollLines=7\n\n[WM]\nx=1\n"));
    }

    void iniKey_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("no file") << QByteArray() << QByteArray("[KDE]\nk=v\n");
        QTest::newRow("no group") << QByteArray("[A]\nk=1\n") << QByteArray("[A]\nk=1\n\n[KDE]\nk=v\n");
        QTest::newRow("a key with a flag is replaced")
            << QByteArray("[KDE]\n# note\nk[$e]=1\nm=2\n") << QByteArray("[KDE]\n# note\nk=v\nm=2\n");
        QTest::newRow("the same key in another group stays")
            << QByteArray("[A]\nk=1\n[KDE]\nm=2\n[B]\nk=3") << QByteArray("[A]\nk=1\n[KDE]\nm=2\nk=v\n[B]\nk=3\n");
    }

    void iniKey()
    {
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, after);
        QTemporaryDir dir;
        const QString path = dir.filePath("rc");
        if (!before.isNull()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(before);
        }
        QVERIFY(pointer::kde::setIniKey(path, "KDE", "k", "v"));
        QCOMPARE(pointer::kde::iniKey(path, "KDE", "k"), QString("v"));
        QFile f(path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), after);
    }
};

QTEST_MAIN(TestHostPointer)
#include "tst_host_pointer.moc"

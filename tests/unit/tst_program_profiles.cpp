// Profiles that follow the focused program: the binding group of the global
// file (hand-edited junk, names that need escaping, the rest of the file
// untouched) and the follower's rules (settle time, what blocks a switch,
// what is never sent).
#include "app/Autostart.h"
#include "app/ProfileFollower.h"
#include "device/DeviceGate.h"
#include "store/ProgramBindings.h"

#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Bindings = QList<ProgramBindings::Binding>;

QString writeFile(const QTemporaryDir &dir, const QByteArray &text)
{
    const QString path = dir.filePath(QStringLiteral("apConfig.bin"));
    QFile f(path);
    f.open(QIODevice::WriteOnly | QIODevice::Truncate);
    f.write(text);
    return path;
}

// A follower with a fake device side: the profile that is current, whether
// the owner asks to wait, and every switch it was told to make.
struct Rig {
    ProgramBindings bindings;
    ProfileFollower follower{bindings};
    int current = 0;
    bool wait = false;
    QList<int> switched;

    Rig()
    {
        bindings.enabled = true;
        bindings.bind(QStringLiteral("alpha"), 1);
        bindings.bind(QStringLiteral("BetaClass"), 2);
        follower.currentProfile = [this] { return current; };
        follower.mustWait = [this] { return wait; };
        follower.switchTo = [this](int p) {
            switched << p;
            current = p;
        };
    }
};

} // namespace

class tst_ProgramProfiles : public QObject
{
    Q_OBJECT
private slots:
    void bindingGroupIsReadSafely_data();
    void bindingGroupIsReadSafely();
    void namesRoundTripAndOtherKeysStay();
    void followerRules_data();
    void followerRules();
    void switchWaitsForTheDeviceAndTheOwner();
    void autostartEntry();
};

void tst_ProgramProfiles::bindingGroupIsReadSafely_data()
{
    QTest::addColumn<QByteArray>("group");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<int>("defaultProfile");
    QTest::addColumn<Bindings>("want");

    QTest::newRow("no group: an older file") << QByteArray() << false << -1 << Bindings{};
    QTest::newRow("plain") << QByteArray("enabled=true\ndefaultProfile=3\nbindings\\1\\program=game\n"
                                         "bindings\\1\\profile=2\nbindings\\size=1\n")
                           << true << 3 << Bindings{{"game", 2}};
    QTest::newRow("junk: empty name, profile out of range, not a number, duplicate")
        << QByteArray("enabled=yes\ndefaultProfile=9\n"
                      "bindings\\1\\program=  \nbindings\\1\\profile=1\n"
                      "bindings\\2\\program=a\nbindings\\2\\profile=6\n"
                      "bindings\\3\\program=b\nbindings\\3\\profile=-1\n"
                      "bindings\\4\\program=c\nbindings\\4\\profile=two\n"
                      "bindings\\5\\program=Game\nbindings\\5\\profile=4\n"
                      "bindings\\6\\program=GAME\nbindings\\6\\profile=5\n"
                      "bindings\\7\\program=ok\nbindings\\7\\profile=0\n"
                      "bindings\\size=7\n")
        << false << -1 << Bindings{{"Game", 4}, {"ok", 0}};
    QTest::newRow("size beyond the entries, unquoted comma")
        << QByteArray("bindings\\1\\program=a,b\nbindings\\1\\profile=1\nbindings\\size=2000000000\n")
        << false << -1 << Bindings{{"a,b", 1}};
    QTest::newRow("negative size") << QByteArray("bindings\\size=-5\n") << false << -1 << Bindings{};
}

void tst_ProgramProfiles::bindingGroupIsReadSafely()
{
    QFETCH(QByteArray, group);
    QTemporaryDir dir;
    QByteArray text = "[mouse]\nprofileNo=2\n";
    if (!group.isEmpty())
        text += "[programProfiles]\n" + group;
    QSettings settings(writeFile(dir, text), QSettings::IniFormat);
    ProgramBindings b;
    b.load(settings);
    QTEST(b.enabled, "enabled");
    QTEST(b.defaultProfile, "defaultProfile");
    QTEST(b.bindings(), "want");
}

void tst_ProgramProfiles::namesRoundTripAndOtherKeysStay()
{
    QTemporaryDir dir;
    const QString path = writeFile(dir, "[mouse]\nprofileNo=2\nname=\"a, b\"\n[common]\nname=X7\n");
    const QStringList names = {QStringLiteral("steam, launcher"), QStringLiteral("a=b"),
                               QStringLiteral("/opt/game/bin"), QStringLiteral("игра.exe"),
                               QStringLiteral("游戏"), QStringLiteral("\"quoted\" \\back;semi#hash"),
                               QStringLiteral("1")};
    {
        QSettings settings(path, QSettings::IniFormat);
        ProgramBindings b;
        b.enabled = true;
        b.defaultProfile = 5;
        for (int i = 0; i < names.size(); ++i)
            QVERIFY(b.bind(names.at(i), i % ProgramBindings::ProfileCount));
        b.save(settings);
    }
    QSettings settings(path, QSettings::IniFormat);
    ProgramBindings back;
    back.load(settings);
    QVERIFY(back.enabled);
    QCOMPARE(back.defaultProfile, 5);
    QCOMPARE(back.bindings().size(), names.size());
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(back.bindings().at(i).program, names.at(i));
    QCOMPARE(settings.value(QStringLiteral("mouse/profileNo")).toInt(), 2);
    QCOMPARE(settings.value(QStringLiteral("mouse/name")).toString(), QStringLiteral("a, b"));
    QCOMPARE(settings.value(QStringLiteral("common/name")).toString(), QStringLiteral("X7"));
}

void tst_ProgramProfiles::followerRules_data()
{
    QTest::addColumn<QStringList>("focus"); // "exe|class", one per change, 50 ms apart
    QTest::addColumn<int>("current");
    QTest::addColumn<int>("defaultProfile");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QList<int>>("want");

    QStringList burst;
    for (int i = 0; i < 10; ++i)
        burst << (i % 2 ? QStringLiteral("x|BetaClass") : QStringLiteral("alpha|"));
    QTest::newRow("burst: one switch, to the last") << burst << 0 << -1 << true << QList<int>{2};
    QTest::newRow("executable before class") << QStringList{"ALPHA|BetaClass"} << 0 << -1 << true
                                             << QList<int>{1};
    QTest::newRow("already current: nothing sent") << QStringList{"alpha|"} << 1 << -1 << true << QList<int>{};
    QTest::newRow("unbound, no default") << QStringList{"other|Other"} << 1 << -1 << true << QList<int>{};
    QTest::newRow("unbound, default") << QStringList{"other|Other"} << 1 << 0 << true << QList<int>{0};
    QTest::newRow("feature off") << QStringList{"alpha|"} << 0 << 0 << false << QList<int>{};
}

void tst_ProgramProfiles::followerRules()
{
    QFETCH(QStringList, focus);
    Rig rig;
    QFETCH(int, current);
    QFETCH(int, defaultProfile);
    QFETCH(bool, enabled);
    rig.current = current;
    rig.bindings.defaultProfile = defaultProfile;
    rig.bindings.enabled = enabled;
    for (const QString &f : focus) {
        const QStringList parts = f.split(QLatin1Char('|'));
        rig.follower.focusChanged(parts.at(0), parts.at(1));
        QTest::qWait(50);
        QVERIFY(rig.switched.isEmpty()); // nothing before the focus settled
    }
    QTest::qWait(ProfileFollower::SettleMs + 200);
    QTEST(rig.switched, "want");
}

void tst_ProgramProfiles::switchWaitsForTheDeviceAndTheOwner()
{
    Rig rig;
    {
        DeviceGate::Hold running;
        rig.follower.focusChanged(QStringLiteral("alpha"), QString());
        QTest::qWait(ProfileFollower::SettleMs + 200);
        QVERIFY(rig.switched.isEmpty());
        // The focus moves on while the device is busy: the latest counts.
        rig.follower.focusChanged(QString(), QStringLiteral("BetaClass"));
        QTest::qWait(ProfileFollower::SettleMs + 200);
        QVERIFY(rig.switched.isEmpty());
    }
    QTRY_COMPARE(rig.switched, QList<int>{2});

    rig.wait = true; // a dialog is open
    rig.follower.focusChanged(QStringLiteral("alpha"), QString());
    QTest::qWait(ProfileFollower::SettleMs + ProfileFollower::RetryMs + 200);
    QCOMPARE(rig.switched, QList<int>{2});
    QVERIFY(rig.follower.waiting());
    rig.wait = false;
    QTRY_COMPARE(rig.switched, (QList<int>{2, 1}));
}

void tst_ProgramProfiles::autostartEntry()
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QStandardPaths::setTestModeEnabled(false);
    QString error;
    const QString program = QStringLiteral("/opt/my \"games\"/100% $x\\kelda-config");
    QVERIFY(Autostart::setEnabled(true, program, &error));
    QCOMPARE(Autostart::entryPath(), home.path() + QLatin1String("/autostart/com.zorvant.KeldaConfig.desktop"));
    QVERIFY(Autostart::enabled());
    QFile f(Autostart::entryPath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray text = f.readAll();
    QVERIFY2(text.contains("Exec=\"/opt/my \\\\\"games\\\\\"/100%% \\\\$x\\\\\\\\kelda-config\" --hidden\n"),
             text.constData());
    QVERIFY(Autostart::setEnabled(false, program, &error));
    QVERIFY(!Autostart::enabled());
    QVERIFY(Autostart::setEnabled(false, program, &error)); // nothing to remove is no failure
}

QTEST_MAIN(tst_ProgramProfiles)
#include "tst_program_profiles.moc"

// The application shell: single-instance hand-off, the window's restore
// rules and device-change scheduling.
#include "app/SingleInstance.h"
#include "app/Ui_Controler.h"
#include "app/Widget.h"
#include "host/DeviceWatch.h"
#include "support/DataFolder.h"

#include <QFuture>
#include <QSignalSpy>
#include <QtConcurrent>
#include <QtTest>

class tst_Shell : public QObject
{
    Q_OBJECT
private slots:
    void secondInstanceHandsOverItsMessage();
    void noticesArriveWithTheirDeclaredLength();
    void oversizedFrameIsRefused();
    void deviceChangesScheduleOneCheckWhileNoReadLoopRuns();
    void windowComesBackOnlyWhileADeviceIsConnected();
    void sceneShrinksOnlyToFitTheScreen_data();
    void sceneShrinksOnlyToFitTheScreen();
};


void tst_Shell::secondInstanceHandsOverItsMessage()
{
    const QString id = QStringLiteral("kelda-test-%1-a").arg(QCoreApplication::applicationPid());
    SingleInstance first(id);
    QVERIFY(!first.isRunning());
    SingleInstance second(id);
    QVERIFY(second.isRunning());

    QSignalSpy received(&first, &SingleInstance::messageReceived);
    // The sender blocks until answered, so it runs off the receiving thread.
    QFuture<bool> sent = QtConcurrent::run([&] { return second.sendMessage(QString(), 5000); });
    QTRY_COMPARE(received.size(), 1);
    QCOMPARE(received.at(0).at(0).toString(), QString());
    sent.waitForFinished();
    QVERIFY(sent.result());
}

void tst_Shell::noticesArriveWithTheirDeclaredLength()
{
    const QString id = QStringLiteral("kelda-test-%1-b").arg(QCoreApplication::applicationPid());
    SingleInstance first(id);
    QSignalSpy notices(&first, &SingleInstance::noticeReceived);
    const QByteArray text = QStringLiteral("Überhitzung").toUtf8();
    bool handled = false;
    QFuture<bool> sent = QtConcurrent::run([&] {
        return SingleInstance::sendFrame(first.serverName(), 0x250F, quint32(text.size() + 3), text,
                                         5000, &handled);
    });
    QTRY_COMPARE(notices.size(), 1);
    sent.waitForFinished();
    QVERIFY(sent.result());
    QVERIFY(handled);
    QCOMPARE(notices.at(0).at(0).value<quint32>(), 0x250Fu);
    QCOMPARE(notices.at(0).at(1).value<quint32>(), quint32(text.size() + 3));
    QCOMPARE(notices.at(0).at(2).toByteArray(), text);
}

void tst_Shell::oversizedFrameIsRefused()
{
    const QString id = QStringLiteral("kelda-test-%1-c").arg(QCoreApplication::applicationPid());
    SingleInstance first(id);
    QSignalSpy notices(&first, &SingleInstance::noticeReceived);
    QFuture<bool> sent = QtConcurrent::run([&] {
        return SingleInstance::sendFrame(first.serverName(), 0x250F, 0, QByteArray(2 << 20, 'x'), 2000);
    });
    QTRY_VERIFY(sent.isFinished());
    QVERIFY(!sent.result());
    QCOMPARE(notices.size(), 0);
}

void tst_Shell::deviceChangesScheduleOneCheckWhileNoReadLoopRuns()
{
    DataFolder data;
    Widget w(nullptr, false);
    DeviceWatch *watch = w.findChild<DeviceWatch *>();
    QVERIFY(watch);

    w.hid.readLoopRunning = true;
    watch->inject();
    QVERIFY(!w.checkTimer.isActive());

    w.hid.readLoopRunning = false;
    QSignalSpy checks(&w.checkTimer, &QTimer::timeout);
    watch->inject();
    QTest::qWait(1000);
    watch->inject(); // a burst restarts the countdown
    QVERIFY(w.checkTimer.isActive());
    QCOMPARE(w.checkTimer.interval(), 2048);
    QVERIFY(w.checkTimer.isSingleShot());
    QTest::qWait(1500);
    QCOMPARE(checks.size(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(checks.size(), 1, 2000);
}

void tst_Shell::windowComesBackOnlyWhileADeviceIsConnected()
{
    DataFolder data;
    Widget w(nullptr, false);
    w.show();
    w.hide();

    deviceConnected = false;
    w.receiveMessage(QString());
    w.trayIconActivated(QSystemTrayIcon::DoubleClick);
    QTest::qWait(50);
    QVERIFY(!w.isVisible());

    deviceConnected = true;
    w.trayIconActivated(QSystemTrayIcon::Trigger);
    QTest::qWait(50);
    QVERIFY(!w.isVisible());
    w.receiveMessage(QStringLiteral("anything"));
    QVERIFY(!w.isVisible()); // posted, not immediate
    QTRY_VERIFY(w.isVisible());

    w.hide();
    w.trayIconActivated(QSystemTrayIcon::DoubleClick);
    QTRY_VERIFY(w.isVisible());
    deviceConnected = false;
}

QTEST_MAIN(tst_Shell)
void tst_Shell::sceneShrinksOnlyToFitTheScreen_data()
{
    QTest::addColumn<QSize>("available");
    QTest::addColumn<qreal>("scale");
    QTest::newRow("exactly the scene") << QSize(1024, 640) << 1.0;
    QTest::newRow("larger screen") << QSize(1920, 1050) << 1.0;
    QTest::newRow("too low") << QSize(1024, 600) << 600.0 / 640;
    QTest::newRow("low behind a panel") << QSize(1024, 552) << 552.0 / 640;
    QTest::newRow("too narrow") << QSize(800, 1000) << 800.0 / 1024;
    QTest::newRow("both, width rules") << QSize(900, 600) << 900.0 / 1024;
    QTest::newRow("no screen known") << QSize() << 1.0;
}

void tst_Shell::sceneShrinksOnlyToFitTheScreen()
{
    QFETCH(QSize, available);
    QFETCH(qreal, scale);
    const qreal s = Ui_Controler::sceneScale(available, QSize(1024, 640));
    QCOMPARE(s, scale);
    if (!available.isEmpty())
        QVERIFY(1024 * s <= available.width() && 640 * s <= available.height());
}

#include "tst_shell.moc"

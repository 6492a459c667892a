// The warning notice another process can raise: which notices open the box,
// and the whole way from the single-instance socket to the box.
#include "app/SingleInstance.h"
#include "host/InputHookManager.h"
#include "host/NoticeFilter.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <QtTest>

#include <atomic>
#include <thread>

class TestHostNotice : public QObject
{
    Q_OBJECT

private slots:
    void warningText_data()
    {
        QTest::addColumn<quint32>("tag");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<quint32>("declared");
        QTest::addColumn<bool>("shown");
        QTest::addColumn<QString>("text");
        const QByteArray umlaut = QStringLiteral("Gr\u00f6\u00dfe").toUtf8(); // 5 characters, 7 bytes

        QTest::newRow("right tag and length") << 0x250Fu << QByteArray("Battery low") << 11u << true << "Battery low";
        QTest::newRow("other tag") << 0x2510u << QByteArray("Battery low") << 11u << false << "";
        QTest::newRow("length too long") << 0x250Fu << QByteArray("Battery low") << 12u << false << "";
        QTest::newRow("length too short") << 0x250Fu << QByteArray("Battery low") << 10u << false << "";
        QTest::newRow("terminator not counted") << 0x250Fu << QByteArray("abc\0", 4) << 3u << true << "abc";
        QTest::newRow("terminator counted") << 0x250Fu << QByteArray("abc\0", 4) << 4u << false << "";
        QTest::newRow("length counts bytes") << 0x250Fu << umlaut << 7u << true << QStringLiteral("Gr\u00f6\u00dfe");
        QTest::newRow("length counts characters") << 0x250Fu << umlaut << 5u << false << "";
        QTest::newRow("not UTF-8") << 0x250Fu << QByteArray("\xff\xfe") << 2u << false << "";
    }

    void warningText()
    {
        QFETCH(quint32, tag);
        QFETCH(QByteArray, bytes);
        QFETCH(quint32, declared);
        QFETCH(bool, shown);
        QFETCH(QString, text);
        NoticeRecord record;
        record.tag = tag;
        record.declaredLength = declared;
        record.data = bytes.constData();
        record.size = std::size_t(bytes.size());
        QString got;
        QCOMPARE(notice::warningText(record, &got), shown);
        QCOMPARE(got, text);
    }

    // Reads only the bytes that came: a sender that declares more than it
    // sends gets no box, and nothing past the buffer is read.
    void declaredLengthBeyondTheData()
    {
        const char bytes[] = {'o', 'k', 'x', 'x'};
        NoticeRecord record{0x250F, 3, bytes, 2};
        QString got;
        QVERIFY(!notice::warningText(record, &got));
        record.declaredLength = 2;
        QVERIFY(notice::warningText(record, &got));
        QCOMPARE(got, QStringLiteral("ok"));
    }

    void handledOnlyWithACallback()
    {
        InputHookManager hooks(false);
        NoticeFilter filter(hooks);
        QVERIFY(!filter.receive(0x250F, 2, "hi"));
        hooks.setCopyDataCallback([](const NoticeRecord &, void *) {}, nullptr);
        QVERIFY(filter.receive(0x250F, 2, "hi"));
        QVERIFY(filter.receive(0x1234, 9, "wrong"));
    }

    void boxFromAnotherProcess()
    {
        QWidget window;
        window.setWindowTitle(QStringLiteral("ZORVANT KELDA MOUSE X7"));
        InputHookManager hooks(false);
        hooks.setCopyDataCallback(notice::showWarning, &window);
        NoticeFilter filter(hooks);
        SingleInstance instance(QStringLiteral("kelda-test-notice-%1").arg(QCoreApplication::applicationPid()));
        QVERIFY(!instance.isRunning());
        connect(&instance, &SingleInstance::noticeReceived, &filter, &NoticeFilter::receive);

        // Every box that opens is noted and closed.
        QStringList boxes;
        QTimer closer;
        connect(&closer, &QTimer::timeout, this, [&boxes] {
            for (QWidget *w : QApplication::topLevelWidgets()) {
                auto *box = qobject_cast<QMessageBox *>(w);
                if (box && box->isVisible()) {
                    boxes << box->windowTitle() + " | " + box->text();
                    box->accept();
                }
            }
        });
        closer.start(20);

        auto send = [&instance](quint32 declared, const QByteArray &text) {
            std::atomic<bool> done{false};
            bool delivered = false, handled = false;
            std::thread sender([&] {
                delivered = SingleInstance::sendFrame(instance.serverName(), notice::WarningTag,
                                                      declared, text, 5000, &handled);
                done = true;
            });
            QTRY_VERIFY_WITH_TIMEOUT(done, 10000);
            sender.join();
            QVERIFY(delivered);
            QVERIFY(handled);
        };

        send(9, "too short, so no box");
        QTest::qWait(200);
        QVERIFY(boxes.isEmpty());

        send(13, "Battery low!!");
        QTRY_COMPARE(boxes, QStringList{"ZORVANT KELDA MOUSE X7 | Battery low!!"});
    }
};

QTEST_MAIN(TestHostNotice)
#include "tst_host_notice.moc"

// Captured input reaching the scene's detectKeyboard/detectMouse.
//
// focusFallback runs on the offscreen platform: without X11 RECORD, keys and
// buttons are taken from the program's own window. recordCapture needs an
// X server with RECORD and xdotool; tests/e2e/test_capture.sh runs it under
// Xvfb, where keys typed into another client's window must still arrive.
#include "app/myQQuickView.h"
#include "host/InputHookManager.h"

#include <QJSValue>
#include <QKeyEvent>
#include <QProcess>
#include <QQuickItem>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

namespace {

void forwardKey(bool pressed, int hidCode, void *view)
{
    static_cast<myQQuickView *>(view)->detectKeyboard(pressed, hidCode);
}

void forwardButton(int buttonCode, bool pressed, int x, int y, void *view)
{
    static_cast<myQQuickView *>(view)->detectMouse(pressed, buttonCode, x, y);
}

// The events the scene recorded, as "down 04" / "up f0 @x,y".
QStringList sceneEvents(myQQuickView &view, const char *property)
{
    QVariant value = view.rootObject()->property(property);
    if (value.metaType() == QMetaType::fromType<QJSValue>())
        value = value.value<QJSValue>().toVariant();
    QStringList out;
    for (const QVariant &entry : value.toList()) {
        const QVariantList e = entry.toList();
        QString text = QStringLiteral("%1 %2").arg(e.value(0).toBool() ? "down" : "up")
                           .arg(e.value(1).toInt(), 2, 16, QLatin1Char('0'));
        if (e.size() == 4)
            text += QStringLiteral(" @%1,%2").arg(e.value(2).toInt()).arg(e.value(3).toInt());
        out << text;
    }
    return out;
}

void sendKey(QWindow *window, QEvent::Type type, int key, quint32 keycode, bool autoRepeat = false)
{
    QKeyEvent event(type, key, Qt::NoModifier, keycode, 0, 0, QString(), autoRepeat);
    QCoreApplication::sendEvent(window, &event);
}

} // namespace

class TestHostCapture : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_data;
    std::unique_ptr<myQQuickView> m_view;
    std::unique_ptr<InputHookManager> m_hooks;

    void buildScene()
    {
        m_view = std::make_unique<myQQuickView>(nullptr, m_data.path());
        m_view->setSource(QUrl::fromLocalFile(QStringLiteral(KELDA_SOURCE_DIR "/tests/unit/data/capture_scene.qml")));
        QVERIFY(m_view->rootObject());
        m_view->setGeometry(0, 0, 320, 200);
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_hooks = std::make_unique<InputHookManager>(false);
        m_hooks->setKeyboardCallback(forwardKey, m_view.get());
        m_hooks->setMouseCallback(forwardButton, m_view.get());
    }

private slots:
    void cleanup()
    {
        m_hooks.reset();
        m_view.reset();
    }

    void focusFallback()
    {
        if (QGuiApplication::platformName() == QLatin1String("xcb"))
            QSKIP("X11 with RECORD captures the whole display; the fallback is not used");
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("captured only while the window has the focus"));
        buildScene();
        QWindow *window = m_view->windowHandle();

        // X keycodes: a = 38, KP_Enter = 104. A held key repeats as
        // release/press pairs marked as auto-repeat.
        sendKey(window, QEvent::KeyPress, Qt::Key_A, 38);
        sendKey(window, QEvent::KeyRelease, Qt::Key_A, 38, true);
        sendKey(window, QEvent::KeyPress, Qt::Key_A, 38, true);
        sendKey(window, QEvent::KeyRelease, Qt::Key_A, 38);
        sendKey(window, QEvent::KeyPress, Qt::Key_Enter, 104);
        sendKey(window, QEvent::KeyRelease, Qt::Key_Enter, 104);
        // Qt's offscreen keys carry no native code: nothing to translate.
        QTest::keyClick(window, Qt::Key_B);

        const QPoint at(40, 30);
        const QPoint global = window->mapToGlobal(at);
        QTest::mouseClick(window, Qt::LeftButton, {}, at);
        QTest::mouseClick(window, Qt::RightButton, {}, at);
        QTest::mouseClick(window, Qt::MiddleButton, {}, at);
        QTest::mouseClick(window, Qt::BackButton, {}, at);

        const QStringList keys = {"down 04", "up 04", "down 58", "up 58"};
        QTRY_COMPARE(sceneEvents(*m_view, "keyboardEvents"), keys);
        const QString pos = QStringLiteral(" @%1,%2").arg(global.x()).arg(global.y());
        const QStringList buttons = {"down f0" + pos, "up f0" + pos, "down f1" + pos,
                                     "up f1" + pos, "down f2" + pos, "up f2" + pos};
        QTRY_COMPARE(sceneEvents(*m_view, "mouseEvents"), buttons);

        // Once removed, nothing more is captured.
        m_hooks->removeHooks();
        sendKey(window, QEvent::KeyPress, Qt::Key_A, 38);
        QTest::qWait(50);
        QCOMPARE(sceneEvents(*m_view, "keyboardEvents"), keys);
    }

    void recordCapture()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server with RECORD; tests/e2e/test_capture.sh runs it under Xvfb");
        const QString xdotool = QStandardPaths::findExecutable(QStringLiteral("xdotool"));
        const QString xev = QStandardPaths::findExecutable(QStringLiteral("xev"));
        if (xdotool.isEmpty() || xev.isEmpty())
            QFAIL("xdotool and xev (x11-utils) are needed");
        buildScene();

        // Another client's window, under the pointer, has the focus.
        QProcess other;
        other.start(QStringLiteral("stdbuf"), {"-oL", xev, "-geometry", "200x200+500+300"});
        QVERIFY(other.waitForStarted());
        auto stopOther = qScopeGuard([&other] {
            other.terminate();
            other.waitForFinished(5000);
        });
        QByteArray seen;
        auto otherOutput = [&] { return seen += other.readAllStandardOutput(); };
        auto run = [&](const QStringList &args) {
            QProcess p;
            p.start(xdotool, args);
            return p.waitForFinished(10000) && p.exitCode() == 0;
        };
        QVERIFY(run({"search", "--sync", "--name", "Event Tester"}));
        QVERIFY(run({"mousemove", "--sync", "600", "400"}));
        QTRY_VERIFY(otherOutput().contains("EnterNotify"));

        QVERIFY(run({"key", "a", "KP_Enter", "Pause", "Shift_L"}));
        QVERIFY(run({"click", "1"}));
        QVERIFY(run({"click", "3"}));
        QVERIFY(run({"click", "2"}));
        // A held key: the server repeats it, the scene sees it once.
        QVERIFY(run({"keydown", "b", "sleep", "0.8", "keyup", "b"}));

        const QStringList keys = {"down 04", "up 04", "down 58", "up 58", "down 48", "up 48",
                                  "down e1", "up e1", "down 05", "up 05"};
        QTRY_COMPARE(sceneEvents(*m_view, "keyboardEvents"), keys);
        const QStringList buttons = {"down f0 @600,400", "up f0 @600,400", "down f1 @600,400",
                                     "up f1 @600,400", "down f2 @600,400", "up f2 @600,400"};
        QTRY_COMPARE(sceneEvents(*m_view, "mouseEvents"), buttons);

        // The keys went to the other window, not to ours.
        QTRY_VERIFY2(otherOutput().contains("keycode 38"), seen.right(2000).constData());
        QVERIFY(seen.contains("ButtonPress event"));
    }
};

QTEST_MAIN(TestHostCapture)
#include "tst_host_capture.moc"

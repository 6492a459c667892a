// The scene calls the back end by name, so the contract is checked the same
// way: through the meta-object system, never through C++ symbols.
#include "app/ProgramProfiles.h"
#include "app/Widget.h"
#include "app/Ui_Controler.h"
#include "app/myQQuickView.h"
#include "support/DataFolder.h"

#include <QMetaMethod>
#include <QQmlContext>
#include <QQuickItem>
#include <QSignalSpy>
#include <QScreen>
#include <QtTest>

namespace {

struct SlotRow {
    const char *name;
    const char *result;
    const char *types;
    const char *names;
};

// The slot table of the scene contract, in declaration order.
const SlotRow contract[] = {
        {"clearHidBusy", "void", "", ""},
        {"initUI", "void", "", ""},
        {"runUI", "void", "", ""},
        {"resetApconfig", "void", "", ""},
        {"loadMacroFile", "bool", "QVariant", "macroFileName"},
        {"saveMacroFile", "void", "QVariant", "macroFileName"},
        {"loadProfile", "bool", "int", "profile"},
        {"saveProfile", "void", "int", "profile"},
        {"resetProfile", "void", "int", "profile"},
        {"copyProfile", "void", "int,int", "destprofile,srcprofile"},
        {"getLangStrings", "QStringList", "QString,QString", "typeStr,langCode"},
        {"createMacroIni", "QVariant", "QVariant,QVariant", "name,macroIndex"},
        {"updataNameList", "QVariant", "QVariant,QStringList", "type,nameList"},
        {"modifyMacroNameUpdateProfile", "QVariant", "QVariant,QVariant", "oldname,newname"},
        {"deleteMacroUpdateProfile", "void", "QVariant", "macroName"},
        {"deleteMacroIni", "QVariant", "QVariant", "name"},
        {"getNameList", "QVariantList", "QVariant", "type"},
        {"saveMacroIni", "QVariant", "QVariant,QStringList,QVariant", "name,macros,repeat"},
        {"mouseSendMacroData", "QVariant", "QVariantList,QVariant", "macroData,macroIndex"},
        {"loadMacroIni", "QStringList", "QVariant", "name"},
        {"mouseSaveGundata", "void", "QVariant,QVariantList", "index,src6"},
        {"mouseSendGundata", "void", "int,QVariantList", ","},
        {"modifyGundata", "void", "QVariant,QVariantList", "modifyType,src6"},
        {"getGunData", "QVariantList", "QVariant", "name"},
        {"getGunDataKey", "QStringList", "", ""},
        {"getXYSensitive", "QVariant", "QVariant", "index"},
        {"getselectGun", "QVariant", "QVariant", "index"},
        {"setXYSensitive", "void", "QVariant,QVariant", "index,xyData"},
        {"setSelectGun", "void", "QVariant,QVariant", "index,xyData"},
        {"setCurrentProfile", "void", "int", "profile"},
        {"mouseSetKeyboardoption", "void", "uchar,uchar,uchar,uchar", "byte1,byte2,byte3,byte4"},
        {"mouseSetReportRate", "void", "uchar", "rate"},
        {"mouseSetLod", "void", "uchar,uchar", "rate,en"},
        {"mouseSetCurrentDPI", "void", "uchar", "currentDPI"},
        {"mouseResetKeyMatrix", "void", "", ""},
        {"mouseGetCurrentDPI", "QVariant", "", ""},
        {"mouseGetRight", "void", "", ""},
        {"mouseSetKeyMatrix", "void", "QVariantList,bool,QVariantList", "src64,isSendData,otherParam"},
        {"mouseSetMaxDpi", "void", "int", "dpiCount"},
        {"mouseSetDpi", "void", "int,QString,QVariantList", "dpiCount,sensorType,dpiValueArray"},
        {"mouseSetRGBEffect", "void", "uchar,uchar,uchar", "effect,option1,option2"},
        {"mouseSetRGBColor", "void", "uchar,QVariantList", "type,src24"},
        {"mouseSetProfile", "void", "uint", "profileNo"},
        {"mouseReadProfile", "void", "uint", "profileNo"},
        {"mouseReadCurrentProfile", "QVariant", "", ""},
        {"mouseSwitchKeyMatrix", "void", "int", "indexNo"},
        {"GetKeyboardoption", "QVariantList", "", ""},
        {"mouseSetCursorSpeed", "void", "uint", "cursorSpeed"},
        {"mouseSetVerticalScrollLines", "void", "uint", "lines"},
        {"mouseSetDoubleClickSpeed", "void", "uint", "speed"},
        {"mouseGetKeydefine", "QVariantList", "QVariant,bool", "index,"},
        {"openUpdateExe", "void", "", ""},
        {"getData", "QVariant", "QVariant,bool", "key,isRecovery"},
        {"getGlobalData", "QVariant", "QVariant", "key"},
        {"getDataList", "QVariantList", "QVariant,bool", "key,isRecovery"},
        {"setData", "void", "QVariant,QVariant", "key,data"},
        {"setGlobalData", "void", "QVariant,QVariant", "key,tmpdata"},
        {"setDataList", "void", "QVariant,QVariantList", "key,datalist"},
        {"setBusy", "void", "int", "busyTime"},
        {"setCurrentDPI", "void", "int", "dpiValue"},};

QObject *sceneChild(myQQuickView *view, const char *name)
{
    return view->rootObject()->findChild<QObject *>(QLatin1String(name));
}

} // namespace

class tst_Contract : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void slotsMatchTheContractInOrder();
    void contextPropertiesArePublished();
    void rootFunctionsUseTheirCallKind();
    void windowControl();

private:
    std::unique_ptr<DataFolder> data;
    std::unique_ptr<Widget> window;
};

void tst_Contract::initTestCase()
{
    data = std::make_unique<DataFolder>();
    window = std::make_unique<Widget>();
    QVERIFY(window->view());
    QVERIFY2(window->view()->rootObject(), "the scene did not load");
}

void tst_Contract::slotsMatchTheContractInOrder()
{
    const QMetaObject *mo = &myQQuickView::staticMetaObject;
    QList<QMetaMethod> own;
    for (int i = mo->methodOffset(); i < mo->methodCount(); ++i) {
        const QMetaMethod m = mo->method(i);
        if (m.methodType() == QMetaMethod::Slot && m.access() == QMetaMethod::Public)
            own.append(m);
    }
    QCOMPARE(own.size(), int(std::size(contract)));
    for (int i = 0; i < own.size(); ++i) {
        const QMetaMethod &m = own.at(i);
        const SlotRow &row = contract[i];
        QCOMPARE(m.name(), QByteArray(row.name));
        QCOMPARE(QByteArray(m.typeName()), QByteArray(row.result));
        QCOMPARE(m.parameterTypes().join(','), QByteArray(row.types));
        QCOMPARE(m.parameterNames().join(','), QByteArray(row.names));
    }
    // The scene also blocks its own input through the inherited slot.
    QVERIFY(mo->indexOfSlot("setEnabled(bool)") >= 0);
}

void tst_Contract::contextPropertiesArePublished()
{
    QQmlContext *ctx = window->view()->rootContext();
    QCOMPARE(ctx->contextProperty("ui_View").value<QObject *>(), window->view());
    QCOMPARE(ctx->contextProperty("hid").value<QObject *>(), &window->hid);
    QCOMPARE(ctx->contextProperty("ui_Ctl").value<QObject *>(), window->ctl);
    QCOMPARE(ctx->contextProperty("programProfiles").value<QObject *>(),
             static_cast<QObject *>(window->ctl->programProfiles));
}

void tst_Contract::rootFunctionsUseTheirCallKind()
{
    myQQuickView *view = window->view();
    QQuickItem *root = view->rootObject();
    QObject *safetyTimer = sceneChild(view, "safetyTimer");
    QObject *dpiScreen = sceneChild(view, "dpiSettingMain");
    QVERIFY(safetyTimer && dpiScreen);

    // initUI and run are queued: nothing happens before the event loop turns.
    QVERIFY(!root->isVisible());
    QVERIFY(QMetaObject::invokeMethod(view, "initUI"));
    QVERIFY(QMetaObject::invokeMethod(view, "runUI"));
    QVERIFY(!root->property("isPownOn").toBool());
    QVERIFY(!safetyTimer->property("running").toBool());
    QTRY_VERIFY(root->property("isPownOn").toBool());
    QVERIFY(root->isVisible());
    QVERIFY(safetyTimer->property("running").toBool());

    // setBusy and setCurrentDPI are direct: done when the slot returns.
    QTRY_VERIFY(view->isEnabled());
    QVERIFY(QMetaObject::invokeMethod(view, "setBusy", Q_ARG(int, 1500)));
    QVERIFY(!view->isEnabled());
    QVERIFY(QMetaObject::invokeMethod(view, "setCurrentDPI", Q_ARG(int, 5)));
    QCOMPARE(dpiScreen->property("currentDpi").toInt(), 4);
    // Stage 0 is ignored by the scene.
    QVERIFY(QMetaObject::invokeMethod(view, "setCurrentDPI", Q_ARG(int, 0)));
    QCOMPARE(dpiScreen->property("currentDpi").toInt(), 4);

    // ui_Ctl.setBusy() without argument protects for 0 ms: input comes back
    // on the next timer turn.
    QVERIFY(QMetaObject::invokeMethod(window->ctl, "setBusy"));
    QVERIFY(!view->isEnabled());
    QTRY_VERIFY(view->isEnabled());

    // Recorded keys are queued to the scene, in order.
    QSignalSpy keys(root, SIGNAL(msg_KB(bool, int)));
    view->detectKeyboard(true, 0x04);
    view->detectKeyboard(false, 0x04);
    view->detectMouse(true, 0xF0, 10, 20);
    QCOMPARE(keys.size(), 0);
    QTRY_COMPARE(keys.size(), 2);
    QCOMPARE(keys.at(0), (QVariantList{true, 0x04}));
    QCOMPARE(keys.at(1), (QVariantList{false, 0x04}));
}

void tst_Contract::windowControl()
{
    Widget &w = *window;
    w.move(100, 100);
    w.show();
    QVERIFY(QMetaObject::invokeMethod(w.ctl, "onXChanged", Q_ARG(int, 15)));
    QVERIFY(QMetaObject::invokeMethod(w.ctl, "onYChanged", Q_ARG(int, -7)));
    // The window is the scene scaled to fit its screen (the offscreen screen
    // is smaller than the scene), and moves in scene pixels scale with it.
    const qreal s = Ui_Controler::sceneScale(w.screen()->availableGeometry().size(), QSize(1024, 640));
    QCOMPARE(w.pos(), QPoint(100 + qRound(15 * s), 100 + qRound(-7 * s)));
    QCOMPARE(w.size(), QSize(int(1024 * s), int(640 * s)));
    QCOMPARE(w.windowTitle(), QStringLiteral("ZORVANT KELDA MOUSE X7"));

    // A null window makes every window slot a no-op rather than a crash.
    Ui_Controler detached(nullptr);
    detached.onMinimize();
    detached.onClose();
    detached.onXChanged(3);
    detached.setBusy();
}

QTEST_MAIN(tst_Contract)
#include "tst_contract.moc"

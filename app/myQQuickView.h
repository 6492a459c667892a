#pragma once

#include <QByteArray>
#include <QList>
#include <QQuickWidget>
#include <QSettings>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>

#include <array>

#include "store/SettingsStore.h"

class Hid_Thread;

// The view that hosts the scene and the back end the scene talks to.
// Its public slots are the scene contract: names, parameter types, parameter
// names and result types are fixed, because the scene calls them by name.
class myQQuickView : public QQuickWidget
{
    Q_OBJECT
public:
    explicit myQQuickView(QWidget *parent = nullptr, const QString &dataRoot = QStringLiteral("."));
    ~myQQuickView() override;

    void setHidThread(Hid_Thread *hid) { m_hid = hid; }
    Hid_Thread *hidThread() const { return m_hid; }

    // Device-kind flags, read once from the global store at construction.
    QString icType;
    bool isColorful = false;
    bool isGun = false;
    bool is55328 = false;

    // The settings stores held for the view's lifetime, with the slot that
    // the profile-scoped data keys refer to (0..9).
    SettingsStore store;
    int currentProfileIndex() const { return store.currentProfileIndex; }

    // Alternate key layer reported by the mouse (read loop).
    bool altKeyLayer = false;

    // Device profile image of the 560 family: five 128-byte blocks.
    QByteArray deviceProfileImage = QByteArray(5 * 128, '\0');
    // Which blocks of the image hold what the connected mouse sent. A block
    // goes out whole, so one never read would overwrite the mouse's own
    // bytes with zeros: it is read before its first write, or not written.
    std::array<bool, 5> deviceBlockRead{};

    // Root functions of the scene, as the back end calls them.
    // The scene shows a "not connected" notice while no device is connected.
    void setDeviceConnected(bool connected);
    void detectKeyboard(bool isDown, int usbCode);
    void detectMouse(bool isDown, int code, int x, int y);

public slots:
    void clearHidBusy();
    void initUI();
    void runUI();
    void resetApconfig();
    bool loadMacroFile(QVariant macroFileName);
    void saveMacroFile(QVariant macroFileName);
    bool loadProfile(int profile);
    void saveProfile(int profile);
    void resetProfile(int profile);
    void copyProfile(int destprofile, int srcprofile);
    QStringList getLangStrings(QString typeStr, QString langCode);
    QVariant createMacroIni(QVariant name, QVariant macroIndex);
    QVariant updataNameList(QVariant type, QStringList nameList);
    QVariant modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname);
    void deleteMacroUpdateProfile(QVariant macroName);
    QVariant deleteMacroIni(QVariant name);
    QVariantList getNameList(QVariant type);
    QVariant saveMacroIni(QVariant name, QStringList macros, QVariant repeat);
    QVariant mouseSendMacroData(QVariantList macroData, QVariant macroIndex);
    QStringList loadMacroIni(QVariant name);
    void mouseSaveGundata(QVariant index, QVariantList src6);
    void mouseSendGundata(int, QVariantList);
    void modifyGundata(QVariant modifyType, QVariantList src6);
    QVariantList getGunData(QVariant name);
    QStringList getGunDataKey();
    QVariant getXYSensitive(QVariant index);
    QVariant getselectGun(QVariant index);
    void setXYSensitive(QVariant index, QVariant xyData);
    void setSelectGun(QVariant index, QVariant xyData);
    void setCurrentProfile(int profile);
    void mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    void mouseSetReportRate(uchar rate);
    void mouseSetLod(uchar rate, uchar en);
    void mouseSetCurrentDPI(uchar currentDPI);
    void mouseResetKeyMatrix();
    QVariant mouseGetCurrentDPI();
    void mouseGetRight();
    void mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam);
    void mouseSetMaxDpi(int dpiCount);
    void mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray);
    void mouseSetRGBEffect(uchar effect, uchar option1, uchar option2);
    void mouseSetRGBColor(uchar type, QVariantList src24);
    void mouseSetProfile(uint profileNo);
    void mouseReadProfile(uint profileNo);
    QVariant mouseReadCurrentProfile();
    void mouseSwitchKeyMatrix(int indexNo);
    QVariantList GetKeyboardoption();
    void mouseSetCursorSpeed(uint cursorSpeed);
    void mouseSetVerticalScrollLines(uint lines);
    void mouseSetDoubleClickSpeed(uint speed);
    QVariantList mouseGetKeydefine(QVariant index, bool);
    void openUpdateExe();
    QVariant getData(QVariant key, bool isRecovery);
    QVariant getGlobalData(QVariant key);
    QVariantList getDataList(QVariant key, bool isRecovery);
    void setData(QVariant key, QVariant data);
    void setGlobalData(QVariant key, QVariant tmpdata);
    void setDataList(QVariant key, QVariantList datalist);
    void setBusy(int busyTime);
    void setCurrentDPI(int dpiValue);

public:
    // What becomes of a pointer setting on this desktop, in a few words for
    // the system settings (0 pointer speed, 1 double-click time, 2 wheel
    // scroll lines); empty where the desktop takes it.
    Q_INVOKABLE QString pointerNote(int setting) const;

    // Calls a function of the scene's root item by name, each argument as a
    // QVariant; a missing root or function does nothing beyond Qt's warning.
    void invokeRoot(const char *function, Qt::ConnectionType type,
                    const QVariantList &args = {});

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    // True when block n may be sent: read at connect, or read now. Logs and
    // returns false when the mouse does not hand the block over.
    bool deviceBlockReady(int n);

    Hid_Thread *m_hid = nullptr;
};

// Device operations: values the user edits become command bytes.
#include "app/myQQuickView.h"

void myQQuickView::mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray)
{
    Q_UNUSED(dpiCount);
    Q_UNUSED(sensorType);
    Q_UNUSED(dpiValueArray);
    notAvailableYet("mouseSetDpi");
}

void myQQuickView::mouseSetCurrentDPI(uchar currentDPI)
{
    Q_UNUSED(currentDPI);
    notAvailableYet("mouseSetCurrentDPI");
}

QVariant myQQuickView::mouseGetCurrentDPI()
{
    notAvailableYet("mouseGetCurrentDPI");
    return {};
}

void myQQuickView::mouseSetMaxDpi(int dpiCount)
{
    Q_UNUSED(dpiCount);
    notAvailableYet("mouseSetMaxDpi");
}

void myQQuickView::mouseSetKeyMatrix(QVariantList src64, bool isSendData, QVariantList otherParam)
{
    Q_UNUSED(src64);
    Q_UNUSED(isSendData);
    Q_UNUSED(otherParam);
    notAvailableYet("mouseSetKeyMatrix");
}

QVariantList myQQuickView::mouseGetKeydefine(QVariant index, bool)
{
    Q_UNUSED(index);
    notAvailableYet("mouseGetKeydefine");
    return {};
}

void myQQuickView::mouseResetKeyMatrix()
{
    notAvailableYet("mouseResetKeyMatrix");
}

void myQQuickView::mouseSwitchKeyMatrix(int indexNo)
{
    Q_UNUSED(indexNo);
    notAvailableYet("mouseSwitchKeyMatrix");
}

void myQQuickView::mouseGetRight()
{
    notAvailableYet("mouseGetRight");
}

QVariant myQQuickView::mouseSendMacroData(QVariantList macroData, QVariant macroIndex)
{
    Q_UNUSED(macroData);
    Q_UNUSED(macroIndex);
    notAvailableYet("mouseSendMacroData");
    return {};
}

void myQQuickView::mouseSetRGBEffect(uchar effect, uchar option1, uchar option2)
{
    Q_UNUSED(effect);
    Q_UNUSED(option1);
    Q_UNUSED(option2);
    notAvailableYet("mouseSetRGBEffect");
}

void myQQuickView::mouseSetRGBColor(uchar type, QVariantList src24)
{
    Q_UNUSED(type);
    Q_UNUSED(src24);
    notAvailableYet("mouseSetRGBColor");
}

void myQQuickView::mouseSetReportRate(uchar rate)
{
    Q_UNUSED(rate);
    notAvailableYet("mouseSetReportRate");
}

void myQQuickView::mouseSetLod(uchar rate, uchar en)
{
    Q_UNUSED(rate);
    Q_UNUSED(en);
    notAvailableYet("mouseSetLod");
}

void myQQuickView::mouseSetProfile(uint profileNo)
{
    Q_UNUSED(profileNo);
    notAvailableYet("mouseSetProfile");
}

void myQQuickView::mouseReadProfile(uint profileNo)
{
    Q_UNUSED(profileNo);
    notAvailableYet("mouseReadProfile");
}

QVariant myQQuickView::mouseReadCurrentProfile()
{
    notAvailableYet("mouseReadCurrentProfile");
    return {};
}

void myQQuickView::mouseSetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    Q_UNUSED(byte1);
    Q_UNUSED(byte2);
    Q_UNUSED(byte3);
    Q_UNUSED(byte4);
    notAvailableYet("mouseSetKeyboardoption");
}

QVariantList myQQuickView::GetKeyboardoption()
{
    notAvailableYet("GetKeyboardoption");
    return {};
}

void myQQuickView::mouseSendGundata(int, QVariantList)
{
    notAvailableYet("mouseSendGundata");
}

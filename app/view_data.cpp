// Data files: profiles, name lists, macro files, gun data and language strings.
#include "app/myQQuickView.h"

void myQQuickView::setCurrentProfile(int profile)
{
    Q_UNUSED(profile);
    notAvailableYet("setCurrentProfile");
}

void myQQuickView::saveProfile(int profile)
{
    Q_UNUSED(profile);
    notAvailableYet("saveProfile");
}

bool myQQuickView::loadProfile(int profile)
{
    Q_UNUSED(profile);
    notAvailableYet("loadProfile");
    return {};
}

void myQQuickView::resetProfile(int profile)
{
    Q_UNUSED(profile);
    notAvailableYet("resetProfile");
}

void myQQuickView::copyProfile(int destprofile, int srcprofile)
{
    Q_UNUSED(destprofile);
    Q_UNUSED(srcprofile);
    notAvailableYet("copyProfile");
}

QVariant myQQuickView::updataNameList(QVariant type, QStringList nameList)
{
    Q_UNUSED(type);
    Q_UNUSED(nameList);
    notAvailableYet("updataNameList");
    return {};
}

QVariantList myQQuickView::getNameList(QVariant type)
{
    Q_UNUSED(type);
    notAvailableYet("getNameList");
    return {};
}

QVariant myQQuickView::createMacroIni(QVariant name, QVariant macroIndex)
{
    Q_UNUSED(name);
    Q_UNUSED(macroIndex);
    notAvailableYet("createMacroIni");
    return {};
}

QVariant myQQuickView::saveMacroIni(QVariant name, QStringList macros, QVariant repeat)
{
    Q_UNUSED(name);
    Q_UNUSED(macros);
    Q_UNUSED(repeat);
    notAvailableYet("saveMacroIni");
    return {};
}

QStringList myQQuickView::loadMacroIni(QVariant name)
{
    Q_UNUSED(name);
    notAvailableYet("loadMacroIni");
    return {};
}

QVariant myQQuickView::deleteMacroIni(QVariant name)
{
    Q_UNUSED(name);
    notAvailableYet("deleteMacroIni");
    return {};
}

QVariant myQQuickView::modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname)
{
    Q_UNUSED(oldname);
    Q_UNUSED(newname);
    notAvailableYet("modifyMacroNameUpdateProfile");
    return {};
}

void myQQuickView::deleteMacroUpdateProfile(QVariant macroName)
{
    Q_UNUSED(macroName);
    notAvailableYet("deleteMacroUpdateProfile");
}

bool myQQuickView::loadMacroFile(QVariant macroFileName)
{
    Q_UNUSED(macroFileName);
    notAvailableYet("loadMacroFile");
    return {};
}

void myQQuickView::saveMacroFile(QVariant macroFileName)
{
    Q_UNUSED(macroFileName);
    notAvailableYet("saveMacroFile");
}

void myQQuickView::mouseSaveGundata(QVariant index, QVariantList src6)
{
    Q_UNUSED(index);
    Q_UNUSED(src6);
    notAvailableYet("mouseSaveGundata");
}

void myQQuickView::modifyGundata(QVariant modifyType, QVariantList src6)
{
    Q_UNUSED(modifyType);
    Q_UNUSED(src6);
    notAvailableYet("modifyGundata");
}

QVariantList myQQuickView::getGunData(QVariant name)
{
    Q_UNUSED(name);
    notAvailableYet("getGunData");
    return {};
}

QStringList myQQuickView::getGunDataKey()
{
    notAvailableYet("getGunDataKey");
    return {};
}

QVariant myQQuickView::getXYSensitive(QVariant index)
{
    Q_UNUSED(index);
    notAvailableYet("getXYSensitive");
    return {};
}

void myQQuickView::setXYSensitive(QVariant index, QVariant xyData)
{
    Q_UNUSED(index);
    Q_UNUSED(xyData);
    notAvailableYet("setXYSensitive");
}

QVariant myQQuickView::getselectGun(QVariant index)
{
    Q_UNUSED(index);
    notAvailableYet("getselectGun");
    return {};
}

void myQQuickView::setSelectGun(QVariant index, QVariant xyData)
{
    Q_UNUSED(index);
    Q_UNUSED(xyData);
    notAvailableYet("setSelectGun");
}

QStringList myQQuickView::getLangStrings(QString typeStr, QString langCode)
{
    Q_UNUSED(typeStr);
    Q_UNUSED(langCode);
    notAvailableYet("getLangStrings");
    return {};
}

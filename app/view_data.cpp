// Data files: profiles, name lists, macro files, gun data and language
// strings. The logic lives in the store classes; the view forwards to them and
// sends the two device commands that go with profile and weapon changes.
#include "app/myQQuickView.h"

#include "app/DialogFileChooser.h"
#include "device/Hid_Thread.h"
#include "ops/Family.h"
#include "store/GunData.h"
#include "store/LanguageStrings.h"
#include "store/MacroFiles.h"
#include "store/NameLists.h"
#include "store/Profiles.h"

namespace {

// Runs op with the installed chooser, or with the file dialogs over view.
template<typename Op>
auto withChooser(QWidget *view, Op op)
{
    DialogFileChooser dialogs(view);
    FileChooser *installed = FileChooser::installed();
    return op(installed ? *installed : static_cast<FileChooser &>(dialogs));
}

} // namespace

// ---- profiles ----

void myQQuickView::setCurrentProfile(int profile)
{
    if (!Profiles(store).select(profile))
        return;
    if (!m_hid)
        return;
    // The same command report for both families; the 553 firmware needs its
    // 128 ms settle after it, the 560 firmware 8 ms.
    if (familyOf(icType) == Family::Hid553)
        m_hid->hid553_02H_SetCurrentKeyMatrix(uchar(profile + 1));
    else
        m_hid->hid560_02H_SetCurrentProfile(uchar(profile + 1));
}

void myQQuickView::saveProfile(int profile)
{
    withChooser(this, [&](FileChooser &c) { return Profiles(store).exportTo(profile, c); });
}

bool myQQuickView::loadProfile(int profile)
{
    return withChooser(this, [&](FileChooser &c) { return Profiles(store).importFrom(profile, c); });
}

void myQQuickView::resetProfile(int profile)
{
    Profiles(store).reset(profile);
    // The factory settings that follow go out whole, whatever the mouse holds.
    if (m_hid)
        m_hid->mirror.forgetAll();
}

void myQQuickView::copyProfile(int destprofile, int srcprofile)
{
    Profiles(store).copy(destprofile, srcprofile);
}

// ---- name lists ----

QVariant myQQuickView::updataNameList(QVariant type, QStringList nameList)
{
    return NameLists(store.dataRoot()).update(type, nameList);
}

QVariantList myQQuickView::getNameList(QVariant type)
{
    return NameLists(store.dataRoot()).get(type);
}

// ---- macro files ----

QVariant myQQuickView::createMacroIni(QVariant name, QVariant macroIndex)
{
    return MacroFiles(store).create(name.toString(), macroIndex);
}

QVariant myQQuickView::saveMacroIni(QVariant name, QStringList macros, QVariant repeat)
{
    return MacroFiles(store).save(name.toString(), macros, repeat);
}

QStringList myQQuickView::loadMacroIni(QVariant name)
{
    return MacroFiles(store).load(name.toString());
}

QVariant myQQuickView::deleteMacroIni(QVariant name)
{
    return MacroFiles(store).remove(name.toString());
}

QVariant myQQuickView::modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname)
{
    return MacroFiles(store).rename(oldname.toString(), newname.toString());
}

void myQQuickView::deleteMacroUpdateProfile(QVariant macroName)
{
    MacroFiles(store).unbind(macroName.toString());
}

bool myQQuickView::loadMacroFile(QVariant macroFileName)
{
    return withChooser(this, [&](FileChooser &c) {
        return MacroFiles(store).importFrom(macroFileName.toString(), c);
    });
}

void myQQuickView::saveMacroFile(QVariant macroFileName)
{
    withChooser(this, [&](FileChooser &c) {
        return MacroFiles(store).exportTo(macroFileName.toString(), c);
    });
}

// ---- gun data ----

void myQQuickView::mouseSaveGundata(QVariant index, QVariantList src6)
{
    GunData::Command bytes{};
    if (!GunData(store).save(index, src6, &bytes))
        return;
    if (m_hid)
        m_hid->hid553_04H_SetGunData(bytes[0], bytes[1], bytes[2], bytes[3]);
}

void myQQuickView::modifyGundata(QVariant modifyType, QVariantList src6)
{
    GunData(store).modify(modifyType, src6);
}

QVariantList myQQuickView::getGunData(QVariant name)
{
    return GunData(store).entry(name);
}

QStringList myQQuickView::getGunDataKey()
{
    return GunData(store).keys();
}

QVariant myQQuickView::getXYSensitive(QVariant index)
{
    return GunData(store).xySensitive(index);
}

void myQQuickView::setXYSensitive(QVariant index, QVariant xyData)
{
    GunData(store).setXYSensitive(index, xyData);
}

QVariant myQQuickView::getselectGun(QVariant index)
{
    return GunData(store).selectGun(index);
}

void myQQuickView::setSelectGun(QVariant index, QVariant xyData)
{
    GunData(store).setSelectGun(index, xyData);
}

// ---- language strings ----

QStringList myQQuickView::getLangStrings(QString typeStr, QString langCode)
{
    return LanguageStrings(store.dataRoot()).load(typeStr, langCode);
}

import QtQuick

// Stand-ins for the objects the program publishes to the scene: `view`
// answers as ui_View (the slots of the scene contract, plus setEnabled;
// GetKeyboardoption is missing because a QML method name cannot start with
// a capital, and the scene does not call it)
// and `ctl` as ui_Ctl. A test file makes them reachable under those names:
//
//     readonly property QtObject ui_View: backEnd.view
//     readonly property QtObject ui_Ctl: backEnd.ctl
//     FakeBackEnd { id: backEnd }
//
// and creates the scene with Qt.createComponent(...).createObject(...) from
// that file, so the scene's lookups of ui_View and ui_Ctl find them.
// Every call is recorded in `calls` as [name, arg, ...]; answers come from
// the maps below, which a test fills before it runs the scene.
QtObject {
    id: fake

    property var calls: []
    property var globalData: ({})      // getGlobalData / setGlobalData
    property var profileData: ({})     // getData / setData / getDataList / setDataList
    property var factoryData: ({})     // getData(key, true)
    property var langGroups: ({})      // getLangStrings(group, ...)
    property var keyDefines: ({})      // mouseGetKeydefine(index, false)
    property var factoryKeyDefines: ({}) // mouseGetKeydefine(index, true)
    property var nameLists: ({})       // getNameList(type)
    property var macros: ({})          // loadMacroIni(name)
    property var currentDpi: 3         // mouseGetCurrentDPI()
    property bool enabled: true        // last setEnabled

    function record(name, args) {
        var call = [name]
        for (var i = 0; i < args.length; ++i)
            call.push(args[i])
        calls.push(call)
    }

    function reset() {
        calls = []
    }

    function names() {
        return calls.map((c) => c[0])
    }

    function callsOf(name) {
        return calls.filter((c) => c[0] === name)
    }

    // Index of the first call of `name` at or after position `from`, or -1.
    function indexOf(name, from) {
        for (var i = from || 0; i < calls.length; ++i) {
            if (calls[i][0] === name)
                return i
        }
        return -1
    }

    property QtObject view: QtObject {
        function setEnabled(enable) { fake.record("setEnabled", arguments); fake.enabled = enable }

        function clearHidBusy() { fake.record("clearHidBusy", arguments) }
        function initUI() { fake.record("initUI", arguments) }
        function runUI() { fake.record("runUI", arguments) }
        function resetApconfig() { fake.record("resetApconfig", arguments) }
        function loadMacroFile(macroFileName) { fake.record("loadMacroFile", arguments); return false }
        function saveMacroFile(macroFileName) { fake.record("saveMacroFile", arguments) }
        function loadProfile(profile) { fake.record("loadProfile", arguments); return false }
        function saveProfile(profile) { fake.record("saveProfile", arguments) }
        function resetProfile(profile) { fake.record("resetProfile", arguments) }
        function copyProfile(destprofile, srcprofile) { fake.record("copyProfile", arguments) }
        function getLangStrings(typeStr, langCode) {
            fake.record("getLangStrings", arguments)
            return fake.langGroups[typeStr] || []
        }
        function createMacroIni(name, macroIndex) { fake.record("createMacroIni", arguments); return true }
        function updataNameList(type, nameList) {
            fake.record("updataNameList", arguments)
            fake.nameLists[type] = nameList
            return true
        }
        function modifyMacroNameUpdateProfile(oldname, newname) {
            fake.record("modifyMacroNameUpdateProfile", arguments)
            return true
        }
        function deleteMacroUpdateProfile(macroName) { fake.record("deleteMacroUpdateProfile", arguments) }
        function deleteMacroIni(name) { fake.record("deleteMacroIni", arguments); return true }
        function getNameList(type) {
            fake.record("getNameList", arguments)
            return fake.nameLists[type] || []
        }
        function saveMacroIni(name, macros, repeat) {
            fake.record("saveMacroIni", arguments)
            // loadMacroIni gives the steps followed by the repeat count, as the file does.
            fake.macros[name] = macros.concat([String(repeat)])
            return true
        }
        function mouseSendMacroData(macroData, macroIndex) {
            fake.record("mouseSendMacroData", arguments)
            return true
        }
        function loadMacroIni(name) {
            fake.record("loadMacroIni", arguments)
            return fake.macros[name] || []
        }
        function mouseSaveGundata(index, src6) { fake.record("mouseSaveGundata", arguments) }
        function mouseSendGundata(index, src) { fake.record("mouseSendGundata", arguments) }
        function modifyGundata(modifyType, src6) { fake.record("modifyGundata", arguments) }
        function getGunData(name) { fake.record("getGunData", arguments); return [] }
        function getGunDataKey() { fake.record("getGunDataKey", arguments); return [] }
        function getXYSensitive(index) { fake.record("getXYSensitive", arguments); return 0 }
        function getselectGun(index) { fake.record("getselectGun", arguments); return 0 }
        function setXYSensitive(index, xyData) { fake.record("setXYSensitive", arguments) }
        function setSelectGun(index, xyData) { fake.record("setSelectGun", arguments) }
        function setCurrentProfile(profile) { fake.record("setCurrentProfile", arguments) }
        function mouseSetKeyboardoption(byte1, byte2, byte3, byte4) {
            fake.record("mouseSetKeyboardoption", arguments)
        }
        function mouseSetReportRate(rate) { fake.record("mouseSetReportRate", arguments) }
        function mouseSetLod(rate, en) { fake.record("mouseSetLod", arguments) }
        function mouseSetCurrentDPI(currentDPI) { fake.record("mouseSetCurrentDPI", arguments) }
        function mouseResetKeyMatrix() { fake.record("mouseResetKeyMatrix", arguments) }
        function mouseGetCurrentDPI() { fake.record("mouseGetCurrentDPI", arguments); return fake.currentDpi }
        function mouseGetRight() { fake.record("mouseGetRight", arguments) }
        function mouseSetKeyMatrix(src64, isSendData, otherParam) { fake.record("mouseSetKeyMatrix", arguments) }
        function mouseSetMaxDpi(dpiCount) { fake.record("mouseSetMaxDpi", arguments) }
        function mouseSetDpi(dpiCount, sensorType, dpiValueArray) { fake.record("mouseSetDpi", arguments) }
        function mouseSetRGBEffect(effect, option1, option2) { fake.record("mouseSetRGBEffect", arguments) }
        function mouseSetRGBColor(type, src24) { fake.record("mouseSetRGBColor", arguments) }
        function mouseSetProfile(profileNo) { fake.record("mouseSetProfile", arguments) }
        function mouseReadProfile(profileNo) { fake.record("mouseReadProfile", arguments) }
        function mouseReadCurrentProfile() { fake.record("mouseReadCurrentProfile", arguments); return 0 }
        function mouseSwitchKeyMatrix(indexNo) { fake.record("mouseSwitchKeyMatrix", arguments) }
        function mouseSetCursorSpeed(cursorSpeed) { fake.record("mouseSetCursorSpeed", arguments) }
        function mouseSetVerticalScrollLines(lines) { fake.record("mouseSetVerticalScrollLines", arguments) }
        function mouseSetDoubleClickSpeed(speed) { fake.record("mouseSetDoubleClickSpeed", arguments) }
        function mouseGetKeydefine(index, isRecovery) {
            fake.record("mouseGetKeydefine", arguments)
            var map = isRecovery ? fake.factoryKeyDefines : fake.keyDefines
            return map[index] || []
        }
        function openUpdateExe() { fake.record("openUpdateExe", arguments) }
        function getData(key, isRecovery) {
            fake.record("getData", arguments)
            return isRecovery ? fake.factoryData[key] : fake.profileData[key]
        }
        function getGlobalData(key) { fake.record("getGlobalData", arguments); return fake.globalData[key] }
        function getDataList(key, isRecovery) {
            fake.record("getDataList", arguments)
            var v = isRecovery ? fake.factoryData[key] : fake.profileData[key]
            return v === undefined ? [] : v
        }
        function setData(key, data) { fake.record("setData", arguments); fake.profileData[key] = data }
        function setGlobalData(key, tmpdata) { fake.record("setGlobalData", arguments); fake.globalData[key] = tmpdata }
        function setDataList(key, datalist) { fake.record("setDataList", arguments); fake.profileData[key] = datalist }
        function setBusy(busyTime) { fake.record("setBusy", arguments) }
        function setCurrentDPI(dpiValue) { fake.record("setCurrentDPI", arguments) }
    }

    property QtObject ctl: QtObject {
        function onMinimize() { fake.record("onMinimize", arguments) }
        function onClose() { fake.record("onClose", arguments) }
        function onXChanged(x) { fake.record("onXChanged", arguments) }
        function onYChanged(y) { fake.record("onYChanged", arguments) }
        function setBusy(busyTime) { fake.record("ctl.setBusy", arguments) }
    }
}

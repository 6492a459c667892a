.pragma library

// The key-name table: 133 HID usage codes and their default display names,
// in the order the "keyCode" language group uses. Lookups return the first
// match, so the duplicated names ("\" for 0x31 and 0x32, "Intl2" for 0x88
// and 0x89) always map back to the lower code.

var codes = (function () {
    var list = [];
    var c;
    for (c = 0x04; c <= 0x73; ++c)
        list.push(c);
    list.push(0x85, 0x87, 0x88, 0x89, 0x8A, 0x8B, 0x90, 0x91);
    for (c = 0xE0; c <= 0xE7; ++c)
        list.push(c);
    for (c = 0xF0; c <= 0xF4; ++c)
        list.push(c);
    return list;
})();

var names = (function () {
    var list = [];
    var i;
    for (i = 0; i < 26; ++i)
        list.push(String.fromCharCode(65 + i));                          // 0x04-0x1D
    list.push("1", "2", "3", "4", "5", "6", "7", "8", "9", "0");          // 0x1E-0x27
    list.push("Enter", "Esc", "Back", "Tab", "Space");                    // 0x28-0x2C
    list.push("-", "=", "[", "]", "\\", "\\", ";", "'", "`", ",", ".", "/"); // 0x2D-0x38
    list.push("Caps");                                                    // 0x39
    for (i = 1; i <= 12; ++i)
        list.push("F" + i);                                               // 0x3A-0x45
    list.push("Prt", "Scr", "Pau", "Ins", "Hom", "Pgu", "Del", "End", "PgD"); // 0x46-0x4E
    list.push("\u25BA", "\u25C4", "\u25BC", "\u25B2");                    // 0x4F-0x52
    list.push("Num", "KP/", "KP*", "KP-", "KP+", "KPEnter");              // 0x53-0x58
    for (i = 1; i <= 9; ++i)
        list.push("KP" + i);                                              // 0x59-0x61
    list.push("KP0", "KP.");                                              // 0x62-0x63
    list.push("Eur2", "App", "Power", "KP=");                             // 0x64-0x67
    for (i = 13; i <= 24; ++i)
        list.push("F" + i);                                               // 0x68-0x73
    list.push("Keypad", "Intl1", "Intl2", "Intl2", "Intl4", "Intl5", "Lang1", "Lang2");
    list.push("LCtrl", "LShift", "LAlt", "LWin", "RCtrl", "RShift", "RAlt", "RWin");
    list.push("MS-L", "MS-R", "MS-M", "MS-B4", "MS-B5");
    return list;
})();

// The code of the first name equal to str, or 0.
function strTokeycode(codeList, nameList, str) {
    for (var i = 0; i < nameList.length && i < codeList.length; ++i) {
        if (nameList[i] === str)
            return codeList[i];
    }
    return 0;
}

// The name of the first code equal to keycode, or "".
function keycodeTostr(codeList, nameList, keycode) {
    var code = Number(keycode);
    for (var i = 0; i < codeList.length; ++i) {
        if (codeList[i] === code)
            return i < nameList.length ? nameList[i] : "";
    }
    return "";
}

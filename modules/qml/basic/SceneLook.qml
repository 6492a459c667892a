import QtQuick

// The shared look of the scene: fonts, colours and the skin images. The
// scene's root is one of these, so every screen and control reads the look
// from `mainIten`; tests of single controls place one with that id.
Item {
    property int skin_No: 1
    property string fontFamily: "微软雅黑"
    property int fontNormalSize: 12
    property int fontMiddleSize: 14
    property int fontMaxSize: 16
    property int fontMinSize: 10
    property color fontColor: "#cfcfcf"
    property color colorGray0: "#1a1a1a"
    property color colorGray1: "#3c3c3c"
    property color colorGray2: "#969696"
    property color colorGray3: "#d1d1d1"
    property color colorBlue: "#009cde"
    property color colorNew: "#009cde"
    property color colorOrange: "#a7a9ab"
    property color colorBlack: "#000000"

    // True while the scene ignores the user (busy or protected): keys and
    // the actions of assistive tools are refused like clicks.
    property bool inputBlocked: false

    // Names for assistive tools where a control shows no text of its own
    // (the "access" language group).
    property var accessLang: ["Minimise", "Close", "Information", "Restore defaults",
        "Number of DPI stages", "Saved", "Profile changed", "Confirm", "Cancel", "Red", "Green",
        "Blue", "Colour", "Hue", "Web site", "Stage", "Profile", "Key list", "Profile name",
        "Bound programs", "Recent programs", "Remove", "Macro list", "Steps", "Scroll bar"]

    // Address of a skin image: "qrc:/<group>/modules/img/skin<n>/<group>/<file>.png".
    // The gun images exist only in the first skin.
    function img(group, file) {
        var skin = group === "gun" ? 1 : skin_No
        return "qrc:/" + group + "/modules/img/skin" + skin + "/" + group + "/" + file + ".png"
    }
}

import QtQuick
import "../js/KeyCodes.js" as KeyCodes

// The key-name table: `keyCode` holds the 133 codes, `keyCodeStr` their
// display names in the same order (replaced by the "keyCode" language group).
QtObject {
    property var keyCode: KeyCodes.codes
    property var keyCodeStr: KeyCodes.names.slice()

    function strTokeycode(str) {
        return KeyCodes.strTokeycode(keyCode, keyCodeStr, str)
    }

    function keycodeTostr(keycode) {
        return KeyCodes.keycodeTostr(keyCode, keyCodeStr, keycode)
    }
}

.pragma library

// The system-settings screen's rules: the two sliders report knob positions
// (3..337 on a 352 px track), which map to steps 0..10 through fixed
// thresholds; the scroll setting is a line count 1..100 or "one screen".

var thresholds = [4, 37, 70, 104, 138, 172, 205, 239, 272, 305, 338];
var minPos = 3;
var maxPos = 337;
var maxStep = 10;
var minLines = 1;
var maxLines = 100;
var oneScreen = 1000;
var defaultPos = 138;     // step 5, the middle of both sliders
var defaultLines = 3;

// The first step whose threshold lies above the position.
function stepOf(pos) {
    var p = Number(pos);
    if (isNaN(p))
        p = defaultPos;
    for (var i = 0; i < thresholds.length; ++i) {
        if (thresholds[i] > p)
            return i;
    }
    return maxStep;
}

// A stored slider position, kept on the track.
function position(value) {
    var p = Number(value);
    if (value === undefined || value === null || value === "" || isNaN(p))
        return defaultPos;
    return Math.max(minPos, Math.min(maxPos, p));
}

// The stored scroll value as the screen shows it: above 100 is the
// one-screen choice; anything unreadable or below 1 is the default count.
function scrollChoice(value) {
    var n = parseInt(value, 10);
    if (isNaN(n) || n < minLines)
        return { oneScreen: false, lines: defaultLines };
    if (n > maxLines)
        return { oneScreen: true, lines: defaultLines };
    return { oneScreen: false, lines: n };
}

// A typed line count kept within 1..100 (the numeric box turns an empty
// field into "0", which would switch wheel scrolling off).
function lines(text) {
    var n = parseInt(text, 10);
    if (isNaN(n) || n < minLines)
        return minLines;
    return Math.min(maxLines, n);
}

// What is stored and applied for the choice.
function scrollValue(isOneScreen, lineCount) {
    return isOneScreen ? oneScreen : lines(lineCount);
}

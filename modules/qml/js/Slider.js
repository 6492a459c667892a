.pragma library

// Knob geometry and snapping of the slider. Every value a slider reports is
// its knob's x in pixels, and the screens convert those pixels into values,
// so the knob width decides the range: with knob width w on a track of
// width W the knob runs from w/4 to W - w - w/4. The knob is 12 px: a
// 110 px drop-down slider then spans 3..79, a 120 px one 3..89 and a 176 px
// track 3..161, the ranges the screens' conversions start from.
var knobWidth = 12;

function minPos(w) {
    return w / 4;
}

function maxPos(trackWidth, w) {
    return trackWidth - w - w / 4;
}

function clamp(x, min, max) {
    return Math.max(min, Math.min(max, x));
}

// A click snaps to the first mark at or to the right of the target.
function snapIndexClick(target, min, per, segment) {
    for (var i = 0; i < segment; ++i) {
        if (target <= min + per * i)
            return i;
    }
    return segment;
}

// A released drag snaps the same way, but a mark up to one pixel to the
// left of the knob also counts, so a knob that is dropped just past a mark
// stays on it.
function snapIndexRelease(x, min, per, segment) {
    for (var i = 0; i < segment; ++i) {
        if (x <= min + per * i + 1)
            return i;
    }
    return segment;
}

function ratioPos(ration, min, max) {
    return Math.floor((max - min) * ration) + min + 1;
}

function indexPos(index, min, per) {
    return per * index + min;
}

// Duration of a drop-down's opening and closing animation: shorter for
// longer lists, and never negative.
function dropDuration(count) {
    return Math.max(0, 180 - 10 * count);
}

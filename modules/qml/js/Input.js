.pragma library

// Whether the numeric box refuses a typed text outright. A number above the
// box's maximum (or a negative one below its minimum) is refused as it is
// typed, so "300" can never stand in a box that takes 0..255; shorter texts
// such as "30" remain editable.
function refused(text, minValue, maxValue) {
    if (text === "" || text === "-" || text === "+")
        return false
    var n = Number(text)
    if (isNaN(n))
        return true
    if (n >= 0)
        return n > maxValue && -n < minValue
    return n < minValue
}

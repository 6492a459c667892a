.pragma library
.import "NameList.js" as NameList

// The profile page's name rules. The name file keeps one text per profile:
// the display name immediately followed by the profile's slot number as one
// digit ("profile_13" is profile_1 in slot 3).

var maxProfiles = 6;
var maxDefaultNames = 12;
var maxNameLength = 16;

// Entries { name, number } from the stored texts. Texts that do not end in
// a slot number the page offers (0..5), and later texts repeating a slot,
// are dropped: two entries on one slot would edit the same file.
function parse(list) {
    var entries = [];
    var used = [];
    var texts = NameList.dropFiller(list);
    for (var i = 0; i < texts.length; ++i) {
        var text = texts[i];
        if (text.length < 2)
            continue;
        var number = parseInt(text.charAt(text.length - 1), 10);
        if (isNaN(number) || number >= maxProfiles || used.indexOf(number) >= 0)
            continue;
        used.push(number);
        entries.push({ name: text.substring(0, text.length - 1), number: number });
        if (entries.length === maxProfiles)
            break;
    }
    return entries;
}

function texts(entries) {
    var list = [];
    for (var i = 0; i < entries.length; ++i)
        list.push(entries[i].name + entries[i].number);
    return list;
}

// The list as the page shows it: entry 0 is the standard profile, slot 0,
// named by the page's string 5 whatever the file says; a later entry that
// claims slot 0 is dropped. An empty file gives the standard profile alone.
function withStandard(entries, standardName) {
    var result = [{ name: standardName, number: 0 }];
    for (var i = 1; i < entries.length; ++i) {
        if (entries[i].number !== 0)
            result.push(entries[i]);
    }
    return result;
}

function names(entries) {
    var list = [];
    for (var i = 0; i < entries.length; ++i)
        list.push(entries[i].name);
    return list;
}

// The entry a new or imported profile gets: the lowest free slot number
// 0..5 and the lowest free name "profile_" + k (k 0..11); null when the page
// is full or no default name is left.
function newEntry(entries) {
    if (entries.length >= maxProfiles)
        return null;
    var numbers = [];
    var taken = names(entries);
    for (var i = 0; i < entries.length; ++i)
        numbers.push(entries[i].number);
    var number = -1;
    for (var n = 0; n < maxProfiles; ++n) {
        if (numbers.indexOf(n) < 0) {
            number = n;
            break;
        }
    }
    var name = "";
    for (var k = 0; k < maxDefaultNames; ++k) {
        if (taken.indexOf("profile_" + k) < 0) {
            name = "profile_" + k;
            break;
        }
    }
    if (number < 0 || name === "")
        return null;
    return { name: name, number: number };
}

// Entry 0 and the active profile's entry cannot be deleted.
function canDelete(entries, position, activeNumber) {
    if (position <= 0 || position >= entries.length)
        return false;
    return entries[position].number !== activeNumber;
}

// A rename is taken for entries other than 0 when the new name is not
// empty, fits the list, and no entry already has it. A comma would be
// quoted in the name file, a line break would break it.
function canRename(entries, position, newName) {
    if (position <= 0 || position >= entries.length)
        return false;
    var text = String(newName);
    if (text.length === 0 || text.length > maxNameLength || text !== text.trim())
        return false;
    if (/[\x00-\x1f,]/.test(text))
        return false;
    return names(entries).indexOf(text) < 0;
}

// The list position of the entry on a slot, or -1.
function positionOf(entries, number) {
    for (var i = 0; i < entries.length; ++i) {
        if (entries[i].number === Number(number))
            return i;
    }
    return -1;
}

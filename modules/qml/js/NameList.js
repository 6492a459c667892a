.pragma library

// The name file stores a list of one name with a filler as its second
// element; readers drop it again.

var filler = "nodelistpadx";

function dropFiller(list) {
    var result = [];
    if (!list)
        return result;
    for (var i = 0; i < list.length; ++i)
        result.push(String(list[i]));
    if (result.length === 2 && result[1] === filler)
        result.pop();
    return result;
}

// Brings a ListModel to the given rows, changing rows in place, so views
// and drop-down lists on the model keep their items.
function syncModel(model, rows) {
    for (var i = 0; i < rows.length; ++i) {
        if (i < model.count)
            model.set(i, rows[i]);
        else
            model.append(rows[i]);
    }
    if (model.count > rows.length)
        model.remove(rows.length, model.count - rows.length);
}

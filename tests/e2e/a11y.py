#!/usr/bin/env python3
"""The program as a screen reader meets it, over AT-SPI.

  a11y.py PID [--in DIALOG] COMMAND ...: with --in, only the showing
                                 dialog of that name is searched
  a11y.py PID walk LABEL         every showing interactive object: role and
                                 name; prints the count per role, fails on
                                 an unnamed one
  a11y.py PID act ROLE NAME ACTION [TIMES]
                                 runs an action (Press, Increase, ...) of the
                                 showing object with that role and name
  a11y.py PID value ROLE NAME    prints the object's current value
  a11y.py PID tabs LABEL PRESSES  presses Tab round the window and fails
                                 unless every enabled control was reached
  a11y.py PID focused            prints "role|name" of the focused object
  a11y.py PID wait ROLE NAME [SHOWN]
                                 waits until the object shows (or, with
                                 SHOWN 0, no longer does)
"""
import sys
import time

import pyatspi

# Roles of things a user acts on, and of the containers a screen reader
# announces (dialogs, lists).
INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON: "button",
    pyatspi.ROLE_CHECK_BOX: "check box",
    pyatspi.ROLE_RADIO_BUTTON: "radio button",
    pyatspi.ROLE_SLIDER: "slider",
    pyatspi.ROLE_SPIN_BUTTON: "spin box",
    pyatspi.ROLE_ENTRY: "text field",
    pyatspi.ROLE_TEXT: "text field",
    pyatspi.ROLE_COMBO_BOX: "drop-down",
    pyatspi.ROLE_LIST: "list",
    pyatspi.ROLE_LIST_ITEM: "list item",
    pyatspi.ROLE_MENU_ITEM: "menu item",
    pyatspi.ROLE_POPUP_MENU: "menu",
    pyatspi.ROLE_DIALOG: "dialog",
    pyatspi.ROLE_PAGE_TAB: "tab",
    pyatspi.ROLE_LINK: "link",
}
ROLE_BY_NAME = {v: k for k, v in INTERACTIVE.items()}
ROLE_BY_NAME["text field"] = pyatspi.ROLE_ENTRY
# What the scene announces: busy, saved, profile changed.
ROLE_BY_NAME["alert"] = pyatspi.ROLE_ALERT


def application(pid, timeout=20):
    deadline = time.time() + timeout
    while time.time() < deadline:
        desktop = pyatspi.Registry.getDesktop(0)
        for app in desktop:
            try:
                if app is not None and app.get_process_id() == pid:
                    return app
            except Exception:
                pass
        time.sleep(0.3)
    sys.exit("no accessible application for pid %d" % pid)


def showing(obj):
    """Shown by the scene; a control scrolled out of its view counts too."""
    try:
        return obj.getState().contains(pyatspi.STATE_VISIBLE)
    except Exception:
        return False


def walk(obj, path=()):
    """Showing objects below obj, depth first, in the order of the tree,
    each with its path of child indices."""
    try:
        children = list(obj)
    except Exception:
        return
    for i, child in enumerate(children):
        if child is None or not showing(child):
            continue
        yield child, path + (i,)
        yield from walk(child, path + (i,))


def objects(obj):
    return (o for o, _ in walk(obj))


# Tab stops: what the user acts on, not the containers around it.
TAB_STOPS = set(INTERACTIVE) - {pyatspi.ROLE_LIST, pyatspi.ROLE_DIALOG, pyatspi.ROLE_POPUP_MENU}


def tab_reach(app, presses):
    """Presses Tab until the focus comes back to where it was first seen and
    compares the stops reached with the enabled focusable controls shown on
    the way (a scrolling body shows more of them as the focus moves)."""
    import subprocess

    def stops_now(into):
        # States are read fresh: the client's cache does not follow every
        # change of the enabled state.
        app.clear_cache()
        focused = None
        for obj, path in walk(app):
            st = obj.getState()
            if st.contains(pyatspi.STATE_FOCUSED):
                focused = path
            # A read-only text field is one whose panel is disabled.
            if obj.getRole() in (pyatspi.ROLE_ENTRY, pyatspi.ROLE_TEXT) and st.contains(pyatspi.STATE_READ_ONLY):
                continue
            if (obj.getRole() in TAB_STOPS and st.contains(pyatspi.STATE_FOCUSABLE)
                    and st.contains(pyatspi.STATE_ENABLED) and st.contains(pyatspi.STATE_SHOWING)):
                into[path] = "%s|%s" % (role_name(obj), obj.name)
        return focused

    stops, reached, first = {}, set(), None
    stops_now(stops)
    for _ in range(presses):
        subprocess.run(["xdotool", "key", "Tab"], check=True)
        time.sleep(0.15)
        path = stops_now(stops)
        if path is None:
            continue
        if path == first:
            break
        first = first or path
        reached.add(path)
    missed = [stops[p] for p in stops if p not in reached]
    return len(stops), len(set(stops) & reached), missed


def role_name(obj):
    r = obj.getRole()
    return INTERACTIVE.get(r, obj.getRoleName())


def find(app, role, name, timeout=10):
    want = ROLE_BY_NAME[role]
    alt = {want, pyatspi.ROLE_TEXT} if want == pyatspi.ROLE_ENTRY else {want}
    deadline = time.time() + timeout
    while time.time() < deadline:
        for obj in objects(app):
            if obj.getRole() in alt and obj.name == name:
                return obj
        time.sleep(0.3)
    sys.exit("no showing %s named %r" % (role, name))


def scope(app, dialog, timeout=10):
    deadline = time.time() + timeout
    while time.time() < deadline:
        for obj in objects(app):
            if obj.getRole() == pyatspi.ROLE_DIALOG and obj.name == dialog:
                return obj
        time.sleep(0.3)
    sys.exit("no showing dialog named %r" % dialog)


def main():
    pid, args = int(sys.argv[1]), sys.argv[2:]
    app = application(pid)
    if args[0] == "--in":
        app = scope(app, args[1])
        args = args[2:]
    command, args = args[0], args[1:]
    if command == "walk":
        counts, unnamed = {}, []
        for obj in objects(app):
            if obj.getRole() not in INTERACTIVE:
                continue
            role = role_name(obj)
            if obj.name.strip():
                counts[role] = counts.get(role, 0) + 1
            else:
                unnamed.append(role)
        total = sum(counts.values())
        print("%s: %d named objects: %s" % (args[0], total,
              ", ".join("%s %d" % (r, n) for r, n in sorted(counts.items()))))
        if unnamed:
            sys.exit("%s: unnamed: %s" % (args[0], ", ".join(unnamed)))
        if total == 0:
            sys.exit("%s: nothing to act on" % args[0])
    elif command == "act":
        role, name, action = args[0], args[1], args[2].lower()
        times = int(args[3]) if len(args) > 3 else 1
        obj = find(app, role, name)
        actions = obj.queryAction()
        names = [actions.getName(i).lower() for i in range(actions.nActions)]
        if action not in names:
            sys.exit("%s %r has no action %s (has %s)" % (role, name, action, names))
        for _ in range(times):
            actions.doAction(names.index(action))
            time.sleep(0.05)
    elif command == "value":
        obj = find(app, args[0], args[1])
        print(int(obj.queryValue().currentValue))
    elif command == "focused":
        focused = [o for o in objects(app) if o.getState().contains(pyatspi.STATE_FOCUSED)]
        print("%s|%s" % (role_name(focused[-1]), focused[-1].name) if focused else "-|-")
    elif command == "wait":
        want = int(args[2]) if len(args) > 2 else 1
        deadline = time.time() + 10
        target = ROLE_BY_NAME[args[0]]
        while time.time() < deadline:
            shown = any(o.getRole() == target and o.name == args[1] for o in objects(app))
            if shown == bool(want):
                return
            time.sleep(0.2)
        sys.exit("%s %r did not %s" % (args[0], args[1], "show" if want else "go"))
    elif command == "tabs":
        total, reached, missed = tab_reach(app, int(args[1]))
        print("%s: %d of %d enabled controls reached by Tab" % (args[0], reached, total))
        if missed:
            sys.exit("%s: not reached by Tab: %s" % (args[0], ", ".join(missed)))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()

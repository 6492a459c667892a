#!/usr/bin/env python3
"""The commands the program sent to the virtual mouse, from its transcript.

    screens_wire.py commands <transcript>
        one line per command: <code> <p1..p6 as 12 hex digits> <payload or ->
    screens_wire.py macro <macro file>
        the byte stream a macro file encodes to, as hex (letter keys and
        short delays only)
"""
import configparser
import sys

# The transcript reader the key-list journeys use: one list per command.
from keys_wire import commands




def key_code(name):
    if len(name) == 1 and "A" <= name <= "Z":
        return 0x04 + ord(name) - ord("A")
    raise SystemExit("no code for key name %r" % name)


def macro_stream(path):
    """The stream the device gets for a macro file whose steps press and
    release letter keys, with delays in 10 ms units below the long form."""
    ini = configparser.ConfigParser()
    ini.read(path)
    total = int(ini["config"]["total"])
    repeat = int(ini["config"]["repeat"])
    steps = []
    for i in range(total):
        text = ini["macro"][str(i)].strip('"')
        steps.append((int(text[0]), text[2:]))
    out = [repeat >> 8, repeat & 0xFF]
    actions = []
    ms = 0
    for kind, info in steps:
        if kind == 0:
            if actions:
                ms += int(info)
            continue
        if actions:
            actions[-1][2] = ms
        actions.append([kind, key_code(info), None])
        ms = 0
    if len(actions) < 2:
        return out
    for kind, code, delay in actions:
        units = 1 if delay is None else max(1, int(delay / 10 + 0.5))
        if units >= 127:
            raise SystemExit("long delays are not expected here")
        out += [units | (0x80 if kind in (2, 4) else 0), code]
    return out + [0, 0]


if __name__ == "__main__":
    if sys.argv[1] == "commands":
        for code, params, payload in commands(sys.argv[2]):
            print(code, params, payload if payload else "-")
    elif sys.argv[1] == "macro":
        print("".join("%02x" % b for b in macro_stream(sys.argv[2])))

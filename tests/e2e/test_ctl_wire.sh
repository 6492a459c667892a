#!/bin/bash
# kelda-ctl against the preloaded virtual mouse: one call per kind of device
# operation, on both families, plain and enciphered. After the start-up
# device check, exactly the expected reports must go out, the printed result
# must be right, and the virtual mouse must see no protocol violation.
here=$(cd "$(dirname "$0")" && pwd)
PYTHONPATH="$here" exec python3 -B - <<'EOF_PY'
import json
import sys

from ctlrig import Rig, block_with, cmd, device_blocks, reports, sent, violations

LAYOUT = [0, 0, 0xF0, 0, 0, 0, 0xF1, 0, 0, 0, 0xF2, 0, 0, 0, 0xF4, 0, 0, 0, 0xF3, 0,
          5, 0, 1, 0, 5, 0, 2, 0, 0, 0xF0, 0x1E, 2, 0, 0, 0, 0, 4, 1, 9, 0,
          0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0, 1, 0, 0xFF, 0, 2, 0]
# Buttons 3, 4, 5 arrive in entries 5, 3, 4; entry 8 is fixed; the macro on
# button 9 becomes macro number 10.
MATRIX = bytes([0x01, 0, 0xF0, 0, 0x01, 0, 0xF1, 0, 0x01, 0, 0xF2, 0, 0x01, 0, 0xF3, 0,
                0x07, 0, 1, 0, 0x01, 0, 0xF4, 0, 0x07, 0, 2, 0, 0x0A, 0xF0, 0x1E, 2,
                0x0C, 0, 0, 0, 0x09, 1, 10, 0] + [0x01, 0, 0, 0] * 4 + [0x04, 0, 1, 0, 0x04, 0, 2, 0])
CODES = [3, 7, 15, 31, 63, 119, 159, 159]
COLOURS = [255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0, 0, 255, 255, 255, 0, 255, 255, 255, 255, 9, 9, 9]
MACRO = [0, 1, 5, 4, 0x81, 4, 0, 0]


def cases(family, blocks):
    """(what, slot and arguments, expected reports after start-up, printed
    result). Blocks sent on 560 start from what the start-up read from the
    device."""
    f560 = family == 560
    b0, b1 = blocks.get(0), blocks.get(1)
    return [
        ("DPI stages", ["mouseSetDpi", 4, '"3360"', json.dumps([400, 800, 1600, 3200, 6400, 12000, 16000, 16000])],
         [cmd(0x0C, 1, 0x80)] + reports(block_with((84, CODES), (92, CODES), (100, [0x0F]), base=b1)) if f560 else
         [cmd(0x11, 4, 0x08)] + reports(CODES[:4] + [0x80] * 4), "null"),
        ("key matrix", ["mouseSetKeyMatrix", json.dumps(LAYOUT), "true", "[3,3,3]"],
         [cmd(0x0D, 1, 0x80)] + reports(MATRIX + bytes(64)) if f560 else
         [cmd(0x02, 0), cmd(0x12, 0, 0x40, 0x08)] + reports(MATRIX), "null"),
        ("macro", ["mouseSendMacroData", json.dumps(MACRO), 3],
         [cmd(0x0F if f560 else 0x13, 4, 0x80)] + reports(MACRO + [0] * 120), "true"),
        ("lighting colours", ["mouseSetRGBColor", 0, json.dumps(COLOURS + [1, 2])],
         [cmd(0x0C, 0, 0x80)] + reports(block_with((24, COLOURS), base=b0)) if f560 else
         # The 553 table goes out once: the second, identical one the mouse holds.
         [cmd(0x10, 0, 24)] + reports(COLOURS), "null"),
        ("report rate", ["mouseSetReportRate", 1],
         [cmd(0x03, 1, 1)] if f560 else [cmd(0x01, 1)], "null"),
        ("keyboard options", ["GetKeyboardoption"], [cmd(0x83)],
         "[0,0,0,0]" if f560 else "[0,0,0,64]"),
        ("gun data, no gun slots", ["mouseSendGundata", 1, "[20,1,10]"], [], "null"),
    ]


failures = []
rig = Rig()
try:
    for family in (553, 560):
        for encoded in (False, True):
            config = "%d %s" % (family, "enciphered" if encoded else "plain")
            # The start-up device check alone: every call begins with it.
            rc, out, err, records = rig.run(family, encoded, "openUpdateExe")
            startup = sent(records)
            blocks = device_blocks(records)
            if rc != 0 or "no device connected" in err or not startup:
                failures.append("%s: the device check found no virtual mouse:\n%s" % (config, err))
                continue
            if family == 560 and sorted(blocks) != [0, 1, 2, 3, 4]:
                failures.append("%s: start-up read blocks %s, not 0 to 4" % (config, sorted(blocks)))
                continue
            for what, call, expected, result in cases(family, blocks):
                rc, out, err, records = rig.run(family, encoded, *call)
                wire = sent(records)
                problems = []
                if rc != 0:
                    problems.append("exit status %d" % rc)
                if wire[:len(startup)] != startup:
                    problems.append("the start-up traffic differs")
                elif wire[len(startup):] != expected:
                    problems.append("wire:\n    got  %s\n    want %s" % (
                        "\n         ".join(wire[len(startup):]) or "(nothing)",
                        "\n         ".join(expected) or "(nothing)"))
                if out != result:
                    problems.append("printed %r, want %r" % (out, result))
                if violations(records):
                    problems.append("violations: %s" % violations(records))
                if problems:
                    failures.append("%s, %s (%s): %s" % (config, what, call[0], "; ".join(problems)))
finally:
    rig.close()

for f in failures:
    print("FAIL:", f)
if failures:
    sys.exit(1)
print("kelda-ctl wire checks passed")
EOF_PY

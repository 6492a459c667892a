#!/bin/bash
# How long a full profile application takes on each family, in real time
# against the preloaded virtual mouse: the calls a profile switch makes
# (key matrix, report rate, DPI, lighting as the scene sends it on a
# colourful device), each timed by kelda-ctl --time, against the sum of the
# pauses the protocol requires for the reports that went out. Prints a
# table; fails when a pause came short (a violation) or the overhead on top
# of the pauses is out of all proportion.
here=$(cd "$(dirname "$0")" && pwd)
PYTHONPATH="$here" exec python3 -B - <<'EOF_PY'
import json
import re
import sys

from ctlrig import Rig, sent, violations

LAYOUT = [0, 0, 0xF0, 0, 0, 0, 0xF1, 0, 0, 0, 0xF2, 0, 0, 0, 0xF4, 0, 0, 0, 0xF3, 0,
          5, 0, 1, 0, 5, 0, 2, 0, 0, 0xF0, 0x1E, 2] + [0] * 24 + [0xFF, 0, 1, 0, 0xFF, 0, 2, 0]
COLOURS = json.dumps([255, 0, 0] * 8)
PROFILE = [
    ["mouseSetKeyMatrix", json.dumps(LAYOUT), "true", "[3,3,3]"],
    ["mouseSetReportRate", 1],
    ["mouseSetDpi", 6, '"3360"', json.dumps([400, 800, 1600, 3200, 6400, 12000, 16000, 16000])],
    ["mouseSetRGBColor", 0, COLOURS],
    ["mouseSetRGBEffect", 1, 2, 4],
    ["mouseSetRGBColor", 0, COLOURS],
    ["mouseSetRGBEffect", 1, 2, 4],
]
# Commands that settle 128 ms after the command report and again after the
# last data report; commands followed by 8 ms; 120 ms after each data report.
SETTLE = {553: {0x01, 0x02, 0x0B, 0x0C, 0x0D, 0x10, 0x11, 0x12, 0x13},
          560: {0x03, 0x04, 0x0C, 0x0D, 0x0F}}
SHORT = {553: {0x03, 0x04}, 560: {0x01, 0x02}}


def payload_settles(family, lines):
    """Second settle: after the last data report of each settling command."""
    extra, code, reports = 0, None, 0
    for line in lines + ["send_feature 00ff"]:
        op, data = line.split(" ", 1)
        if op == "write":
            reports += 1
            continue
        if code is not None and code in SETTLE[family] and reports:
            extra += 128
        code, reports = int(data[2:4], 16), 0
    return extra


def pauses(family, lines):
    total = 0
    for line in lines:
        op, data = line.split(" ", 1)
        if op == "write":
            total += 120
        else:
            code = int(data[2:4], 16)
            total += 128 if code in SETTLE[family] else 8 if code in SHORT[family] else 0
    return total + payload_settles(family, lines)


failures = []
rows = []
rig = Rig()
try:
    for family in (553, 560):
        rc, out, err, records = rig.run(family, False, "openUpdateExe")
        startup = len(sent(records))
        wall, need, reports_out = 0, 0, 0
        for call in PROFILE:
            rc, out, err, records = rig.run(family, False, *call, timed=True)
            m = re.search(r"kelda-ctl: \w+ took (\d+) ms", err)
            if rc != 0 or not m:
                failures.append("%d %s: status %d, stderr:\n%s" % (family, call[0], rc, err))
                continue
            lines = sent(records)[startup:]
            wall += int(m.group(1))
            need += pauses(family, lines)
            reports_out += len(lines)
            if violations(records):
                failures.append("%d %s: %s" % (family, call[0], violations(records)))
        rows.append((family, reports_out, wall, need))
finally:
    rig.close()

print("family  reports  wall ms  pauses ms  overhead")
for family, n, wall, need in rows:
    print("%6d  %7d  %7d  %9d  %+6d ms (%.1f %%)" % (family, n, wall, need, wall - need,
                                                     100.0 * (wall - need) / need if need else 0))
    if wall < need:
        failures.append("%d: the calls took %d ms, less than the %d ms of pauses" % (family, wall, need))
    if wall > 2 * need + 2000:
        failures.append("%d: %d ms against %d ms of pauses" % (family, wall, need))
for f in failures:
    print("FAIL:", f)
sys.exit(1 if failures else 0)
EOF_PY

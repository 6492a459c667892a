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
import re
import sys

from ctlrig import PROFILE, Rig, pauses, sent, violations

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

#!/bin/bash
# kelda-ctl refuses bad input with exit status 2 and a message naming the
# problem, before it touches any device; with no mouse attached a good call
# still runs and says so on stderr.
set -u
CTL="${KELDA_DIST_DIR:?}/kelda-ctl"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$KELDA_DIST_DIR/modules" "$work/"
failures=0

# expect STATUS STDERR-SUBSTRING ARGS...
expect() {
    local status=$1 message=$2
    shift 2
    "$CTL" "$@" >"$work/out" 2>"$work/err"
    local got=$?
    if [ "$got" != "$status" ] || ! grep -qF -- "$message" "$work/err"; then
        echo "FAIL: kelda-ctl $* -> status $got (want $status), stderr:"
        sed 's/^/    /' "$work/err"
        failures=$((failures + 1))
    elif [ "$status" = 2 ] && [ -s "$work/out" ]; then
        echo "FAIL: kelda-ctl $* printed a result for bad input: $(cat "$work/out")"
        failures=$((failures + 1))
    fi
}

D=(--data "$work")
expect 2 "no command given"
expect 2 "no command given" "${D[@]}"
expect 2 "unknown command 'frobnicate'" "${D[@]}" frobnicate
expect 2 "unknown option --verbose" --verbose list
expect 2 "--data needs a folder" --data
expect 2 "no modules/ folder in $work/nothing" --data "$work/nothing" list
expect 2 "no modules/ folder in $work/nothing" --data "$work/nothing" call GetKeyboardoption
expect 2 "list takes no arguments" "${D[@]}" list extra
expect 2 "call needs a slot name" "${D[@]}" call
expect 2 "unknown slot 'mouseSetDPI'" "${D[@]}" call mouseSetDPI 1
expect 2 "unknown slot 'deleteLater'" "${D[@]}" call deleteLater
expect 2 "mouseSetDpi needs other arguments than the 2 given" "${D[@]}" call mouseSetDpi 4 '"3360"'
expect 2 "mouseGetCurrentDPI needs other arguments than the 1 given" "${D[@]}" call mouseGetCurrentDPI 1
expect 2 "argument 3 (dpiValueArray) of mouseSetDpi: not valid JSON: [400,800" "${D[@]}" call mouseSetDpi 4 '"3360"' '[400,800'
expect 2 "not valid JSON: 1,2" "${D[@]}" call mouseSetCurrentDPI 1,2
expect 2 "not valid JSON: " "${D[@]}" call mouseSetCurrentDPI ''
expect 2 "argument 2 (sensorType) of mouseSetDpi: 3360 is not a JSON string" "${D[@]}" call mouseSetDpi 4 3360 '[400]'
expect 2 "argument 1 (rate) of mouseSetReportRate: 256 is not a whole number from 0 to 255" "${D[@]}" call mouseSetReportRate 256
expect 2 "-1 is not a whole number from 0 to 255" "${D[@]}" call mouseSetReportRate -1
expect 2 "1.5 is not a whole number" "${D[@]}" call mouseSetMaxDpi 1.5
expect 2 "4294967296 is not a whole number from 0 to 4294967295" "${D[@]}" call mouseSetProfile 4294967296
expect 2 "argument 2 (isSendData) of mouseSetKeyMatrix: 1 is not true or false" "${D[@]}" call mouseSetKeyMatrix '[]' 1 '[]'
expect 2 "argument 1 (src64) of mouseSetKeyMatrix: {} is not a JSON array" "${D[@]}" call mouseSetKeyMatrix '{}' true '[]'
expect 2 "argument 2 (macros) of saveMacroIni: [1] is not a JSON array of strings" "${D[@]}" call saveMacroIni '"m"' '[1]' 1

# Good input without a mouse: the slot runs, its start values come back.
expect 0 "kelda-ctl: no device connected" "${D[@]}" call GetKeyboardoption
[ "$(cat "$work/out")" = "[0,0,0,0]" ] || { echo "FAIL: GetKeyboardoption printed $(cat "$work/out")"; failures=$((failures + 1)); }
expect 0 "no device connected" "${D[@]}" call mouseGetCurrentDPI
[ "$(cat "$work/out")" = "3" ] || { echo "FAIL: mouseGetCurrentDPI printed $(cat "$work/out")"; failures=$((failures + 1)); }
expect 0 "no device connected" "${D[@]}" call mouseSetDpi 4 '"3360"' '[400,800,1600,3200,0,0,0,0]'
[ "$(cat "$work/out")" = "null" ] || { echo "FAIL: mouseSetDpi printed $(cat "$work/out")"; failures=$((failures + 1)); }
expect 0 "no device connected" "${D[@]}" call mouseSendMacroData '[0,1,5,4,129,4,0,0]' 12
[ "$(cat "$work/out")" = "true" ] || { echo "FAIL: mouseSendMacroData printed $(cat "$work/out")"; failures=$((failures + 1)); }

# list: the whole contract, one signature a line.
"$CTL" "${D[@]}" list >"$work/out" 2>"$work/err" || { echo "FAIL: list failed"; failures=$((failures + 1)); }
[ "$(wc -l <"$work/out")" = 60 ] || { echo "FAIL: list printed $(wc -l <"$work/out") lines"; failures=$((failures + 1)); }
grep -qxF "void mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray)" "$work/out" \
    || { echo "FAIL: list lacks the mouseSetDpi signature"; failures=$((failures + 1)); }
grep -qxF "void mouseSendGundata(int, QVariantList)" "$work/out" \
    || { echo "FAIL: list lacks the mouseSendGundata signature"; failures=$((failures + 1)); }

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
fi
echo "kelda-ctl bad-input checks passed"

# shellcheck shell=bash
# Source first, before lib.sh: runs the sourcing script again on a session
# bus of its own, with a runtime folder of its own for the accessibility
# bus's socket, so that tests running side by side stay apart.
if [ -z "${KELDA_A11Y_BUS:-}" ]; then
    runtime=$(mktemp -d "${TMPDIR:-/tmp}/kelda-a11y.XXXXXX")
    rc=0
    XDG_RUNTIME_DIR=$runtime KELDA_A11Y_BUS=1 dbus-run-session -- bash "$0" "$@" || rc=$?
    rm -rf "$runtime"
    exit $rc
fi

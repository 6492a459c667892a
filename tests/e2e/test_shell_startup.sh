#!/usr/bin/env bash
# Start-up without a mouse: the program, started from another working
# directory, finds its data folder beside itself, shows its window with the
# panels after the first protection period, carries the program's icon, and
# a second launch hands over and exits with 1 while the first keeps running.
source "$(dirname "$0")/lib.sh"

e2e_start_x
e2e_start_compositor
e2e_prepare_dist

# A title only this copy's data folder holds: the window shows it only if
# the program read modules/setting/apConfig.bin beside itself.
title="KELDA e2e $$"
sed -i "s/^name=.*/name=$title/" "$E2E_APP_DIR/modules/setting/apConfig.bin"

e2e_start_app /
wid=$(e2e_wait_window)
name=$(xdotool getwindowname "$wid")
[ "$name" = "$title" ] || e2e_fail "window title '$name', expected '$title'"
# Task switchers show the program's icon: the window carries it in several
# sizes (each entry starts with width and height).
sizes=$(xprop -id "$wid" -notype 32c _NET_WM_ICON | python3 -c '
import sys
text = sys.stdin.read()
values = [int(v) for v in text.split("=", 1)[1].replace(",", " ").split()] if "=" in text else []
sizes = []
while len(values) >= 2 and values[0] > 0:
    w, h = values[0], values[1]
    sizes.append("%dx%d" % (w, h))
    values = values[2 + w * h:]
print(" ".join(sizes))')
case " $sizes " in
*" 16x16 "*" 32x32 "*) e2e_log "ok: window icon in sizes $sizes" ;;
*) e2e_fail "no window icon (_NET_WM_ICON sizes: '$sizes')" ;;
esac

e2e_wait_scene 2.5
shot=$(e2e_screenshot shell_main_not_connected "$wid")
# The bottom bar's save button, blue, shows that the panels came up.
read -r r g b <<<"$(e2e_pixel "$shot" 990 620)"
[ "$r" -lt 40 ] && [ "$g" -gt 130 ] && [ "$b" -gt 190 ] ||
    e2e_fail "save button not shown (pixel $r $g $b)"
# The not-connected notice: its red dot left of the centred text.
found=0
for x in $(seq 430 2 520); do
    read -r r g b <<<"$(e2e_pixel "$shot" "$x" 26)"
    if [ "$r" -gt 200 ] && [ "$g" -lt 90 ] && [ "$b" -lt 90 ]; then
        found=1
        break
    fi
done
[ "$found" = 1 ] || e2e_fail "no not-connected notice in the title area"

rc=$(e2e_run_app_again)
[ "$rc" = 1 ] || e2e_fail "second launch exited with $rc, expected 1"
e2e_app_running || e2e_fail "the first instance ended"
xdotool getwindowgeometry "$wid" >/dev/null || e2e_fail "the window went away"

e2e_check_scene_log
e2e_log "PASS"

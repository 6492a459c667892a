#!/usr/bin/env bash
# The shell's own boxes in the real program: the information box from the
# title bar, the factory-reset confirmation with its mask, and the
# report-rate list, each shown, photographed and closed again; then the
# window is dragged by an empty part of the scene.
source "$(dirname "$0")/lib.sh"

e2e_start_x
e2e_start_compositor
e2e_prepare_dist
e2e_start_app
wid=$(e2e_wait_window)
e2e_wait_scene 2.5

is_dark() { [ "$1" -lt 30 ] && [ "$2" -lt 30 ] && [ "$3" -lt 30 ]; }

before=$(e2e_screenshot shell_before_dialogs "$wid")
read -r r0 g0 b0 <<<"$(e2e_pixel "$before" 990 620)"

# Information box: title strip (black) across the box's top at (312, 200).
e2e_click "$wid" 928 24
shot=$(e2e_screenshot shell_info_box "$wid")
read -r r g b <<<"$(e2e_pixel "$shot" 600 205)"
is_dark "$r" "$g" "$b" || e2e_fail "information box not shown (pixel $r $g $b)"
# Shown without the mask: the save button keeps its colour.
[ "$(e2e_pixel "$shot" 990 620)" = "$r0 $g0 $b0" ] || e2e_fail "the information box brought the mask"
e2e_click "$wid" 694 215
shot=$(e2e_screenshot shell_info_closed "$wid")
read -r r g b <<<"$(e2e_pixel "$shot" 600 205)"
is_dark "$r" "$g" "$b" && e2e_fail "information box still shown"

# Factory-reset confirmation: the mask darkens the save button.
e2e_click "$wid" 834 620
shot=$(e2e_screenshot shell_reset_confirm "$wid")
read -r r g b <<<"$(e2e_pixel "$shot" 990 620)"
[ "$g" -lt $((g0 * 6 / 10)) ] || e2e_fail "no mask over the scene (pixel $r $g $b, was $r0 $g0 $b0)"
# Cancel: the left one of the two buttons at the box's bottom right.
e2e_click "$wid" 565 348
shot=$(e2e_screenshot shell_reset_cancelled "$wid")
[ "$(e2e_pixel "$shot" 990 620)" = "$r0 $g0 $b0" ] || e2e_fail "the mask stayed after Cancel"

# The report-rate list opens over the system settings button.
e2e_click "$wid" 184 520
e2e_screenshot shell_report_rate_open "$wid" >/dev/null
e2e_click "$wid" 500 560   # empty area: closes the list

# Dragging an empty part of the scene moves the window with the pointer.
read -r wx wy <<<"$(e2e_window_pos "$wid")"
xdotool mousemove --window "$wid" 700 590 mousedown 1
for step in 1 2 3 4 5; do
    xdotool mousemove_relative -- 10 6
    sleep 0.05
done
xdotool mouseup 1
sleep 0.3
read -r nx ny <<<"$(e2e_window_pos "$wid")"
[ "$nx" = $((wx + 50)) ] && [ "$ny" = $((wy + 30)) ] ||
    e2e_fail "window at $nx,$ny after dragging from $wx,$wy by 50,30"

e2e_check_scene_log
e2e_log "PASS"

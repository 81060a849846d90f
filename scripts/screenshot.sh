#!/usr/bin/env bash
# Takes the screenshot that software centres show (app/screenshots/main-window.png): the real
# window under Xvfb and openbox, with the worked example typed in through xdotool.
#   scripts/screenshot.sh IONVANE_EXECUTABLE OUTPUT.png [SCALE]
# SCALE sets QT_SCALE_FACTOR; the kept screenshot is taken at 2 (200 %), so that it stays sharp
# where software centres show it large.
set -euo pipefail
program=$1
output=$2
scale=${3:-2}
for tool in Xvfb openbox xdotool import; do
    command -v "$tool" >/dev/null || {
        echo "screenshot.sh: $tool is missing (apt-get install xvfb openbox xdotool imagemagick)" >&2
        exit 1
    }
done

work=$(mktemp -d)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null || true
    done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
export DISPLAY=:$(cat "$work/display")
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)
sleep 1

# The settings file beside a copy of the program, so the home box shows the home locator and the
# user's own settings stay untouched.
cp "$program" "$work/ionvane"
printf 'IO90IR\r\n110\r\n0.15\r\n' >"$work/homeloc.dat"
HOME=$work XDG_CONFIG_HOME=$work/config QT_SCALE_FACTOR=$scale QT_QPA_PLATFORM=xcb \
    "$work/ionvane" >"$work/ionvane.log" 2>&1 &
pids+=($!)
window=$(timeout 20 xdotool search --sync --onlyvisible --pid "${pids[-1]}" | head -1)
xdotool windowactivate --sync "$window"
sleep 0.5
xdotool type --delay 50 IO90IR
xdotool key Return
xdotool type --delay 50 JN77EX
xdotool key Return
xdotool type --delay 50 50.1
xdotool key Return Return
sleep 1
# The window with openbox's frame, as a desktop shows it.
import -window "$window" -frame "$output"
identify "$output"

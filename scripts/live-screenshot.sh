#!/usr/bin/env bash
# Takes a screenshot of Ionvane Live under Xvfb and openbox, before an opening or mid-opening with
# all three sources busy: a fake cluster node, a local mosquitto broker fed with reports, and
# WSJT-X datagrams, every one of them on 127.0.0.1.
#   scripts/live-screenshot.sh BUILD_DIR OUTPUT.png WIDTHxHEIGHT SCALE light|dark before|mid
# The dark theme is the desktop's (GTK's Adwaita:dark through qt6-gtk-platformtheme).
set -euo pipefail
build=$(cd "$1" && pwd)
output=$2
screen=$3
scale=$4
theme=$5
phase=$6
here=$(cd "$(dirname "$0")" && pwd)
for tool in Xvfb openbox xdotool import mosquitto python3; do
    command -v "$tool" >/dev/null || {
        echo "live-screenshot.sh: $tool is missing" >&2
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

free_port() {
    python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'
}

# The programs and their modules in a folder of their own, with its own settings.
mkdir -p "$work/stage/bin" "$work/config/Ionvane"
cp "$build/bin/ionvane" "$work/stage/bin/"
cp -r "$build/lib" "$work/stage/"
printf 'IO90IR\r\n110\r\n0.15\r\n' >"$work/stage/bin/homeloc.dat"

node_port=$(free_port)
broker_port=$(free_port)
wsjtx_port=$(free_port)
cat >"$work/config/Ionvane/cluster.conf" <<CONF
[node]
host=127.0.0.1
port=$node_port
call=G4XYZ
CONF
connect=false
[[ $phase == mid ]] && connect=true
cat >"$work/config/Ionvane/live.ini" <<CONF
[cluster]
connectAtStart=$connect
[feed]
broker=127.0.0.1:$broker_port
bands=6m, 4m, 2m
connectAtStart=$connect
[wsjtx]
address=127.0.0.1:$wsjtx_port
listening=$connect
[live]
alarmBand=2m
CONF

Xvfb -displayfd 3 -screen 0 "${screen}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    sleep 0.1
done
export DISPLAY=:$(cat "$work/display")
openbox >"$work/openbox.log" 2>&1 &
pids+=($!)

if [[ $phase == mid ]]; then
    python3 "$here/live_opening.py" lines "$work"
    "$build/bin/ionvane-fakenode" --port "$node_port" --capture "$work/cluster.txt" \
        --interval 200 >"$work/node.log" 2>&1 &
    pids+=($!)
    printf 'listener %s 127.0.0.1\nallow_anonymous true\n' "$broker_port" >"$work/mosquitto.conf"
    mosquitto -c "$work/mosquitto.conf" >"$work/mosquitto.log" 2>&1 &
    pids+=($!)
fi
sleep 1

platform_theme=
gtk_theme=
if [[ $theme == dark ]]; then
    platform_theme=gtk3
    gtk_theme=Adwaita:dark
fi
HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data QT_SCALE_FACTOR=$scale \
    QT_QPA_PLATFORM=xcb QT_QPA_PLATFORMTHEME=$platform_theme GTK_THEME=$gtk_theme \
    "$work/stage/bin/ionvane" --live >"$work/ionvane.log" 2>&1 &
pids+=($!)
window=$(timeout 30 xdotool search --sync --onlyvisible --name "Ionvane Live" | head -1)
# The whole screen less openbox's title bar, as a maximised window on a laptop.
width=${screen%x*}
height=${screen#*x}
xdotool windowmove --sync "$window" 0 0 || true
xdotool windowsize --sync "$window" "$width" $((height - 22 * ${scale%.*})) || true
xdotool windowactivate --sync "$window" || true
if [[ $phase == mid ]]; then
    sleep 3
    start=$(python3 -c 'import time; print(time.monotonic_ns())')
    "$build/bin/ionvane_feed_publisher" "$broker_port" "$work/feed.capture" 40 "$start" \
        >"$work/publisher.log" 2>&1 &
    pids+=($!)
    python3 "$here/live_opening.py" wsjtx "$wsjtx_port" 16 &
    pids+=($!)
    sleep 9
else
    sleep 3
fi
import -window root "$output"
identify "$output"

#!/usr/bin/env bash
# ionvane-cli's alarm outlets from the outside: a replayed opening runs --on-alarm once per alarm
# with its fields and JSON, with the events unchanged; a failing command is said once; the
# outlets' options are refused where they do not belong.
set -u
cli=$1
data=$2
# shellcheck source=../lib/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/check.sh"
# shellcheck source=../lib/scratch_home.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/scratch_home.sh"
settings=(--home IO90IR --es-layer 110 --masl 150 --locale en_US)
capture=$data/opening.capture

# The opening raises a 4 m and a 2 m alarm: one run each, the events as without the hook.
plain=$("$cli" --replay "$capture" "${settings[@]}")
out=$("$cli" --replay "$capture" "${settings[@]}" \
    --on-alarm "cd '$work' && cat > \"\$IONVANE_BAND.json\" && echo \"\$IONVANE_BEAM \$IONVANE_TOWARDS\" > \"\$IONVANE_BAND.env\"")
check "replay exit code" 0 $?
check "events unchanged" "$plain" "$out"
check "2m hook's JSON" \
    '{"band":"2m","beamDeg":100.62,"cloud":1,"heard":2,"text":"2 m OPEN (heard, 2 Es spots): beam 101, 1,276 km, towards JN77SK; model estimate MUF 152.3 MHz","time":"2026-06-14T10:00:40Z","towards":"JN77SK"}' \
    "$(cat "$work/2m.json")"
check "4m hook's fields" "100.6 JN77SK" "$(cat "$work/4m.env")"

# A command that fails for both alarms: said once on standard error, the replay a success.
err=$("$cli" --replay "$capture" "${settings[@]}" --on-alarm 'exit 3' 2>&1 >/dev/null)
check "failing hook exit code" 0 $?
check "failing hook said once" "ionvane-cli: the alarm command failed (exit status 3)" "$err"

# WSJT-X highlights over a replayed opening heard by two WSJT-X (2 m and 6 m): the 6 m calls heard
# through the cloud once 6 m is open are coloured for their own WSJT-X, and cleared as it fades;
# the call through a cloud of 10 m alone is not. Without --highlight nothing of it is printed.
highlights=$("$cli" --replay "$data/wsjtx-opening.capture" "${settings[@]}" --highlight |
    grep '"event":"highlight"')
open='"background":"#c62828","foreground":"#ffffff"}'
expected=""
for call in S59DX OE5XY 9A5AB; do
    time=10:01:45
    [[ $call == S59DX ]] && time=10:01:30
    expected+='{"event":"highlight","time":"2026-06-14T'$time'Z","id":"WSJT-X - 6m","call":"'$call'",'$open$'\n'
done
for call in S59DX OE5XY 9A5AB; do
    expected+='{"event":"highlight","time":"2026-06-14T10:40:00Z","id":"WSJT-X - 6m","call":"'$call'","clear":true}'$'\n'
done
check "highlights of the replay" "${expected%$'\n'}" "$highlights"
check "no highlights unless asked" "0" \
    "$("$cli" --replay "$data/wsjtx-opening.capture" "${settings[@]}" | grep -c '"highlight"')"

while IFS='|' read -r args expected; do
    read -ra argv <<<"$args"
    err=$("$cli" "${argv[@]}" 2>&1 >/dev/null | head -1)
    check "usage: $args" "ionvane-cli: $expected" "$err"
done <<'TABLE'
--from IO90 --to JN77 --freq 50 --on-alarm true|--on-alarm goes with --cluster, --mqtt, --wsjtx or --replay
--replay x --follow|--follow goes with --rotator
--from IO90 --to JN77 --freq 50 --highlight|--highlight goes with --cluster, --mqtt, --wsjtx or --replay
--replay x --ntfy ntfy.sh/topic|--ntfy takes an http or https address, such as https://ntfy.sh/TOPIC
TABLE
checks_summary

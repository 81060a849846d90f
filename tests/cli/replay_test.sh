#!/usr/bin/env bash
# ionvane-cli --replay from the outside: the events of a small opening, the same output for the
# same capture, lines that are no capture lines, the history store, usage errors.
set -u
cli=$1
data=$2
# shellcheck source=../lib/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/check.sh"
# shellcheck source=../lib/scratch_home.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/scratch_home.sh"

settings=(--home IO90IR --es-layer 110 --masl 150)
capture=$data/opening.capture

# The worked example on 6 m (cloud over JN39JO, critical frequency 11.40 MHz, 6 m possible from
# IO90IR at 50.04 MHz towards JN77EX), then a 2 m spot that joins the cloud but alone cannot lift
# it above what the 6 m spot supports, and a second, independent 2 m spot that agrees and opens
# 4 m (predicted from 2 m) and 2 m (heard) with one alarm each, an HF spot skipped, talk passed
# over, and the cloud fading 15 minutes on.
out=$("$cli" --replay "$capture" "${settings[@]}" --locale en_US)
check "replay exit code" 0 $?
check "tracker events" "$(cat "$data/opening.events")" "$(grep -v '"event":"spot"' <<<"$out")"
check "spot events" 3 "$(grep -c '"event":"spot"' <<<"$out")"
check "spot event of the worked example" \
    '{"event":"spot","time":"2026-06-14T10:00:00Z","raw":"DX de G4ABC:     50100.0  S51ABC       IO90IR<ES>JN77EX 1000Z","spot":{"freqMHz":50.1,"from":"IO90IR","to":"JN77EX","tag":"ES","es":true,"dxCall":"S51ABC","spotter":"G4ABC"},' \
    "$(grep -m1 '"event":"spot"' <<<"$out" | grep -o '^.*"spotter":"G4ABC"},')"
check "spot classified" '"classification":"es","band":"6m","cloud":1,' \
    "$(grep -m1 '"event":"spot"' <<<"$out" | grep -o '"classification":[^,]*,[^,]*,[^,]*,')"

# A decimal-comma locale changes how figures are shown, never which clouds a spot places: a spot's
# frequency is a number, not box text read in the user's format (50.1 is not "50" in Polish).
polish=$("$cli" --replay "$capture" "${settings[@]}" --locale pl_PL)
check "clouds under pl_PL" "$(grep -o '"event":"cloud"[^{]*"centre":"[A-Z0-9]*"' <<<"$out")" \
    "$(grep -o '"event":"cloud"[^{]*"centre":"[A-Z0-9]*"' <<<"$polish")"
check "alarms under pl_PL" "$(grep -c '"event":"alarm"' <<<"$out")" \
    "$(grep -c '"event":"alarm"' <<<"$polish")"

again=$("$cli" --replay "$capture" "${settings[@]}" --locale en_US)
check "same capture, same output" "$out" "$again"

# The tracker's events do not depend on the number format.
german=$("$cli" --replay "$capture" "${settings[@]}" --locale de_DE)
check "tracker events in German" "$(cat "$data/opening.events")" \
    "$(grep -v '"event":"spot"' <<<"$german")"

# The same opening with its 2 m spot from the feed instead of the cluster, in one capture with the
# cluster's lines, the report delivered twice and an MSK144 report beside it. A feed report carries
# no Es tag, and one 6 m spot under it does not confirm it: the 2 m report places nothing, and the
# 6 m cloud alone stands and fades. The repeat and the meteor scatter are skipped with their
# reasons.
mixed=$data/opening-mixed.capture
out=$("$cli" --replay "$mixed" "${settings[@]}" --locale en_US)
check "mixed replay exit code" 0 $?
check "mixed tracker events" "$(cat "$data/opening-mixed.events")" \
    "$(grep -v '"event":"spot"' <<<"$out" | grep -v '"event":"skipped"')"
check "mixed spot events" 2 "$(grep -c '"event":"spot"' <<<"$out")"
check "feed spot event" \
    '{"event":"spot","time":"2026-06-14T10:00:30Z","raw":"MQTT pskr/filter/v2/2m/FT8/S51ABC/DK7UK/JO01MM/JN75EX/499/230 {\"sq\":5001,' \
    "$(grep '"raw":"MQTT' <<<"$out" | grep '"event":"spot"' | grep -o '^.*{\\"sq\\":5001,')"
check "feed spot classified" '"classification":"unconfirmed","band":"2m","cloud":null,' \
    "$(grep '"raw":"MQTT' <<<"$out" | grep '"event":"spot"' | grep -o '"classification":[^,]*,[^,]*,[^,]*,')"
check "feed skip reasons" "The report was received before|MSK144 is meteor scatter, not Es" \
    "$(grep '"raw":"MQTT' <<<"$out" | grep '"event":"skipped"' | grep -o '"reason":"[^"]*"' |
        cut -d'"' -f4 | paste -sd'|')"
# A different alarm band: 6 m alarms too.
out=$("$cli" --replay "$capture" "${settings[@]}" --alarm-band 6m)
check "alarm band 6m" "6m 4m 2m" \
    "$(grep '"event":"alarm"' <<<"$out" | grep -o '"band":"[0-9m]*"' | cut -d'"' -f4 | xargs)"

# The bands followed: without 4 m the verdicts leave it out and it never alarms.
out=$("$cli" --replay "$capture" "${settings[@]}" --bands 10m,6m,2m)
check "bands followed" "10m 6m 2m" \
    "$(grep -m1 '"event":"verdict"' <<<"$out" | grep -o '"band":"[0-9m]*"' | cut -d'"' -f4 | xargs)"
check "no 4 m alarm" "2m" \
    "$(grep '"event":"alarm"' <<<"$out" | grep -o '"band":"[0-9m]*"' | cut -d'"' -f4 | xargs)"

# A shortest 2 m path above the spot's 1,153 km: the 2 m spot places no cloud.
out=$("$cli" --replay "$capture" "${settings[@]}" --min-km 2m=1200)
check "2 m too short" '"classification":"too-short","band":"2m","cloud":null,' \
    "$(grep '144.174' <<<"$out" | grep -o '"classification":[^,]*,[^,]*,[^,]*,')"
check "no alarm then" 0 "$(grep -c '"event":"alarm"' <<<"$out")"

# Lines that are no capture lines are passed over and counted.
{
    echo "not a capture line"
    cat "$capture"
    printf '2026-06-14 10:20:00\tno T\n'
} >"$work/mixed.capture"
err=$("$cli" --replay "$work/mixed.capture" "${settings[@]}" 2>&1 >/dev/null)
check "bad lines exit code" 0 $?
check "bad lines message" \
    "ionvane-cli: 2 lines of $work/mixed.capture passed over: not TIME<TAB>LINE" "$err"

# CRLF line ends, as a capture copied from elsewhere may have.
sed 's/$/\r/' "$capture" >"$work/crlf.capture"
check "CRLF capture" "$(cat "$data/opening.events")" \
    "$("$cli" --replay "$work/crlf.capture" "${settings[@]}" | grep -v '"event":"spot"')"

# A capture that cannot be read is one line of message and exit 1, never an abort.
mkdir "$work/dir.capture"
for input in "missing.capture:No such file or directory" "dir.capture:it is a directory" \
    $'new\nline:No such file or directory'; do
    err=$("$cli" --replay "$work/${input%%:*}" "${settings[@]}" 2>&1)
    check "unreadable capture exit code" 1 $?
    check "unreadable capture message" \
        "ionvane-cli: cannot read the capture $work/${input%%:*}: ${input#*:}" "${err//\\n/$'\n'}"
    check "message on one line" 1 "$(wc -l <<<"$err")"
done

# Recording in a history store: the same output, the store made.
out=$("$cli" --replay "$capture" "${settings[@]}" --locale en_US --history "$work/h.sqlite")
check "history exit code" 0 $?
check "history same output" "$again" "$out"
check "history file made" yes "$([[ -s $work/h.sqlite ]] && echo yes)"
echo "not a database at all" >"$work/bad.sqlite"
err=$("$cli" --replay "$capture" "${settings[@]}" --history "$work/bad.sqlite" 2>&1 >/dev/null)
check "damaged history exit code" 0 $?
check "damaged history message" "moved aside" "$(grep -o 'moved aside' <<<"$err")"
"$cli" --replay "$capture" "${settings[@]}" --history none >/dev/null
check "history none" "" "$(ls "$work/data" 2>/dev/null)"
# A disk that fills during the replay (a file size limit holds for root too): exit 1, lines counted.
awk 'BEGIN { for (i = 0; i < 20000; i++) printf "2026-06-14T10:00:00Z\tDX de G4ABC: %d\n", i }' \
    >"$work/big.capture"
err=$( (trap '' XFSZ && ulimit -f 256 && exec "$cli" --replay "$work/big.capture" \
    "${settings[@]}" --history "$work/full.sqlite") 2>&1 >/dev/null)
check "full disk exit code" 1 $?
check "full disk message" 1 "$(grep -c 'lines of .* could not be recorded in the history' <<<"$err")"

for bad in "--json" "--alarm-band 3m" "--min-km 6m=50" "--min-km 6m" "--min-km 3m=500" \
    "--max-hop-km lots" "--max-hop-km 5000" "--from IO90IR"; do
    # shellcheck disable=SC2086
    "$cli" --replay "$capture" "${settings[@]}" $bad >/dev/null 2>&1
    check "usage error for $bad" 2 $?
done

# An Italy-Spain opening whose spots mostly carry no locator: the calls are placed by the grids
# they were heard with (a CC11 grid, a feed report) and by the country file, each end saying how;
# coarse places are listed and count for nothing; maritime mobiles and words are never placed; the
# double hops to the Canaries and Cape Verde are listed in the verdicts.
placing=$("$cli" --replay "$data/placing.capture" "${settings[@]}" --locale en_US \
    --cty "$data/cty-sample.dat")
check "placed replay" "$(cat "$data/placing.events")" \
    "$({ grep -v '"event":"spot"' <<<"$placing"
        grep '"event":"spot"' <<<"$placing" | grep -o '"time":"[^"]*"\|"placed":{[^}]*}' |
            paste -sd' ' | sed 's/ "time"/\n"time"/g'; })"
unplaced=$("$cli" --replay "$data/placing.capture" "${settings[@]}" --cty none --no-grid-memory)
check "nothing placed without the country file and the grid memory" 0 \
    "$(grep -c '"placed"\|too coarsely' <<<"$unplaced")"
err=$("$cli" --replay "$data/placing.capture" "${settings[@]}" --cty "$work" 2>&1 >/dev/null)
check "a country file that is a directory" \
    "ionvane-cli: the country file $work is not used: it is a directory" "$err"

checks_summary "replay tests"

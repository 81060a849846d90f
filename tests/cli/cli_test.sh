#!/usr/bin/env bash
# ionvane-cli from the outside: exact output, exit codes, batch streaming, settings file.
set -u
cli=$1
memory_limit_kb=${2:-65536} # 0: not measured
# shellcheck source=../lib/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/check.sh"
# shellcheck source=../lib/scratch_home.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/scratch_home.sh"

settings=(--home IO90IR --es-layer 110 --masl 150 --locale en_US)

out=$("$cli" --json --from IO90IR --to JN77EX --freq 50.1 "${settings[@]}")
check "worked example json" 0 $?
expected='{"status":0,"message":"","focus":"txtFromLoc","title":"MUF = 62.96mhz,  try towards JN77EX","homeLocator":"IO90IR","labels":{"lblAZResult":"es from IO90IR to JN77EX on 50.1mhz","lblAzResult2":"(Azimuth = 99.52)   (Elevation = 7.88deg)   (Distance = 1,172.77km)","lblMidPoint":"Centre of path = JN39JO  Critical Freq = 11.40  MUF = 62.96mhz","lblMUFqth":"From IO90IR try towards JN77EX","lblMUFqth2":"(Azimuth = 99.52)   (Elevation = 7.89deg)   (Distance = 1,172.77km)","lblFOT":"Frequency of traffic = 50.04mhz"}'
check "worked example json texts" "$expected" "${out%%,\"distanceKm\"*}"

out=$("$cli" --from io90ir --to jn77ex --freq 50.1 "${settings[@]}")
check "text output" "es from IO90IR to JN77EX on 50.1mhz
(Azimuth = 99.52)   (Elevation = 7.88deg)   (Distance = 1,172.77km)
Centre of path = JN39JO  Critical Freq = 11.40  MUF = 62.96mhz
From IO90IR try towards JN77EX
(Azimuth = 99.52)   (Elevation = 7.89deg)   (Distance = 1,172.77km)
Frequency of traffic = 50.04mhz" "$out"

out=$("$cli" --from IO90IR --to JN77EX --freq 50.1 "${settings[@]}" --locale de_DE)
check "german format" "(Azimuth = 99,52)   (Elevation = 7,88deg)   (Distance = 1.172,77km)" "$(sed -n 2p <<<"$out")"

err=$("$cli" --from IO9 --to JN77EX --freq 50 "${settings[@]}" 2>&1 >/dev/null)
check "error exit code" 1 $?
check "error on stderr" "ERROR!! From Locator < 4 Characters!" "$err"

out=$("$cli" --from IO90IR --to JN77EX --freq 0 "${settings[@]}" --json)
check "silent stop exit code" 1 $?
check "silent stop json" '{"status":0,"stopped":true,"message":"","focus":null,"title":"Ionvane by Tarkel","homeLocator":"IO90IR","labels":{"lblAZResult":"","lblAzResult2":"","lblMidPoint":"","lblMUFqth":"","lblMUFqth2":"","lblFOT":""}}' "$out"

for bad in "--es-layer 89" "--es-layer 131" "--es-layer abc" "--masl 0" "--masl 5001" "--masl 1.5" \
    "--locale xx_NOWHERE" "--bogus" "extra"; do
    # shellcheck disable=SC2086
    "$cli" --from IO90IR --to JN77EX --freq 50 $bad >/dev/null 2>&1
    check "usage error for $bad" 2 $?
done
"$cli" --to JN77EX --freq 50 >/dev/null 2>&1
check "missing --from" 2 $?
# The live sessions' options: each with its source, each value checked before anything connects.
for bad in "--band 6m --from IO90IR --to JN77EX --freq 50" "--call DK7UK --from IO90IR" \
    "--for 5 --from IO90IR" "--mqtt 127.0.0.1 --band 5m" "--mqtt 127.0.0.1:0" "--mqtt :1883" \
    "--mqtt 127.0.0.1 --json" "--mqtt 127.0.0.1 --for 0" "--mqtt 127.0.0.1 --masl 1.5" \
    "--mqtt 127.0.0.1 --es-layer 131" "--mqtt 127.0.0.1 --password x" \
    "--cluster 127.0.0.1 --mqtt 127.0.0.1" "--mqtt 127.0.0.1 --history="; do
    # shellcheck disable=SC2086
    "$cli" $bad >/dev/null 2>&1
    check "usage error for $bad" 2 $?
done
err=$("$cli" --mqtt 127.0.0.1 --band 5m 2>&1)
check "band message" "ionvane-cli: --band takes 10m, 6m, 4m or 2m" "$(head -1 <<<"$err")"
check "live usage after a live error" "usage: ionvane-cli --cluster HOST[:PORT] --call CALL" \
    "$(sed -n 2p <<<"$err" | cut -c1-52)"
# A stored password that cannot be read ends the run before anything connects.
mkdir -p "$work/config/Ionvane/cluster-password"
err=$("$cli" --cluster 127.0.0.1:9 --call DK7UK --for 5 --history none "${settings[@]}" 2>&1)
check "unreadable password exit code" 1 $?
check "unreadable password message" \
    "ionvane-cli: cannot read the stored cluster password file $work/config/Ionvane/cluster-password" \
    "$err"
rmdir "$work/config/Ionvane/cluster-password"
err=$("$cli" --band 6m --from IO90IR --to JN77EX --freq 50 2>&1)
check "band without mqtt message" "ionvane-cli: --band goes with --mqtt" "$(head -1 <<<"$err")"
"$cli" --help >/dev/null 2>&1
check "help exit code" 0 $?
out=$("$cli" --help-all 2>&1)
check "--help-all exit code" 0 $?
check "--help-all prints the help" "1" "$(grep -c -- '--spot <LINE>' <<<"$out")"

# --home is upper-cased as the home box would do it; --from and --to always were.
out=$("$cli" --from jn48qt --to im98 --freq 144.174 --home jo62qm --es-layer 110 --masl 150 --locale en_US)
check "lower-case --home" 0 $?
check "lower-case --home shown" "From JO62QM try towards IM84IK" "$(sed -n 4p <<<"$out")"

# Regional number formats: the decimal comma and the point both read as a decimal point.
out=$("$cli" --from IO90IR --to JN77EX --freq 50,1 "${settings[@]}" --locale de_DE)
check "german decimal comma" "es from IO90IR to JN77EX on 50,1mhz" "$(head -1 <<<"$out")"
out=$("$cli" --from IO90IR --to JN77EX --freq 50,1 "${settings[@]}" --locale pl_PL)
check "polish decimal comma" "es from IO90IR to JN77EX on 50,1mhz" "$(head -1 <<<"$out")"
out=$("$cli" --locale pl_PL --spot "DX de DK7UK:     50313.0  EA8XXX       JN48<ES>IL18 FT8 -12dB         1206Z" --home JO90 --es-layer 110 --masl 150)
check "polish spot" "es from JN48MM to IL18MM on 50,313mhz" "$(head -1 <<<"$out")"
for loc in fr_FR de_DE tr_TR en_US; do
    out=$("$cli" --locale $loc --spot "DX de DK7UK: 50313.0 EA8XXX JN48<ES>IL18 1206Z" --home JO90 --es-layer 110 --masl 150)
    check "spot in $loc" 0 $?
done
out=$(LC_ALL=tr_TR.UTF-8 "$cli" --spot "144.174 io91vl<ES>jn58td" "${settings[@]}")
check "turkish process locale" "es from IO91VL to JN58TD on 144.174mhz" "$(head -1 <<<"$out")"

# Read and write errors end with a message and exit 1, never an abort or a silent success.
err=$("$cli" --batch "${settings[@]}" <&- 2>&1 >/dev/null)
check "stdin closed exit code" 1 $?
check "stdin closed message" "ionvane-cli: cannot read the input: standard input is closed" "$err"
"$cli" --from IO90IR --to JN77EX --freq 50.1 "${settings[@]}" >&- 2>/dev/null
check "stdout closed exit code" 1 $?
err=$("$cli" --batch "${settings[@]}" <"$work" 2>&1 >/dev/null)
check "stdin a directory exit code" 1 $?
check "stdin a directory message" "ionvane-cli: cannot read the input" "$(cut -c1-34 <<<"$err")"
err=$("$cli" --from IO90IR --to JN77EX --freq 50.1 "${settings[@]}" 2>&1 >/dev/full)
check "full disk exit code" 1 $?
check "full disk message" "ionvane-cli: cannot write the output (disk full or output closed)" "$err"
err=$(printf 'IO90IR JN77EX 50.1\n' | "$cli" --batch "${settings[@]}" 2>&1 >/dev/full)
check "full disk batch exit code" 1 $?
err=$("$cli" --help 2>&1 >/dev/full)
check "full disk help exit code" 1 $?

# Batch: blank and comment lines skipped, a malformed line reported, line numbers 1-based.
out=$(printf '# spots\nIO90IR JN77EX 50.1\n\nIO90IR JN77EX\nIO91VL JN58TD 50.1 JN77\n' |
    "$cli" --batch --home IO90IR --es-layer 110 --masl 150 --locale en_US)
check "batch exit code" 0 $?
check "batch line count" 3 "$(wc -l <<<"$out")"
check "batch first line" '{"line":2,"status":0,' "$(sed -n 1p <<<"$out" | cut -c1-21)"
check "batch malformed" '{"line":4,"error":"expected FROM TO FREQ [HOME]"}' "$(sed -n 2p <<<"$out")"
check "batch home field" '"homeLocator":"JN77IO"' "$(sed -n 3p <<<"$out" | grep -o '"homeLocator":"[^"]*"')"

# Batch streams: the answer to a line comes before the input ends.
fifo=$work/fifo
mkfifo "$fifo"
"$cli" --batch "${settings[@]:2}" <"$fifo" >"$work/stream" &
pid=$!
exec 3>"$fifo"
echo "IO90IR JN77EX 50.1" >&3
for _ in $(seq 50); do
    [[ -s $work/stream ]] && break
    sleep 0.1
done
check "batch streams" 1 "$(wc -l <"$work/stream")"
exec 3>&-
wait "$pid"

# Settings from the per-user file when options are missing.
mkdir -p "$work/config/Ionvane"
printf 'JN77EX\r\n100\r\n1\r\n' >"$work/config/Ionvane/homeloc.dat"
out=$("$cli" --json --from IO90IR --to JN58TD --freq 50.1 --locale en_US)
check "settings file home" '"homeLocator":"JN77EX"' "$(grep -o '"homeLocator":"[^"]*"' <<<"$out")"
check "settings file quoted" '"lblMUFqth":"From JN77EX try towards' "$(grep -o '"lblMUFqth":"From JN77EX try towards' <<<"$out")"

# The window and the command line share the folder of the build: a homeloc.dat beside the
# program wins over the per-user one.
mkdir -p "$work/bin"
cp "$cli" "$work/bin/ionvane-cli"
printf '\xEF\xBB\xBFJO62QM\r\n100\r\n1\r\n' >"$work/bin/homeloc.dat"
out=$("$work/bin/ionvane-cli" --json --from IO90IR --to JN58TD --freq 50.1 --locale en_US)
check "settings beside the program" '"homeLocator":"JO62QM"' "$(grep -o '"homeLocator":"[^"]*"' <<<"$out")"
rm "$work/bin/homeloc.dat"
out=$("$work/bin/ionvane-cli" --json --from IO90IR --to JN58TD --freq 50.1 --locale en_US)
check "per-user settings when none beside" '"homeLocator":"JN77EX"' "$(grep -o '"homeLocator":"[^"]*"' <<<"$out")"

# Hostile input: a 10 MB line and 100,000 lines stream through in bounded memory.
{
    head -c 10000000 /dev/zero | tr '\0' 'A'
    echo
    for _ in $(seq 10000); do
        printf 'IO91VL JN58TD 50.1\nIO90 JN77 144.3 JN58\nKM72 KN04 70.2\nx y\n# note\n'
        printf 'IO90IR JN77EX 50.1\nIO90IR JN77EX 0\nIO9 JN77 50\nFE16IR ON13IG 50\n\xff\x00 a b\n'
    done
} >"$work/hostile.txt"
/usr/bin/time -f '%M' -o "$work/rss" "$cli" --batch "${settings[@]}" <"$work/hostile.txt" >"$work/hostile.out"
check "hostile batch exit code" 0 $?
check "hostile batch objects" 90001 "$(wc -l <"$work/hostile.out")"
check "hostile batch long line" '{"line":1,"error":"line too long"}' "$(head -1 "$work/hostile.out")"
rss_kb=$(cat "$work/rss")
if [[ $memory_limit_kb -gt 0 ]]; then
    check "hostile batch peak memory ${rss_kb} kB under ${memory_limit_kb} kB" yes \
        "$([[ $rss_kb -lt $memory_limit_kb ]] && echo yes || echo no)"
fi

# A recorded cluster session piped straight in: one JSON line for each spot, in order.
session=$(dirname "$0")/../data/cluster_session.txt
out=$("$cli" --batch --spots "${settings[@]}" <"$session")
check "spots exit code" 0 $?
check "spots lines" 8 "$(wc -l <<<"$out")"
check "spots line numbers" "5 6 11 12 13 14 15 16" "$(grep -o '^{"line":[0-9]*' <<<"$out" | grep -o '[0-9]*$' | tr '\n' ' ' | sed 's/ $//')"
check "spot from cluster line" '"lblAZResult":"es from JN48QT to IM98MM on 50.099mhz"' \
    "$(sed -n 1p <<<"$out" | grep -o '"lblAZResult":"[^"]*"')"
check "trailing grid is From" '"lblAZResult":"es from JO65MM to IL38BO on 50.313mhz"' \
    "$(sed -n 2p <<<"$out" | grep -o '"lblAZResult":"[^"]*"')"
check "spot without locators" '{"line":13,"skipped":"No locators found in the spot"}' "$(sed -n 5p <<<"$out")"
check "spot with one locator" '{"line":14,"skipped":"Only one locator found in the spot"}' "$(sed -n 6p <<<"$out")"
check "spot of another mode skipped" '{"line":16,"skipped":"tagged AU, not Es"}' "$(sed -n 8p <<<"$out")"
out=$("$cli" --batch --spots "${settings[@]}" --locale pl_PL <"$session")
check "spots in a decimal-comma locale" '"lblAZResult":"es from JN48QT to IM98MM on 50,099mhz"' \
    "$(sed -n 1p <<<"$out" | grep -o '"lblAZResult":"[^"]*"')"
check "spots in a decimal-comma locale, no frequency error" 0 "$(grep -c 'No working Frequency' <<<"$out")"
out=$("$cli" --batch --spots --any-mode "${settings[@]}" <"$session")
check "--any-mode calculates it" '"tag":"AU","es":false' "$(sed -n 8p <<<"$out" | grep -o '"tag":"[^"]*","es":[a-z]*')"
"$cli" --batch --any-mode "${settings[@]}" </dev/null >/dev/null 2>&1
check "--any-mode without --spots" 2 $?

out=$("$cli" --spot "144.174 io91vl<ES>jn58td" "${settings[@]}")
check "single spot" "es from IO91VL to JN58TD on 144.174mhz" "$(head -1 <<<"$out")"
out=$("$cli" --json --spot "DX de DK7UK: 144100.0 W5XX EM12<EME>JO31 1206Z" "${settings[@]}")
check "spot of another mode still calculated" 0 $?
check "spot json tag" '"tag":"EME","es":false' "$(grep -o '"tag":"[^"]*","es":[a-z]*' <<<"$out")"
out=$("$cli" --json --spot "50313.0 OH60AA IO91<ES>KP20" "${settings[@]}")
check "spot json es" '"from":"IO91","to":"KP20","tag":"ES","es":true,"dxCall":"OH60AA"' \
    "$(grep -o '"from":.*"dxCall":"[^"]*"' <<<"$out")"
err=$("$cli" --spot "DX de OZ1XX: 50313.0 9H1XX JO55 FT8 2016Z JO55" "${settings[@]}" 2>&1 >/dev/null)
check "spotter grid is the only locator" "ionvane-cli: Both locators of the spot name the same place" "$err"

# Batch spots: every spot line with a frequency and a locator is answered; the node's messages
# (announcements, talk) stay silent whatever they name.
out=$(printf 'DX de DK7UK: 50313.0 EA8XXX JN48<ES>IL18 1206Z\a\a\nTo ALL de DL1ABC: Es on 50.313 from JN48 to IM98\nDX de OZ1XX: 50313.0 9H1XX JO55 FT8 2016Z JO55\n\nhello\nDL1ABC: 50.313 JO40 IL18\nDK7UK de DL1ABC: 50313 JO40 IL18 open\n' |
    "$cli" --batch --spots "${settings[@]}")
check "batch spots answered" 3 "$(wc -l <<<"$out")"
check "batch spots same place" '{"line":3,"skipped":"Both locators of the spot name the same place"}' "$(sed -n 2p <<<"$out")"
check "batch spots unknown form" '{"line":6,"skipped":"Not a spot line the program knows"}' "$(sed -n 3p <<<"$out")"
err=$("$cli" --spot "hello there" "${settings[@]}" 2>&1 >/dev/null)
check "unreadable spot exit code" 1 $?
check "unreadable spot message" "ionvane-cli: No locators found in the spot" "$err"
err=$("$cli" --spot "73 de DK7UK" "${settings[@]}" 2>&1 >/dev/null)
check "talk as spot exit code" 1 $?
check "talk as spot message" "ionvane-cli: Not a spot" "$err"
"$cli" --spot "50.1 IO90 JN77" --from IO90 "${settings[@]}" >/dev/null 2>&1
check "--spot with --from" 2 $?
"$cli" --spots "${settings[@]}" >/dev/null 2>&1 </dev/null
check "--spots without --batch" 2 $?

checks_summary

#!/usr/bin/env bash
# ionvane-cli --replay --muf-map from the outside: the Es MUF per square as GeoJSON lines, after
# the events and each --every seconds of the capture's time, against a file checked by hand; and
# the usage errors of the two options.
set -u
cli=$1
data=$2
# shellcheck source=../lib/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/check.sh"
# shellcheck source=../lib/scratch_home.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/scratch_home.sh"

settings=(--home IO90IR --es-layer 110 --masl 150 --locale en_US)
capture=$data/opening.capture

# opening.mufmap, checked against the spot events: the 6 m spot at 10:00:00 reflected over JN39JO
# (MUF 62.96 MHz), the 2 m spots at 10:00:30 over JN48AW (182.97) and at 10:00:40 over JN39QO
# (182.69). Each square 2 by 1 degrees from its south-west corner (JN39: 6 E 49 N, JN48: 8 E 48 N);
# at 10:15:00 the 10:00:00 spot is a quarter hour old and gone, at 10:16:00 all of them.
out=$("$cli" --replay "$capture" "${settings[@]}" --muf-map 15 --every 300)
check "muf map exit code" 0 $?
check "muf maps every 5 minutes and after the events" "$(cat "$data/opening.mufmap")" \
    "$(grep '"FeatureCollection"' <<<"$out")"
check "events unchanged" "$("$cli" --replay "$capture" "${settings[@]}")" \
    "$(grep -v '"FeatureCollection"' <<<"$out")"
# The map of 10:00:00 holds the spot received then: it follows that line's events and comes
# before those of the next line.
first=$(grep -n '"FeatureCollection"' <<<"$out" | head -1 | cut -d: -f1)
check "map of 10:00:00 among the events" '"time":"2026-06-14T10:00:00Z" "time":"2026-06-14T10:00:05Z"' \
    "$(sed -n "$((first - 1))p;$((first + 1))p" <<<"$out" | grep -o '"time":"[^"]*"' | paste -sd' ')"
check "last line is the map" '{"type":"FeatureCollection","time":"2026-06-14T10:16:00Z","windowMinutes":15,"features":[]}' \
    "$(tail -1 <<<"$out")"

# Over half an hour every spot stays to the end.
out=$("$cli" --replay "$capture" "${settings[@]}" --muf-map 30)
check "one map without --every" 1 "$(grep -c '"FeatureCollection"' <<<"$out")"
check "half hour squares" "JN39 182.69 2|JN48 182.97 1" \
    "$(tail -1 <<<"$out" | grep -o '"square":"[A-Z0-9]*","mufMHz":[0-9.]*,"spots":[0-9]*' |
        sed 's/"square":"\([^"]*\)","mufMHz":\([^,]*\),"spots":\(.*\)/\1 \2 \3/' | paste -sd'|')"

for bad in "--muf-map 20" "--muf-map x" "--muf-map 15 --every 0" "--muf-map 15 --every 1.5" \
    "--muf-map 15 --every 86401" "--every 60"; do
    # shellcheck disable=SC2086
    "$cli" --replay "$capture" "${settings[@]}" $bad >/dev/null 2>&1
    check "usage error for $bad" 2 $?
done
"$cli" --from IO90 --to JN77 --freq 50 --muf-map 15 >/dev/null 2>&1
check "usage error for --muf-map without a session" 2 $?

checks_summary "muf map tests"

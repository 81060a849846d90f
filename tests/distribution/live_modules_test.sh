#!/usr/bin/env bash
# The live module: the program binds none of the network, feed and database libraries (they would
# delay the calculator's start), and `ionvane --live` loads the module, whose core, made once the
# window is drawn, opens the history store.
#   live_modules_test.sh IONVANE
set -u
window=$1
# shellcheck source=../lib/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/check.sh"

check "the program needs no network, feed or database library" "" \
    "$(readelf -d "$window" | grep -E 'NEEDED.*(Network|Sql|mosquitto|ssl|crypto)')"

work=$(mktemp -d)
pid=
trap 'kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT
QT_QPA_PLATFORM=offscreen XDG_DATA_HOME=$work/data XDG_CONFIG_HOME=$work/config \
    "$window" --live >/dev/null 2>&1 &
pid=$!
# Bounded: 30 s covers a sanitizer build on a loaded machine; a start takes well under one.
for _ in $(seq 300); do
    [[ -e $work/data/Ionvane/history.sqlite ]] && break
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
done
check "the core opened the history store" yes \
    "$([[ -e $work/data/Ionvane/history.sqlite ]] && echo yes)"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
rm -rf "$work"
trap - EXIT
checks_summary

#!/usr/bin/env bash
# Runs each fuzz target for FUZZ_SECONDS (default 60) from the corpus kept in the repository and
# prints the executions of each; fails on any crash. New inputs go to a scratch corpus.
set -euo pipefail
seconds=${FUZZ_SECONDS:-60}
build=${1:-build/fuzz}
root=$(cd "$(dirname "$0")/.." && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
status=0
for target in calculate settings batch feed topojson capture cluster wsjtx cty rotctld review; do
    mkdir -p "$scratch/$target"
    log=$scratch/$target.log
    if ! "$build/bin/fuzz_$target" "$scratch/$target" "$root/tests/fuzz/corpus/$target" \
        -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
        -artifact_prefix="$scratch/" >"$log" 2>&1; then
        echo "fuzz_$target: CRASH"
        tail -40 "$log"
        mkdir -p "$root/build/fuzz-artifacts"
        cp "$scratch"/crash-* "$scratch"/leak-* "$scratch"/timeout-* "$root/build/fuzz-artifacts/" \
            2>/dev/null || true
        status=1
        continue
    fi
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$')
    printf 'fuzz_%-10s %10s executions in %ss, no crash\n' "$target" "$runs" "$seconds"
done
exit $status

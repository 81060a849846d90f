# shellcheck shell=bash
# The counting checks of the shell tests, sourced by each of them.
#   check NAME EXPECTED ACTUAL   counts a pass, or counts a failure and prints both texts quoted
#   checks_summary [LABEL]       prints "LABEL: N passed, M failed"; its status is 0 only when
#                                nothing failed, so a test ends with it.
passed=0
failed=0

check() { # name, expected, actual
    if [[ "$2" == "$3" ]]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        printf 'FAIL %s\n  expected: %q\n  actual:   %q\n' "$1" "$2" "$3"
    fi
}

# The label is optional: most tests print the bare counts.
# shellcheck disable=SC2120
checks_summary() { # [label]
    echo "${1:+$1: }$passed passed, $failed failed"
    [[ $failed -eq 0 ]]
}

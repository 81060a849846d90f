#!/usr/bin/env bash
# Every option that a program's --help lists is in its manual page, and every option of the manual
# page is in --help; the same for the options that the bash completions of both programs offer.
#   options_documented_test.sh IONVANE-CLI IONVANE CLI-MANUAL.1.gz WINDOW-MANUAL.1.gz COMPLETION
#       WINDOW-COMPLETION
set -u
cli=$1
window=$2
cli_manual=$3
window_manual=$4
completion=$5
window_completion=$6
failed=0

# The long options of a --help text, one a line, sorted.
help_options() {
    grep -oE '^  (-[A-Za-z], )?--[a-z0-9-]+' | grep -oE -- '--[a-z0-9-]+$' | sort -u
}

# The long options of the OPTIONS section of a rendered manual page: its option lines are the
# lines indented by seven spaces that start with a dash.
manual_options() {
    LC_ALL=C MANWIDTH=200 man -l "$1" 2>/dev/null |
        awk '/^OPTIONS/ { on = 1; next } /^[A-Z]/ { on = 0 } on && /^       -/' |
        grep -oE -- '--[a-z0-9-]+' | sort -u
}

# The options a completion file offers after "PROGRAM --", with its function.
completion_options() { # file, program, function
    bash -c '
        source /usr/share/bash-completion/bash_completion
        source "$1"
        COMP_LINE="$2 --"
        COMP_POINT=${#COMP_LINE}
        COMP_WORDS=("$2" --)
        COMP_CWORD=1
        "$3" "$2" -- "$2"
        printf "%s\n" "${COMPREPLY[@]}"' _ "$1" "$2" "$3" | sort -u
}

compare() { # what, listed by --help, listed by the other
    if [[ -z "$2" ]]; then
        echo "FAIL $1: --help lists no options"
        failed=1
    elif [[ "$2" != "$3" ]]; then
        echo "FAIL $1 (< only in --help, > only in the other):"
        diff <(echo "$2") <(echo "$3") | grep '^[<>]'
        failed=1
    else
        echo "ok   $1: $(echo "$2" | wc -l) options"
    fi
}

cli_help=$(QT_QPA_PLATFORM=offscreen "$cli" --help | help_options)
window_help=$(env -u DISPLAY -u WAYLAND_DISPLAY "$window" --help | help_options)

compare "ionvane-cli(1) manual page" "$cli_help" "$(manual_options "$cli_manual")"
compare "ionvane-cli bash completion" "$cli_help" \
    "$(completion_options "$completion" ionvane-cli _ionvane_cli)"
compare "ionvane(1) manual page" "$window_help" "$(manual_options "$window_manual")"
compare "ionvane bash completion" "$window_help" \
    "$(completion_options "$window_completion" ionvane _ionvane)"
exit $failed

#!/usr/bin/env bash
# The bash completion of ionvane-cli: options, locale names for --locale, files for the options
# that take a file, nothing for free text.
#   completion_test.sh COMPLETION
set -u
completion=$(realpath "$1")
# shellcheck source=../lib/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/check.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# What the completion offers for a command line, the word under the cursor being its last word;
# sorted, on one line.
complete_line() {
    (
        cd "$work/files" || exit 1
        bash -c '
            source /usr/share/bash-completion/bash_completion
            source "$1"
            # The system locales, as "locale -a" lists them on a machine with a few generated.
            locale() { printf "%s\n" C C.utf8 POSIX de_DE.utf8 en_US.utf8 pl_PL.utf8 sr_RS@latin; }
            shift
            COMP_WORDS=("$@")
            COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
            COMP_LINE="$*"
            COMP_POINT=${#COMP_LINE}
            _ionvane_cli ionvane-cli "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
            printf "%s\n" "${COMPREPLY[@]}"' _ "$completion" "$@" | sort | tr '\n' ' ' |
            sed 's/ $//'
    )
}

mkdir -p "$work/files/captures"
touch "$work/files/opening.log" "$work/files/history.sqlite"

check "option by its start" "--es-layer" "$(complete_line ionvane-cli --es)"
check "options after others" "--spot --spots" "$(complete_line ionvane-cli --batch --spo)"
check "all locales, encodings dropped" "C POSIX de_DE en_US pl_PL sr_RS" \
    "$(complete_line ionvane-cli --from IO90IR --locale "")"
check "locale by its start" "de_DE" "$(complete_line ionvane-cli --locale de)"
check "files for --replay" "captures history.sqlite opening.log" \
    "$(complete_line ionvane-cli --replay "")"
check "files for --log by their start" "opening.log" "$(complete_line ionvane-cli --log op)"
check "files for --history" "history.sqlite" "$(complete_line ionvane-cli --history h)"
check "nothing for a locator" "" "$(complete_line ionvane-cli --from "")"
check "nothing for free words" "" "$(complete_line ionvane-cli --batch "")"

checks_summary

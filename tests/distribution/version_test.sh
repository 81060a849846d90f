#!/usr/bin/env bash
# --version and --help of both programs; the window answers them without a display.
#   version_test.sh IONVANE-CLI IONVANE PROJECT_VERSION
set -u
cli=$1
window=$2
version=$3
# shellcheck source=../lib/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/check.sh"

check "version has three numbers" yes "$([[ $version =~ ^[0-9]+\.[0-9]+\.[0-9]+$ ]] && echo yes)"

out=$("$cli" --version)
check "ionvane-cli --version exit code" 0 $?
check "ionvane-cli --version" "ionvane-cli $version" "$out"
check "ionvane-cli -v" "ionvane-cli $version" "$("$cli" -v --from IO90IR)"

# No display at all: QApplication would abort here, so these answer before it is made.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM)
out=$("${nodisplay[@]}" "$window" --version 2>&1)
check "ionvane --version exit code" 0 $?
check "ionvane --version" "ionvane $version" "$out"
out=$("${nodisplay[@]}" "$window" --help 2>&1)
check "ionvane --help exit code" 0 $?
check "ionvane --help first line" "Usage: ionvane [options]" "$(head -1 <<<"$out")"
check "ionvane --help lists --version" "  -v, --version  Displays version information." \
    "$(grep -e '--version' <<<"$out")"

# With Qt's own options in front, the answer comes after QApplication has taken them out.
out=$(env -u QT_QPA_PLATFORM "$window" -platform offscreen --version 2>/dev/null)
check "ionvane -platform offscreen --version" "ionvane $version" "$out"

err=$(QT_QPA_PLATFORM=offscreen "$window" --bogus 2>&1 >/dev/null)
check "ionvane unknown option exit code" 2 $?
check "ionvane unknown option message" "ionvane: Unknown option 'bogus'." "$(grep '^ionvane:' <<<"$err")"
QT_QPA_PLATFORM=offscreen "$window" IO90IR >/dev/null 2>&1
check "ionvane unexpected argument exit code" 2 $?

checks_summary

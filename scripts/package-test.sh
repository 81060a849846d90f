#!/usr/bin/env bash
# The Debian package from end to end: builds it from a build directory, runs lintian on it,
# installs it (apt-get hands it to dpkg and resolves its dependencies), uses the installed
# programs, manual pages and completion, removes it and checks that nothing of it is left.
# Needs root, as CI runs; anyone else gets a clear skip.
#   scripts/package-test.sh [BUILD_DIR]
set -euo pipefail
build=$(cd "${1:-build/ci}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)

if [[ $(id -u) -ne 0 ]]; then
    echo "package test: SKIPPED: installing the package needs root (CI runs make test as root)"
    exit 0
fi
if dpkg-query -W -f='${Status}' ionvane 2>/dev/null | grep -q ' installed$'; then
    echo "package test: FAILED: ionvane is already installed here and would be replaced;" \
        "remove it first (apt-get purge ionvane)"
    exit 1
fi
"$root/scripts/install-deps.sh"

work=$(mktemp -d)
installed=no
cleanup() {
    if [[ $installed == yes ]]; then
        apt-get purge -y -qq -o DPkg::Lock::Timeout=300 ionvane >/dev/null 2>&1 || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
# Readable by apt's unprivileged download user, which otherwise warns.
chmod 755 "$work"

# shellcheck source=../tests/lib/check.sh
source "$root/tests/lib/check.sh"

(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || {
    cat "$work/cpack.log"
    exit 1
}
deb=$(echo "$work"/deb/ionvane_*.deb)
chmod 644 "$deb"
version=$(dpkg-deb -f "$deb" Version)
echo "package test: $(basename "$deb")"

# lintian: no finding at any level (lintian itself warns that it runs as root).
findings=$(lintian -E -I --pedantic "$deb" 2>&1 | grep -v '^running with root privileges' || true)
check "lintian findings" "" "$findings"

# Every directory the package puts something in, as it is before the installation.
dpkg-deb -c "$deb" | awk '{ print $6 }' | sed 's|^\./|/|; s|/$||' | grep -v '^$' >"$work/paths"
while read -r path; do
    [[ -e $path ]] && echo "$path" >>"$work/existing"
done <"$work/paths"
# What in them bears the program's name or is its settings file (such as a homeloc.dat that a
# program run wrote beside itself); other packages may come and go meanwhile.
snapshot() {
    while read -r path; do
        [[ -d $path ]] && find "$path" -mindepth 1 -maxdepth 1 \( -iname '*ionvane*' -o \
            -name 'homeloc*' \) | sort
    done <"$work/existing"
}
snapshot >"$work/before"

# Manual pages are kept even where dpkg is told to drop /usr/share/man (container images).
apt-get install -y -qq -o DPkg::Lock::Timeout=300 \
    -o DPkg::Options::=--path-include=/usr/share/man/man1/ionvane* "$deb" >"$work/apt.log" 2>&1 ||
    {
        # Dependencies the package lists may not be known yet on a fresh machine.
        apt-get update -qq -o DPkg::Lock::Timeout=300 >/dev/null
        apt-get install -y -qq -o DPkg::Lock::Timeout=300 \
            -o DPkg::Options::=--path-include=/usr/share/man/man1/ionvane* "$deb" \
            >"$work/apt.log" 2>&1 || {
            cat "$work/apt.log"
            exit 1
        }
    }
installed=yes

check "installed" "install ok installed" "$(dpkg-query -W -f='${Status}' ionvane)"
check "ionvane-cli on the PATH" /usr/bin/ionvane-cli "$(command -v ionvane-cli)"
check "ionvane-cli --version" "ionvane-cli $version" "$(ionvane-cli --version)"
check "ionvane --version without a display" "ionvane $version" \
    "$(env -u DISPLAY -u WAYLAND_DISPLAY ionvane --version 2>&1)"

# The live module (the window and its core) where the program looks for it (a path it keeps as
# UTF-16 text), with every library it needs.
for name in live_window; do
    module=$(dpkg -L ionvane | grep "/libionvane_$name\\.so$")
    check "$name module beside the program" \
        "$(realpath -m "/usr/bin/$(strings -el /usr/bin/ionvane | grep -m1 "libionvane_$name\\.so$")")" \
        "$module"
    check "$name module's libraries" "" "$(ldd "$module" 2>&1 | grep 'not found')"
done

# The worked example of the README, run by a user of its own, with a home of its own.
mkdir "$work/home"
example=(--from IO90IR --to JN77EX --freq 50.1 --home IO90IR --es-layer 110 --masl 150
    --locale en_US)
out=$(HOME=$work/home XDG_CONFIG_HOME=$work/home/.config ionvane-cli "${example[@]}")
check "worked example exit code" 0 $?
check "worked example" "es from IO90IR to JN77EX on 50.1mhz
(Azimuth = 99.52)   (Elevation = 7.88deg)   (Distance = 1,172.77km)
Centre of path = JN39JO  Critical Freq = 11.40  MUF = 62.96mhz
From IO90IR try towards JN77EX
(Azimuth = 99.52)   (Elevation = 7.89deg)   (Distance = 1,172.77km)
Frequency of traffic = 50.04mhz" "$out"
out=$(HOME=$work/home XDG_CONFIG_HOME=$work/home/.config ionvane-cli --json "${example[@]}")
check "worked example title" '"title":"MUF = 62.96mhz,  try towards JN77EX"' \
    "$(grep -o '"title":"[^"]*"' <<<"$out")"

check "man -w ionvane-cli" /usr/share/man/man1/ionvane-cli.1.gz "$(man -w ionvane-cli)"
check "man -w ionvane" /usr/share/man/man1/ionvane.1.gz "$(man -w ionvane)"
check "manual page renders" "ionvane-cli - sporadic-E MUF and try-towards calculator for scripts" \
    "$(MANPAGER=cat MANWIDTH=100 LC_ALL=C man ionvane-cli 2>&1 | grep -A1 '^NAME' | tail -1 |
        sed 's/^ *//')"
check "bash completion found by bash-completion" "complete -F _ionvane_cli ionvane-cli" \
    "$(bash -c 'source /usr/share/bash-completion/bash_completion
        __load_completion ionvane-cli && complete -p ionvane-cli' 2>&1)"
check "desktop entry" yes \
    "$([[ -f /usr/share/applications/io.github.ionvane.Ionvane.desktop ]] && echo yes)"
check "AppStream metainfo" yes \
    "$([[ -f /usr/share/metainfo/io.github.ionvane.Ionvane.metainfo.xml ]] && echo yes)"
check "copyright" yes "$([[ -f /usr/share/doc/ionvane/copyright ]] && echo yes)"
# The map outlines built into ionvane are the one third-party item: their source and licences.
check "copyright names the map data" "Files: map/data/* | License: public-domain | ISC" \
    "$(grep -o -e '^Files: map/data/\*' -e '^License: public-domain' -e 'under the ISC licence' \
        /usr/share/doc/ionvane/copyright | sed 's/under the ISC licence/ISC/' | paste -sd'|' |
        sed 's/|/ | /g')"

apt-get purge -y -qq -o DPkg::Lock::Timeout=300 ionvane >"$work/apt.log" 2>&1 || cat "$work/apt.log"
installed=no
check "removed" "" "$(dpkg-query -W -f='${Status}' ionvane 2>/dev/null | grep ' installed$')"
left=()
while read -r path; do
    if [[ -e $path ]] && ! grep -qxF "$path" "$work/existing"; then
        left+=("$path")
    fi
done <"$work/paths"
check "nothing of the package left" "" "${left[*]}"
check "nothing else left where it was" "" "$(diff "$work/before" <(snapshot) | grep '^[<>]')"

checks_summary "package test"

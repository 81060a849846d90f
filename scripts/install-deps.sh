#!/usr/bin/env bash
# Installs the Debian packages Ionvane needs to build, test and run, when any is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libqt6sql6-sqlite libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang-format clang libclang-rt-14-dev time
    xvfb xauth fonts-dejavu-core fonts-liberation2
    geographiclib-tools hamradio-files
    scdoc man-db bash-completion appstream desktop-file-utils
    file lintian
    libmosquitto-dev mosquitto
    openbox xdotool imagemagick qt6-gtk-platformtheme dunst
    libcanberra-dev libhamlib-utils dbus
    locales
)

# The regional formats the tests read and write numbers and spot lines in.
test_locales=(de_DE.UTF-8 en_US.UTF-8 fr_FR.UTF-8 pl_PL.UTF-8 ru_RU.UTF-8 tr_TR.UTF-8)

sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi

# Generates the test locales that `locale -a` does not list yet (it writes them as de_DE.utf8).
generate_locales() {
    local wanted=() name
    for name in "${test_locales[@]}"; do
        if ! locale -a 2>/dev/null | grep -qx "${name%.UTF-8}.utf8"; then
            wanted+=("$name")
        fi
    done
    [[ ${#wanted[@]} -eq 0 ]] && return 0
    echo "Generating locales: ${wanted[*]}"
    for name in "${wanted[@]}"; do
        if ! grep -qE "^${name} UTF-8" /etc/locale.gen; then
            echo "${name} UTF-8" | "${sudo[@]}" tee -a /etc/locale.gen >/dev/null
        fi
    done
    "${sudo[@]}" locale-gen >/dev/null
}

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
if [[ ${#missing[@]} -eq 0 ]]; then
    generate_locales
    exit 0
fi

echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
generate_locales

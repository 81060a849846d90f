#!/usr/bin/env bash
# Installs the Debian packages Ionvane needs to build, test and run, when any is missing.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev libqt6sql6-sqlite libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    clang-format clang libclang-rt-14-dev time
    xvfb xauth fonts-dejavu-core fonts-liberation2
    geographiclib-tools
    scdoc man-db bash-completion appstream desktop-file-utils
    file lintian
    libmosquitto-dev mosquitto
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
if [[ $(id -u) -ne 0 ]]; then
    sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# What the desktop and the software centre read: the desktop entry and the AppStream metainfo
# pass their validators, name each other, and the metainfo's screenshot is the one kept in the
# repository. The newest release of the metainfo and of the Debian changelog is the project
# version.
#   metadata_test.sh SOURCE_DIR PROJECT_VERSION
set -u
source_dir=$1
version=$2
desktop=$source_dir/app/io.github.ionvane.Ionvane.desktop
metainfo=$source_dir/app/io.github.ionvane.Ionvane.metainfo.xml
screenshot=$source_dir/app/screenshots/main-window.png
changelog=$source_dir/packaging/changelog.in
# shellcheck source=../lib/check.sh
source "$(dirname "${BASH_SOURCE[0]}")/../lib/check.sh"

# Hints count too: each has been acted on once, so a new one means something changed.
out=$(desktop-file-validate "$desktop" 2>&1)
check "desktop-file-validate exit code" 0 $?
check "desktop-file-validate findings" "" "$out"

out=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1)
status=$?
check "appstreamcli validate exit code" 0 $status
[[ $status -eq 0 ]] || echo "$out"

check "metainfo id is the desktop file id" "<id>io.github.ionvane.Ionvane</id>" \
    "$(grep -o '<id>[^<]*</id>' "$metainfo")"
check "metainfo launches the desktop file" \
    '<launchable type="desktop-id">io.github.ionvane.Ionvane.desktop</launchable>' \
    "$(grep -o '<launchable[^>]*>[^<]*</launchable>' "$metainfo")"
check "desktop entry category" "Categories=Network;HamRadio;" "$(grep '^Categories=' "$desktop")"

# The PNG header holds the width and the height as 32-bit big-endian numbers at bytes 16 and 20.
png_size=$(od -An -tu1 -j16 -N8 "$screenshot" |
    awk '{ printf "width=\"%d\" height=\"%d\"", $1*16777216 + $2*65536 + $3*256 + $4,
           $5*16777216 + $6*65536 + $7*256 + $8 }')
check "screenshot size as declared" "$png_size" \
    "$(grep -o 'width="[0-9]*" height="[0-9]*"' "$metainfo")"
check "screenshot is the kept file" "app/screenshots/main-window.png" \
    "$(grep -o 'app/screenshots/[^<]*' "$metainfo")"

check "newest metainfo release" "$version" \
    "$(grep -o '<release version="[^"]*"' "$metainfo" | head -1 | cut -d'"' -f2)"
check "newest changelog entry" "ionvane ($version)" "$(head -1 "$changelog" | cut -d' ' -f1-2)"

checks_summary

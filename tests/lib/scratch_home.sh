# shellcheck shell=bash
# A shell test's scratch folder, $work, removed when the test exits, holding its home and XDG
# folders: a test never reads or writes the user's real settings, history or data.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data

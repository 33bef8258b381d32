#!/usr/bin/env bash
# The demo's headless path, short: the simulator on a pseudo-terminal, the
# tour connects to it, leaves its screenshot and ends; the simulator is gone.
#   demo-short.sh <source dir> <build dir>
set -euo pipefail
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

env -u DISPLAY -u WAYLAND_DISPLAY "$1/scripts/demo" --short --prebuilt "$2" --folder "$folder"

[ "$(head -c 4 "$folder/connected.png" | tail -c 3)" = PNG ] || { echo "no screenshot"; exit 1; }
grep -qx '6=/.*/ttyRZ5300' "$folder/infoCong.ini" || { echo "settings not set to the terminal"; exit 1; }
[ ! -e "$folder/ttyRZ5300" ] || { echo "the simulator is still running"; exit 1; }
echo "demo --short: connected, $(stat -c %s "$folder/connected.png") byte screenshot"

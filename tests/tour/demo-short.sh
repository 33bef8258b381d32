#!/usr/bin/env bash
# The demo's headless path, short: the simulator on a pseudo-terminal (one
# a processor), the tour connects to the first, leaves its screenshot and
# ends; the simulator is gone. With several processors the settings file
# names each further one with its own terminal.
#   demo-short.sh <source dir> <build dir> [processors]
set -euo pipefail
processors=${3:-1}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

env -u DISPLAY -u WAYLAND_DISPLAY "$1/scripts/demo" --short --prebuilt "$2" --folder "$folder" --processors "$processors"

settings="$folder/infoCong.ini"
[ "$(head -c 4 "$folder/connected.png" | tail -c 3)" = PNG ] || { echo "no screenshot"; exit 1; }
grep -qx '6=/.*/ttyRZ5300' "$settings" || { echo "settings not set to the terminal"; exit 1; }
for i in $(seq 2 "$processors"); do
  sed -n "/^\[processor$i\]/,/^\[/p" "$settings" | grep -qx "6=/.*/ttyRZ5300-$i" \
    || { echo "processor $i not set to its terminal"; exit 1; }
done
if [ "$processors" -eq 1 ]; then
  ! grep -q '^\[processor' "$settings" || { echo "a station of one with processor groups"; exit 1; }
fi
! ls "$folder" | grep -q '^ttyRZ5300' || { echo "the simulator is still running"; exit 1; }
echo "demo --short, $processors processor(s): connected, $(stat -c %s "$folder/connected.png") byte screenshot"

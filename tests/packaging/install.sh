#!/usr/bin/env bash
# The install rules: everything lands where a desktop expects it, nothing
# else is installed, and the installed program starts (offscreen, with a
# home of its own) and keeps running until it is terminated.
#   install.sh <cmake> <build dir>
set -euo pipefail
tmp=$(mktemp -d)
program=""
trap '[ -z "$program" ] || kill "$program" 2>/dev/null || true; rm -rf "$tmp"' EXIT
prefix="$tmp/usr"

"$1" --install "$2" --prefix "$prefix" >/dev/null

expected="./bin/rz5300
./bin/rz5300-sim
./share/applications/rz5300.desktop
./share/icons/hicolor/256x256/apps/rz5300.png"
installed=$(cd "$prefix" && find . -type f | sort)
[ "$installed" = "$expected" ] || { printf 'installed:\n%s\nexpected:\n%s\n' "$installed" "$expected"; exit 1; }
[ -x "$prefix/bin/rz5300" ] && [ -x "$prefix/bin/rz5300-sim" ] || { echo "programs not executable"; exit 1; }

desktop="$prefix/share/applications/rz5300.desktop"
for line in 'Type=Application' 'Name=RZ5300 Control' 'Exec=rz5300' 'Icon=rz5300' 'Categories=AudioVideo;Video;Qt;'; do
  grep -qxF "$line" "$desktop" || { echo "desktop entry lacks: $line"; exit 1; }
done
[ "$(head -c 4 "$prefix/share/icons/hicolor/256x256/apps/rz5300.png" | tail -c 3)" = PNG ] || { echo "icon is no PNG"; exit 1; }

"$prefix/bin/rz5300-sim" --help | grep -q -- '--pty' || { echo "installed simulator does not start"; exit 1; }

mkdir "$tmp/home"
env -u XDG_DATA_HOME -u XDG_CONFIG_HOME HOME="$tmp/home" QT_QPA_PLATFORM=offscreen "$prefix/bin/rz5300" &
program=$!
sleep 2
kill -0 "$program" 2>/dev/null || { wait "$program" || true; echo "installed program ended by itself"; exit 1; }
kill "$program"
wait "$program" 2>/dev/null || true
program=""
[ "$(ls "$prefix/bin" | tr '\n' ' ')" = "rz5300 rz5300-sim " ] || { echo "program wrote beside itself at start"; exit 1; }
echo "install: 4 files in place; the installed program started and ran"
